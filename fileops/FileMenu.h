#pragma once
class DocumentFrame;
namespace fileops {
// Run as the File menu opens: Close, Save, Save As and Print follow whether a document is active.
void mnuFile(DocumentFrame& frame);
} // namespace fileops
