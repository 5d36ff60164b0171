#include "io/TextLoader.h"

#include "io/Charsets.h"
#include "io/CodePage.h"
#include "io/ContentHash.h"
#include "io/Encoding.h"
#include "io/EncodingPreference.h"
#include "io/MemoryLimit.h"
#include "io/SmallFile.h"
#include "io/UniqueFd.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace io {
namespace {
// What a large text takes while it is edited, per byte of its UTF-8: the text itself, the line
// index built for positions, and room for the buffer to move when it grows.
constexpr double kMemoryPerTextByte = 2.3;

std::function<qint64()>& memoryProbe() {
    static std::function<qint64()> probe;
    return probe;
}

QString megabytes(qint64 bytes) { return QString::number((bytes + (1 << 20) - 1) >> 20); }

// Whether any line is longer than the editor takes, for text fed a piece at a time (each piece
// shorter than that limit); lines end at CR or LF, as the edit control counts them. Only the
// line open across pieces can grow too long: a piece is looked at from both ends, not line by line.
class LineMeter {
    static_assert(kLoadPiece * 3 + 64 < kMaxLineChars);

public:
    // False once a line has grown too long.
    bool feed(const char* p, qint64 n) {
        const auto first = [&](char c) {
            const void* at = std::memchr(p, c, size_t(n));
            return at ? static_cast<const char*>(at) - p : n;
        };
        const auto last = [&](char c) {
            const void* at = memrchr(p, c, size_t(n));
            return at ? static_cast<const char*>(at) - p : qint64(-1);
        };
        const qint64 end = std::min(first('\n'), first('\r'));
        if (end == n) {
            current_ += n;
        } else {
            // The lines between the first and the last end lie inside the piece: short enough.
            long_ = long_ || current_ + end > kMaxLineChars;
            current_ = n - 1 - std::max(last('\n'), last('\r'));
        }
        long_ = long_ || current_ > kMaxLineChars;
        return !long_;
    }

private:
    qint64 current_ = 0;   // the open line at the end
    bool long_ = false;
};

// Whether ASCII text holds ISO-2022-JP's escapes or shifts (ESC, SO, SI).
bool hasEscapes(const char* data, qint64 n) {
    return std::memchr(data, '\x1B', size_t(n)) || std::memchr(data, '\x0E', size_t(n)) ||
           std::memchr(data, '\x0F', size_t(n));
}

// The last measurement of the free memory, and when it was taken (steady clock, ms).
std::atomic<qint64> measuredMemory{-1};
std::atomic<qint64> measuredAt{-1};

} // namespace

qint64 availableMemory() {
    if (memoryProbe()) return memoryProbe()();
    const qint64 now =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    const qint64 at = measuredAt.load(std::memory_order_acquire);
    if (at >= 0 && now - at < 100) return measuredMemory.load(std::memory_order_relaxed);
    const qint64 left = io::memoryLeft();
    measuredMemory.store(left, std::memory_order_relaxed);
    measuredAt.store(now, std::memory_order_release);
    return left;
}

std::optional<QString> tooLargeToOpen(qint64 size, qint64 freeMemory) {
    // Refused before any memory is taken when even its plainest text would not fit.
    if (freeMemory >= 0 && size * kMemoryPerTextByte > freeMemory)
        return QCoreApplication::translate("TextLoader", "There is not enough free memory to open it: it needs about %1 MB, %2 MB are free.")
            .arg(megabytes(qint64(size * kMemoryPerTextByte)))
            .arg(freeMemory >> 20);
    return std::nullopt;
}

void setMemoryProbe(std::function<qint64()> probe) { memoryProbe() = std::move(probe); }

TextLoader::TextLoader() = default;

TextLoader::~TextLoader() { close(); }

bool TextLoader::open(const QString& path, QString& reason) { return open(QFile::encodeName(path), reason); }

bool TextLoader::open(const QByteArray& name, QString& reason) {
    close();
    refused_ = false;
    if (name.isEmpty() || name.contains('\0')) {
        reason = QCoreApplication::translate("TextLoader", "The file name is not valid.");
        return false;
    }
    // O_NONBLOCK, kept while reading: opening a pipe must not wait for a writer, and a file that
    // passes for a regular one but has nothing to give for now (/proc/kmsg) must not hang Open.
    UniqueFd fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        reason = tp::errnoText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        reason = tp::errnoText(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        reason = QCoreApplication::translate("TextLoader", "It is a folder.");
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = QCoreApplication::translate("TextLoader", "It is not a regular file (a device, pipe or socket).");
        return false;
    }
    memoryBudget_ = availableMemory();
    if (const std::optional<QString> tooLarge = tooLargeToOpen(st.st_size, memoryBudget_)) {
        reason = *tooLarge;
        refused_ = true;
        return false;
    }
    fd_ = std::move(fd);
    size_ = st.st_size;
    stamp_ = io::stampOf(st);
    return true;
}

void TextLoader::makeRoom() {
    // A small file takes a piece of its own size (and one byte more, to see its end in one read).
    piece_ = std::clamp(size_ + 1, qint64(64) << 10, kLoadPiece);
    if (inRoom_ < piece_) {
        in_.reset(new char[size_t(piece_)]);   // uninitialised: a small file costs no 4 MB of zeros
        inRoom_ = piece_;
    }
    const qint64 out = std::max({piece_ * 3, io::Utf16Decoder::room(piece_), io::CharsetDecoder::room(piece_)});
    if (outRoom_ < out) {
        out_.reset(new char[size_t(out)]);
        outRoom_ = out;
    }
}

bool TextLoader::load(TextSink& sink, std::optional<io::Encoding> chosen, QString& reason) {
    contentHash_.reset();
    Pass pass = Pass::Failed;
    declared_.reset();
    notExact_.reset();
    reason.clear();
    // The sink's end comes whichever way the reading ends.
    struct Ending {
        TextSink& sink;
        ~Ending() { sink.end(); }
    };
    try {
        makeRoom();
        sink.begin(size_);
        const Ending ending{sink};
        pass = readPass(sink, chosen, chosen.has_value(), reason);
        while (pass == Pass::AgainAsCodePage || pass == Pass::AgainAsDeclared) {
            // It looked like UTF-8 (or UTF-16, or what it declares) until it was not: read again, in
            // what it declares or as Windows-1252.
            if (::lseek(fd_.get(), 0, SEEK_SET) != 0) {
                reason = tp::errnoText(errno);
                pass = Pass::Failed;
                break;
            }
            sink.restart();
            pass = readPass(sink, pass == Pass::AgainAsDeclared ? *declared_ : io::Encoding::Windows1252, false, reason);
        }
        // What was read of a refused file goes before the reading ends, so that nothing lays it out
        // (a refused file of one endless line took seconds to put the caret in).
        if (pass != Pass::Done) sink.restart();
    } catch (const std::bad_alloc&) {
        // The control lets some failed allocations through (creating its buffer), keeps quiet
        // about others (see readPass()); either way the text will not be kept.
        reason = QCoreApplication::translate("TextLoader", "There was not enough memory to hold its text.");
        refused_ = true;
        return false;
    }
    return pass == Pass::Done;
}

TextLoader::Pass TextLoader::readPass(TextSink& sink, std::optional<io::Encoding> as, bool chosen, QString& reason) {
    using io::Encoding;
    enum class Mode { CodePage, Utf8, Utf8Guess, Utf16, Charset } mode = Mode::CodePage;
    char* const in = in_.get();
    char* const out = out_.get();
    std::optional<io::Utf16Decoder> utf16;
    std::optional<io::CharsetDecoder> charset;
    utf8::Checker check;
    LineMeter lines;
    io::ContentHash hash;   // of the file's bytes, to tell later whether it still holds them
    qint64 total = 0;
    qint64 text = 0;
    bool escapes = false;   // ESC, SO or SI seen in what may be plain ASCII
    const Encoding ascii = as ? Encoding::Windows1252 : asciiEncoding_.value_or(io::defaultEncoding());
    const bool lookForEscapes = !io::asciiCompatible(ascii);
    // No line of a smaller file can be too long: its text takes at most three bytes per byte (a
    // file that grows while it is read is measured from then on).
    const bool measureLines = size_ * 3 + 32 > kMaxLineChars;
    encoding_ = Encoding::Windows1252;
    // Puts decoded bytes into the sink, when the memory allows.
    const auto append = [&](const char* piece, qint64 m) {
        if (memoryBudget_ >= 0 && (text + m) * kMemoryPerTextByte > memoryBudget_) {
            reason = QCoreApplication::translate("TextLoader", "There is not enough free memory to hold its text (%1 MB free).")
                         .arg(memoryBudget_ >> 20);
            refused_ = true;
            return false;
        }
        sink.append(piece, m);
        text += m;
        return true;
    };
    // Reading in an encoding from here on.
    const auto start = [&](Encoding e) {
        encoding_ = e;
        mode = io::isUtf16(e) ? Mode::Utf16 : io::isUtf8(e) ? Mode::Utf8 : io::isCharset(e) ? Mode::Charset : Mode::CodePage;
        if (mode == Mode::Utf16) utf16.emplace(e == Encoding::Utf16BeBom || e == Encoding::Utf16Be);
        if (mode == Mode::Charset) charset.emplace(e);
    };
    // Bytes that would not come back from the text: a chosen encoding cannot read the file; a
    // declared one gives way to Windows-1252, which keeps every byte.
    const auto notExact = [&] {
        if (chosen) {
            reason = QCoreApplication::translate("TextLoader", "It cannot be read as %1 byte for byte: some of its bytes would not be written "
                                    "back as they are.")
                         .arg(io::encodingName(encoding_));
            return Pass::Failed;
        }
        notExact_ = encoding_;
        return Pass::AgainAsCodePage;
    };
    for (bool first = true;; first = false) {
        if (!sink.wanted()) return Pass::Declined;
        const qint64 n = io::readAvailable(fd_.get(), in, piece_);
        if (n < 0) {
            reason = tp::errnoText(errno);
            return Pass::Failed;
        }
        if (n == 0) {
            if (first && !sink.accepts(QByteArrayView(), false)) return Pass::Declined;
            break;
        }
        if (hashing_) hash.add(in, n);
        total += n;   // a file growing while it is read is held to the memory as it goes in
        const char* data = in;
        qint64 length = n;
        if (first) {
            // The encoding: the one given as the file has it, or what the first bytes decide, or
            // (no mark, no declaration of UTF-8) UTF-8 while the bytes are UTF-8.
            const QByteArrayView head(data, n);
            const std::optional<Encoding> marked = as ? io::asMarked(*as, head) : io::markedEncoding(head, size_);
            if (!as && !marked) declared_ = io::declaredEncoding(head);
            if (marked) start(*marked);
            else if (declared_ == Encoding::Utf8) start(Encoding::Utf8);
            else if (declared_ && !io::asciiCompatible(*declared_)) start(*declared_);   // ISO-2022-JP
            else {
                start(Encoding::Utf8);
                mode = Mode::Utf8Guess;
            }
            if (!sink.accepts(head, mode == Mode::Utf16)) return Pass::Declined;
            const qint64 mark = io::byteOrderMark(encoding_).size();
            data += mark;
            length -= mark;
        }
        if (mode == Mode::Utf8Guess && !check.feed(data, length)) {
            // Not UTF-8: what it declares, else Windows-1252.
            const bool useDeclared = declared_ && io::isCharset(*declared_);
            if (text > 0) return useDeclared ? Pass::AgainAsDeclared : Pass::AgainAsCodePage;
            start(useDeclared ? *declared_ : Encoding::Windows1252);   // nothing went in yet: this piece on
        } else if (mode == Mode::Utf8) {
            check.feed(data, length);
        }
        if (mode == Mode::Utf8Guess && lookForEscapes && !escapes) escapes = hasEscapes(data, length);
        const char* piece = data;
        qint64 m = length;
        if (mode == Mode::CodePage) {
            m = codepage::decodeToUtf8(data, length, out);
            piece = out;
        } else if (mode == Mode::Utf16) {
            m = utf16->feed(data, length, out);
            piece = out;
        } else if (mode == Mode::Charset) {
            m = charset->feed(data, length, out);
            piece = out;
            if (!charset->exact()) return notExact();
        }
        // Checked before the piece goes in, so that a hopeless file takes no more memory. A line of
        // a single-byte encoding is measured in the file's characters, others in the text's bytes.
        const bool inFile = mode == Mode::CodePage || (mode == Mode::Charset && io::isSingleByte(encoding_));
        if ((measureLines || total * 3 + 32 > kMaxLineChars) && !lines.feed(inFile ? data : piece, inFile ? length : m)) {
            reason = QCoreApplication::translate("TextLoader", "It has a line of more than %1 million characters, longer than Tesselpad can show.")
                         .arg(kMaxLineChars / 1000000);
            refused_ = true;
            return Pass::Failed;
        }
        // From the first of several pieces, what the whole text will take, so that room for it is
        // made once: made again later, the old room and the new are both held while it moves.
        if (first && n == piece_ && size_ > n && m > length) sink.expect(size_ / n * m + size_ % n * m / n + (size_ >> 8));
        if (!append(piece, m)) return Pass::Failed;
        if (n < piece_) break;
    }
    if (mode == Mode::Utf16) {
        if (utf16->oddByte()) {
            if (!chosen) return Pass::AgainAsCodePage;
            reason = QCoreApplication::translate("TextLoader", "It cannot be read as %1: it has an odd number of bytes.").arg(io::encodingName(encoding_));
            return Pass::Failed;
        }
        const qint64 m = utf16->finish(out);
        if (!append(out, m)) return Pass::Failed;
        if (utf16->unpaired()) sink.malformed();
    } else if (mode == Mode::Charset) {
        if (!charset->finish()) return notExact();
    } else if (mode == Mode::Utf8Guess) {
        encoding_ = io::decideEncoding(std::nullopt, false, check);
        const bool useDeclared = declared_ && io::isCharset(*declared_);
        // Plain ASCII is the same bytes in UTF-8, Windows-1252 and what it declares; a cut-off
        // character after plain ASCII is not.
        if (encoding_ == Encoding::Windows1252 && check.cutOff())
            return useDeclared ? Pass::AgainAsDeclared : Pass::AgainAsCodePage;
        if (check.cutOff()) sink.malformed();
        if (encoding_ == Encoding::Windows1252) encoding_ = declared_ ? *declared_ : io::asciiFileEncoding(ascii, escapes);
    } else if (mode == Mode::Utf8 && (!check.valid() || check.cutOff())) {
        sink.malformed();
    }
    // The control reports an allocation that failed only through its length.
    if (sink.length() != text) {
        reason = QCoreApplication::translate("TextLoader", "There was not enough memory to hold its text.");
        refused_ = true;
        return Pass::Failed;
    }
    if (hashing_) contentHash_ = hash.value();
    return Pass::Done;
}

bool TextLoader::readAll(QByteArray& out, QString& reason) {
    out.clear();
    std::vector<char> in(size_t(std::clamp(size_ + 1, qint64(64) << 10, kLoadPiece)));
    const qint64 piece = qint64(in.size());
    for (;;) {
        const qint64 n = io::readAvailable(fd_.get(), in.data(), piece);
        if (n < 0) {
            reason = tp::errnoText(errno);
            return false;
        }
        if (n == 0) break;
        if (memoryBudget_ >= 0 && out.size() + n > memoryBudget_) {
            reason = QCoreApplication::translate("TextLoader", "There is not enough free memory to hold it (%1 MB free).").arg(memoryBudget_ >> 20);
            return false;
        }
        out.append(in.data(), n);
        if (n < piece) break;
    }
    return true;
}

void TextLoader::close() { fd_.reset(); }

PieceDecoder pieceDecoder(io::Encoding encoding) {
    if (encoding == io::Encoding::Windows1252)
        return [](const char* in, qint64 length, char* out) { return codepage::decodeToUtf8(in, length, out); };
    if (encoding == io::Encoding::Utf8)
        return [](const char* in, qint64 length, char* out) {
            std::memcpy(out, in, size_t(length));
            return length;
        };
    if (io::isSingleByte(encoding))   // at most 3 bytes of text per byte
        return [encoding](const char* in, qint64 length, char* out) {
            return io::CharsetDecoder(encoding).feed(in, length, out);
        };
    return {};
}

} // namespace io
