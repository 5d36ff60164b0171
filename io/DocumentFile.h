#pragma once
// Reading a document file whole into an edit control, recognising its encoding (io/Encoding.h) and
// decoding it on the way.
#include "io/Encoding.h"
#include "io/FileStamp.h"

#include <QString>
#include <functional>
#include <optional>

class RichTextBox;

namespace io {

// The largest file the editor takes.
constexpr qint64 kMaxFileBytes = qint64(1) << 30;
// The longest line it takes. The edit control lays a line out whole before showing any of it,
// at about 7 bytes of memory and half a microsecond per character: a line of hundreds of
// megabytes would freeze the editor for minutes or exhaust the memory.
constexpr qint64 kMaxLineChars = 64000000;

// The memory the editor may still take, in bytes, or -1 when it cannot be told: the system's
// available memory, or the control group's limit when that is lower.
qint64 availableMemory();
// Test seam: replaces availableMemory() (nullptr restores it).
void setMemoryProbe(std::function<qint64()> probe);

class DocumentFile {
public:
    DocumentFile() = default;
    ~DocumentFile();
    DocumentFile(const DocumentFile&) = delete;
    DocumentFile& operator=(const DocumentFile&) = delete;

    // Opens a regular file for reading; a folder, a pipe or a device is refused without
    // blocking. False with a reason when it cannot be opened.
    bool open(const QString& path, QString& reason);
    // The last open() failed not because the file could not be opened but because the editor
    // cannot take it (too large for the editor or for the free memory).
    bool refused() const { return refused_; }
    qint64 size() const { return size_; }
    // The file as it was when it was opened.
    io::FileStamp stamp() const { return stamp_; }
    // Reads everything from the file into the control's text, in the encoding the file is
    // recognised to have, or in the 'chosen' one (its mark, if the file has it, is left out).
    // False with a reason on a read error, on a line too long to show, when memory runs short, or
    // when the file cannot be read in the chosen encoding; the control then holds part of the
    // file (or nothing) and must not be taken for the file.
    bool readInto(RichTextBox& rtb, QString& reason) { return readInto(rtb, std::nullopt, reason); }
    bool readInto(RichTextBox& rtb, std::optional<io::Encoding> chosen, QString& reason);
    // The encoding the last readInto() read the file in.
    io::Encoding encoding() const { return encoding_; }
    // Why it is not the encoding the file declares, or empty: "ISO-2022-JP declared; not exact,
    // shown as Windows-1252".
    QString note() const { return notExact_ ? io::notExactNote(*notExact_) : QString(); }
    // The hash of the bytes the last readInto() read (io/ContentHash.h); none when it failed.
    std::optional<quint64> contentHash() const { return contentHash_; }
    // Reads the whole file as bytes.
    bool readAll(QByteArray& out, QString& reason);
    void close();

private:
    enum class Pass { Done, Failed, AgainAsCodePage, AgainAsDeclared };
    // One reading of the file from where it stands: in the encoding 'as' (as the user 'chose' it,
    // or as the reader decided on it after an earlier pass), or recognising it.
    Pass readPass(RichTextBox& rtb, std::optional<io::Encoding> as, bool chosen, QString& reason);

    int fd_ = -1;
    io::Encoding encoding_ = io::Encoding::Windows1252;
    std::optional<io::Encoding> declared_;   // what the file declares (recognising only)
    std::optional<io::Encoding> notExact_;   // declared, but its bytes would not come back
    qint64 size_ = 0;
    io::FileStamp stamp_;
    std::optional<quint64> contentHash_;
    qint64 memoryBudget_ = -1;   // what the text may take, measured at open; -1: unknown
    bool refused_ = false;
};

} // namespace io
