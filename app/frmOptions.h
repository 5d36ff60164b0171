#pragma once
// The Options dialog: the two start-up preferences of the settings file.
class QWidget;

namespace frmOptions {
void showModal(QWidget* parent);
} // namespace frmOptions
