#pragma once
// The recovery journal's file format. A journal keeps the unsaved text of one document so that it
// survives a crash. It is a sequence of records, each
//
//   tag (4 bytes) | payload length (u32) | CRC-32C of tag and length (u32) | payload |
//   CRC-32C of all that (u32)
//
// (numbers little-endian). The first record is the header: the document's caption, its file and
// that file's size and time when it was opened or saved, the encoding its file is written in.
// TEXT records then carry the document's UTF-8 text in pieces, closed by one BASE record; each
// EDITS record after it holds the changes made between two writes (position, bytes removed, bytes
// inserted), applied in order. A record that is cut short, fails its checksum or does not fit the
// text ends the journal: everything before it is a text the document really had, so a journal
// torn by a crash or a power cut gives an older text, never a wrong one.
#include "io/FileStamp.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

namespace io::journal {

constexpr quint32 kVersion = 1;
// Largest payload a record may claim; larger changes are written as a fresh text instead.
constexpr qint64 kMaxPayload = qint64(256) << 20;
// Size of the TEXT pieces the writers produce.
constexpr qint64 kTextPiece = qint64(1) << 20;

// CRC-32C (Castagnoli), continuing from 'crc' (0 to start).
quint32 crc32c(quint32 crc, const char* data, qint64 length);

struct Header {
    qint64 created = 0;   // milliseconds since the epoch
    qint64 pid = 0;       // the process that wrote it
    QString caption;      // the window's caption
    QString path;         // the document's file, empty when it has none
    QString encoding;     // the encoding its file is written in
    io::FileStamp file;   // the file when it was opened or last saved
};

struct Edit {
    qint64 position = 0;   // byte offset in the text before this edit
    qint64 removed = 0;    // bytes removed there
    QByteArray inserted;   // bytes inserted there
};

QByteArray headerRecord(const Header& header);
QByteArray textRecord(const char* data, qint64 length);
// Closes the text: its whole length and the time of the state it holds.
QByteArray baseRecord(qint64 textLength, qint64 timeMs);
// One batch of edits, the document's state at 'timeMs' once they are applied.
QByteArray editsRecord(const std::vector<Edit>& edits, qint64 timeMs);

// Where a journal is read from.
class Source {
public:
    virtual ~Source() = default;
    virtual qint64 size() const = 0;
    // Reads exactly 'length' bytes at 'offset'; false on an error.
    virtual bool read(qint64 offset, char* out, qint64 length) const = 0;
};

class BytesSource final : public Source {
public:
    explicit BytesSource(QByteArrayView bytes) : bytes_(bytes) {}
    qint64 size() const override { return bytes_.size(); }
    bool read(qint64 offset, char* out, qint64 length) const override;

private:
    QByteArrayView bytes_;
};

class FdSource final : public Source {
public:
    FdSource(int fd, qint64 size) : fd_(fd), size_(size) {}
    qint64 size() const override { return size_; }
    bool read(qint64 offset, char* out, qint64 length) const override;

private:
    int fd_;
    qint64 size_;
};

enum class Status {
    Ok,
    NotAJournal,    // no header record
    NewerVersion,   // written by a later version of the program
    NoText,         // the text is not complete (the journal was cut short before its BASE)
    TooLarge,       // the text would exceed the limit
    TooCostly,      // rebuilding the text would take unreasonably long
    ReadError,
};

struct Limits {
    qint64 maxText = qint64(4) << 30;   // bytes of text
    // Bytes moved while applying edits, beyond which the journal is refused (edits scattered
    // over a large text cost a move of the text between them each).
    qint64 maxMoves = -1;               // -1: 64 times maxText
};

struct ReadResult {
    Status status = Status::NotAJournal;
    Header header;
    QByteArray text;          // the text rebuilt (when asked for)
    qint64 textLength = 0;
    qint64 lastChange = 0;    // time of the last state read, ms since the epoch
    qint64 goodBytes = 0;     // bytes up to the end of the last record used
    qint64 fileBytes = 0;     // the journal's size
    qint64 edits = 0;         // edits applied
    QString readError;        // for ReadError

    bool ok() const { return status == Status::Ok; }
    // Bytes at the end that were not used (a torn or damaged tail).
    qint64 droppedBytes() const { return fileBytes - goodBytes; }
    // Why the journal cannot be used, for a message; empty when it can.
    QString reason() const;
};

ReadResult read(const Source& source, const Limits& limits = {});
inline ReadResult read(QByteArrayView bytes, const Limits& limits = {}) { return read(BytesSource(bytes), limits); }

} // namespace io::journal
