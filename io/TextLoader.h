#pragma once
// The one way a file becomes the editor's text: its encoding recognised (io/Encoding.h) or chosen,
// its bytes decoded a piece at a time into a sink (the edit control of a window, a buffer of Find in
// Files), under one rule for what is too large to open (size, free memory, longest line).
#include "io/Encoding.h"
#include "io/FileStamp.h"
#include "io/UniqueFd.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace io {

// The longest line it takes. The edit control lays a line out whole before showing any of it,
// at about 7 bytes of memory and half a microsecond per character: a line of hundreds of
// megabytes would freeze the editor for minutes or exhaust the memory.
constexpr qint64 kMaxLineChars = 64000000;
// Files are read, decoded and measured this much at a time; a sink is asked between pieces
// whether it still wants the rest.
constexpr qint64 kLoadPiece = qint64(4) << 20;

// The memory the editor may still take, in bytes, or -1 when it cannot be told: the system's
// available memory, or the control group's limit when that is lower. Measured again at most every
// tenth of a second (Find in Files asks for every file).
qint64 availableMemory();
// Test seam: replaces availableMemory() (nullptr restores it).
void setMemoryProbe(std::function<qint64()> probe);

// Why a file of 'size' bytes is too large to open with 'freeMemory' bytes free (-1: unknown), or
// nothing when it is not. The one rule Open, Reload and Find in Files apply before reading.
std::optional<QString> tooLargeToOpen(qint64 size, qint64 freeMemory);

// Where the text of a file goes, a piece at a time. Text is UTF-8, but for the bytes of a
// malformed file, which are kept as they are (see malformed()).
class TextSink {
public:
    virtual ~TextSink() = default;
    // The reading starts, for a file of this size.
    virtual void begin(qint64 fileSize) = 0;
    // The file's first bytes (a piece, the mark included): false refuses the file (Find in Files
    // leaves binary files alone). 'utf16': they are recognised as UTF-16.
    virtual bool accepts(QByteArrayView /*head*/, bool /*utf16*/) { return true; }
    // Everything put in so far is dropped: the file is read again from its start, or it was
    // refused and nothing of it must be laid out.
    virtual void restart() = 0;
    virtual void append(const char* text, qint64 length) = 0;
    // The whole text will take about this many bytes (more than the file's: an encoding whose
    // characters take more bytes as UTF-8), told before the first piece goes in.
    virtual void expect(qint64 /*textBytes*/) {}
    // The text holds bytes that are not UTF-8 (a UTF-8 file's stray bytes, a lone surrogate).
    virtual void malformed() {}
    // The bytes of text it holds: less than was put in when its memory ran out.
    virtual qint64 length() const = 0;
    // Asked between pieces: false stops the reading (a stopped search).
    virtual bool wanted() { return true; }
    // The reading ended, whichever way.
    virtual void end() {}
};

// A sink that keeps the text in a byte array.
class TextBuffer final : public TextSink {
public:
    void begin(qint64 fileSize) override {
        text.clear();
        text.reserve(fileSize);
        wellFormed = true;
    }
    void restart() override {
        text.clear();
        wellFormed = true;
    }
    void append(const char* piece, qint64 length) override { text.append(piece, length); }
    void malformed() override { wellFormed = false; }
    qint64 length() const override { return text.size(); }

    QByteArray text;
    bool wellFormed = true;   // all UTF-8 (see TextSink::malformed())
};

class TextLoader {
public:
    TextLoader();
    ~TextLoader();
    TextLoader(const TextLoader&) = delete;
    TextLoader& operator=(const TextLoader&) = delete;

    // Opens a regular file for reading; a folder, a pipe or a device is refused without
    // blocking. False with a reason when it cannot be opened or is too large to open.
    bool open(const QString& path, QString& reason);
    bool open(const QByteArray& name, QString& reason);
    // The last open() or load() failed not because the file could not be read but because the
    // editor cannot take it (too large for the editor or for the free memory, a line too long).
    bool refused() const { return refused_; }
    qint64 size() const { return size_; }
    // The file as it was when it was opened.
    io::FileStamp stamp() const { return stamp_; }
    // The encoding a plain ASCII file is taken to have (the user's default for new documents,
    // read at each load unless given here).
    void setAsciiEncoding(io::Encoding encoding) { asciiEncoding_ = encoding; }
    // Whether load() takes the hash of the bytes it reads (on unless told).
    void setHashing(bool on) { hashing_ = on; }
    // Reads everything from the file into the sink, in the encoding the file is recognised to
    // have, or in the 'chosen' one (its mark, if the file has it, is left out). False with a
    // reason on a read error, on a line too long to show, when memory runs short, when the file
    // cannot be read in the chosen encoding, or (with an empty reason) when the sink refused it or
    // stopped wanting it; the sink then holds nothing and must not be taken for the file.
    bool load(TextSink& sink, QString& reason) { return load(sink, std::nullopt, reason); }
    bool load(TextSink& sink, std::optional<io::Encoding> chosen, QString& reason);
    // The encoding the last load() read the file in.
    io::Encoding encoding() const { return encoding_; }
    // Why it is not the encoding the file declares, or empty: "ISO-2022-JP declared; not exact,
    // shown as Windows-1252".
    QString note() const { return notExact_ ? io::notExactNote(*notExact_) : QString(); }
    // The hash of the bytes the last load() read (io/ContentHash.h); none when it failed or took
    // no hash.
    std::optional<quint64> contentHash() const { return contentHash_; }
    // Reads the whole file as bytes.
    bool readAll(QByteArray& out, QString& reason);
    void close();

private:
    enum class Pass { Done, Failed, Declined, AgainAsCodePage, AgainAsDeclared };
    // One reading of the file from where it stands: in the encoding 'as' (as the user 'chose' it,
    // or as the reader decided on it after an earlier pass), or recognising it.
    Pass readPass(TextSink& sink, std::optional<io::Encoding> as, bool chosen, QString& reason);
    // Room for a piece of the file and for its text, kept from file to file.
    void makeRoom();

    UniqueFd fd_;
    io::Encoding encoding_ = io::Encoding::Windows1252;
    std::optional<io::Encoding> asciiEncoding_;
    std::optional<io::Encoding> declared_;   // what the file declares (recognising only)
    std::optional<io::Encoding> notExact_;   // declared, but its bytes would not come back
    qint64 size_ = 0;
    qint64 piece_ = 0;                       // the bytes read at a time for this file
    io::FileStamp stamp_;
    std::optional<quint64> contentHash_;
    qint64 memoryBudget_ = -1;   // what the text may take, measured at open; -1: unknown
    bool refused_ = false;
    bool hashing_ = true;
    std::unique_ptr<char[]> in_, out_;
    qint64 inRoom_ = 0, outRoom_ = 0;
};

// Decodes pieces of a file in 'encoding' independently of each other (the journal's first copy of
// a file reads it a megabyte at a time); empty for encodings with a mark or a state between pieces.
// 'out' needs room for three bytes per byte.
using PieceDecoder = std::function<qint64(const char* in, qint64 length, char* out)>;
PieceDecoder pieceDecoder(io::Encoding encoding);

} // namespace io
