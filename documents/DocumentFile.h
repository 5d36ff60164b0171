#pragma once
// Reading a document file whole into an edit control, decoding it from the code page on the way.
#include <QString>

class RichTextBox;

namespace documents {

// The largest file the editor takes: the control keeps text as UTF-8 and cannot hold 2 GiB.
constexpr qint64 kMaxFileBytes = qint64(1) << 30;

class DocumentFile {
public:
    DocumentFile() = default;
    ~DocumentFile();
    DocumentFile(const DocumentFile&) = delete;
    DocumentFile& operator=(const DocumentFile&) = delete;

    // Opens a regular file for reading; a folder, a pipe or a device is refused without
    // blocking. False with a reason when it cannot be opened.
    bool open(const QString& path, QString& reason);
    qint64 size() const { return size_; }
    // Reads everything from the file into the control's text. False with a reason on a read error;
    // the control then holds part of the file.
    bool readInto(RichTextBox& rtb, QString& reason);
    // Reads the whole file as bytes.
    bool readAll(QByteArray& out, QString& reason);
    void close();

private:
    int fd_ = -1;
    qint64 size_ = 0;
};

} // namespace documents
