#include "io/JournalFormat.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>

namespace io::journal {
namespace {

// Record tags.
constexpr quint32 tag(const char (&s)[5]) {
    return quint32(quint8(s[0])) | quint32(quint8(s[1])) << 8 | quint32(quint8(s[2])) << 16 |
           quint32(quint8(s[3])) << 24;
}
constexpr quint32 kHeader = tag("TPJH");
constexpr quint32 kText = tag("TPJT");
constexpr quint32 kBase = tag("TPJB");
constexpr quint32 kEdits = tag("TPJE");
constexpr qint64 kMaxString = 64 * 1024;
constexpr qint64 kRecordOverhead = 16;

// ---- CRC-32C, eight bytes at a time
using Tables = std::array<std::array<quint32, 256>, 8>;
constexpr Tables makeTables() {
    Tables t{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0x82F63B78u & (0u - (c & 1u)));
        t[0][i] = c;
    }
    for (int s = 1; s < 8; ++s)
        for (quint32 i = 0; i < 256; ++i) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}
constexpr Tables kTables = makeTables();

// ---- little-endian fields
void putU32(QByteArray& out, quint32 v) {
    char b[4];
    for (int i = 0; i < 4; ++i) b[i] = char(v >> (8 * i));
    out.append(b, 4);
}
void putI64(QByteArray& out, qint64 v) {
    char b[8];
    const quint64 u = quint64(v);
    for (int i = 0; i < 8; ++i) b[i] = char(u >> (8 * i));
    out.append(b, 8);
}
void putString(QByteArray& out, const QString& s) {
    const QByteArray utf8 = s.toUtf8().left(kMaxString);
    putU32(out, quint32(utf8.size()));
    out.append(utf8);
}
quint32 getU32(const char* p) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) v |= quint32(quint8(p[i])) << (8 * i);
    return v;
}
qint64 getI64(const char* p) {
    quint64 v = 0;
    for (int i = 0; i < 8; ++i) v |= quint64(quint8(p[i])) << (8 * i);
    return qint64(v);
}

// Reads fields from a payload; any read past its end makes it fail for good.
class Cursor {
public:
    Cursor(const char* p, qint64 n) : p_(p), end_(p + n) {}
    bool ok() const { return ok_; }
    qint64 left() const { return end_ - p_; }
    const char* take(qint64 n) {
        if (!ok_ || n < 0 || n > left()) {
            ok_ = false;
            return nullptr;
        }
        const char* at = p_;
        p_ += n;
        return at;
    }
    quint32 u32() {
        const char* at = take(4);
        return at ? getU32(at) : 0;
    }
    qint64 i64() {
        const char* at = take(8);
        return at ? getI64(at) : 0;
    }
    QString string() {
        const quint32 n = u32();
        if (n > kMaxString) ok_ = false;
        const char* at = take(n);
        return at ? QString::fromUtf8(at, n) : QString();
    }

private:
    const char* p_;
    const char* end_;
    bool ok_ = true;
};

// A record: its head (tag, length and their own checksum, so that a damaged length is never
// taken for another record's bounds), the payload, and the checksum of everything before.
QByteArray record(quint32 t, const char* payload, qint64 length) {
    QByteArray out;
    out.reserve(length + kRecordOverhead);
    putU32(out, t);
    putU32(out, quint32(length));
    putU32(out, crc32c(0, out.constData(), 8));
    out.append(payload, length);
    putU32(out, crc32c(0, out.constData(), out.size()));
    return out;
}
QByteArray record(quint32 t, const QByteArray& payload) { return record(t, payload.constData(), payload.size()); }

// The text being rebuilt: a gap buffer, so that edits near each other cost little.
class GapText {
public:
    explicit GapText(const Limits& limits) : limits_(limits) {}

    qint64 size() const { return buf_.size() - (gapEnd_ - gapStart_); }
    bool overBudget() const {
        const qint64 budget = limits_.maxMoves >= 0 ? limits_.maxMoves : 32 * (size() + (qint64(64) << 20));
        return moved_ > budget;
    }
    void insert(qint64 pos, const char* data, qint64 n) {
        if (n <= 0) return;
        moveGap(pos);
        if (gapEnd_ - gapStart_ < n) grow(n);
        std::memcpy(buf_.data() + gapStart_, data, size_t(n));
        gapStart_ += n;
    }
    void remove(qint64 pos, qint64 n) {
        if (n <= 0) return;
        moveGap(pos);
        gapEnd_ += n;
    }
    QByteArray take() {
        moveGap(size());
        buf_.truncate(gapStart_);
        gapEnd_ = gapStart_;
        return std::move(buf_);
    }

private:
    void moveGap(qint64 pos) {
        char* b = buf_.data();
        if (pos < gapStart_) {
            const qint64 n = gapStart_ - pos;
            std::memmove(b + gapEnd_ - n, b + pos, size_t(n));
            gapStart_ -= n;
            gapEnd_ -= n;
            moved_ += n;
        } else if (pos > gapStart_) {
            const qint64 n = pos - gapStart_;
            std::memmove(b + gapStart_, b + gapEnd_, size_t(n));
            gapStart_ += n;
            gapEnd_ += n;
            moved_ += n;
        }
    }
    void grow(qint64 need) {
        const qint64 used = size();
        const qint64 tail = buf_.size() - gapEnd_;
        const qint64 capacity = std::max(used + need, used + used / 2 + 4096);
        QByteArray grown(capacity, Qt::Uninitialized);
        std::memcpy(grown.data(), buf_.constData(), size_t(gapStart_));
        std::memcpy(grown.data() + capacity - tail, buf_.constData() + gapEnd_, size_t(tail));
        gapEnd_ = capacity - tail;
        buf_ = std::move(grown);
    }

    const Limits& limits_;
    QByteArray buf_;
    qint64 gapStart_ = 0, gapEnd_ = 0;
    qint64 moved_ = 0;
};

struct EditView {
    qint64 position, removed;
    const char* data;
    qint64 length;
};

// Parses an EDITS payload and checks that every edit fits the text as the ones before it left it.
bool parseEdits(const char* p, qint64 n, qint64 textLength, qint64 maxText, std::vector<EditView>& out,
                qint64& timeMs) {
    Cursor c(p, n);
    timeMs = c.i64();
    const quint32 count = c.u32();
    if (!c.ok() || qint64(count) > c.left() / 20) return false;
    out.clear();
    out.reserve(count);
    qint64 length = textLength;
    for (quint32 i = 0; i < count; ++i) {
        EditView e{};
        e.position = c.i64();
        e.removed = c.i64();
        e.length = c.u32();
        e.data = c.take(e.length);
        if (!c.ok() || e.position < 0 || e.removed < 0 || e.position > length || e.removed > length - e.position)
            return false;
        length += e.length - e.removed;
        if (length > maxText) return false;
        out.push_back(e);
    }
    return c.ok() && c.left() == 0;
}

} // namespace

quint32 crc32c(quint32 crc, const char* data, qint64 length) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    crc = ~crc;
    while (length >= 8) {
        quint32 lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 4);
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            lo = qFromLittleEndian(lo);
            hi = qFromLittleEndian(hi);
        }
        lo ^= crc;
        crc = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
              kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF] ^
              kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
        p += 8;
        length -= 8;
    }
    while (length-- > 0) crc = (crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF];
    return ~crc;
}

QByteArray headerRecord(const Header& h) {
    QByteArray p;
    putU32(p, kVersion);
    putI64(p, h.created);
    putI64(p, h.pid);
    putString(p, h.caption);
    putString(p, h.path);
    putString(p, h.encoding);
    putI64(p, h.file.size);
    putI64(p, h.file.mtimeNs);
    putI64(p, h.file.ctimeNs);
    putI64(p, qint64(h.file.device));
    putI64(p, qint64(h.file.inode));
    return record(kHeader, p);
}

QByteArray textRecord(const char* data, qint64 length) { return record(kText, data, length); }

QByteArray baseRecord(qint64 textLength, qint64 timeMs) {
    QByteArray p;
    putI64(p, textLength);
    putI64(p, timeMs);
    return record(kBase, p);
}

QByteArray editsRecord(const std::vector<Edit>& edits, qint64 timeMs) {
    QByteArray p;
    putI64(p, timeMs);
    putU32(p, quint32(edits.size()));
    for (const Edit& e : edits) {
        putI64(p, e.position);
        putI64(p, e.removed);
        putU32(p, quint32(e.inserted.size()));
        p.append(e.inserted);
    }
    return record(kEdits, p);
}

bool BytesSource::read(qint64 offset, char* out, qint64 length) const {
    if (offset < 0 || length < 0 || offset > bytes_.size() || length > bytes_.size() - offset) return false;
    std::memcpy(out, bytes_.data() + offset, size_t(length));
    return true;
}

bool FdSource::read(qint64 offset, char* out, qint64 length) const {
    while (length > 0) {
        const ssize_t n = ::pread(fd_, out, size_t(std::min<qint64>(length, qint64(1) << 30)), off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        offset += n;
        length -= n;
    }
    return true;
}

QString ReadResult::reason() const {
    switch (status) {
    case Status::Ok: return QString();
    case Status::NotAJournal: return QCoreApplication::translate("JournalFormat", "It is not a recovery journal.");
    case Status::NewerVersion: return QCoreApplication::translate("JournalFormat", "It was written by a newer version of Tesselpad.");
    case Status::NoText: return QCoreApplication::translate("JournalFormat", "It was cut short before it held the whole text.");
    case Status::TooLarge: return QCoreApplication::translate("JournalFormat", "Its text is too large.");
    case Status::TooCostly: return QCoreApplication::translate("JournalFormat", "It holds too many scattered changes to rebuild its text.");
    case Status::ReadError: return QCoreApplication::translate("JournalFormat", "It cannot be read: %1").arg(readError);
    }
    return QString();
}

ReadResult read(const Source& source, const Limits& limits) {
    ReadResult r;
    r.fileBytes = source.size();
    GapText text(limits);
    bool haveHeader = false, haveBase = false;
    qint64 offset = 0;
    QByteArray payload;
    std::vector<EditView> edits;
    try {
        for (;;) {
            char head[12];
            if (r.fileBytes - offset < kRecordOverhead || !source.read(offset, head, 12)) break;
            if (crc32c(0, head, 8) != getU32(head + 8)) break;
            const quint32 t = getU32(head);
            const qint64 n = getU32(head + 4);
            if (n > kMaxPayload || n > r.fileBytes - offset - kRecordOverhead) break;   // cut short
            payload.resize(n + 4);
            if (!source.read(offset + 12, payload.data(), n + 4)) {
                r.status = Status::ReadError;
                r.readError = QCoreApplication::translate("JournalFormat", "a read failed");
                return r;
            }
            if (crc32c(crc32c(0, head, 12), payload.constData(), n) != getU32(payload.constData() + n)) break;

            const char* p = payload.constData();
            bool used = true;
            if (t == kHeader && !haveHeader) {
                Cursor c(p, n);
                const quint32 version = c.u32();
                if (c.ok() && version > kVersion) {
                    r.status = Status::NewerVersion;
                    return r;
                }
                Header& h = r.header;
                h.created = c.i64();
                h.pid = c.i64();
                h.caption = c.string();
                h.path = c.string();
                h.encoding = c.string();
                h.file.size = c.i64();
                h.file.mtimeNs = c.i64();
                h.file.ctimeNs = c.i64();
                h.file.device = quint64(c.i64());
                h.file.inode = quint64(c.i64());
                used = c.ok() && version >= 1;
                haveHeader = used;
                r.lastChange = h.created;
            } else if (t == kText && haveHeader && !haveBase) {
                if (text.size() + n > limits.maxText) {
                    r.status = Status::TooLarge;
                    return r;
                }
                text.insert(text.size(), p, n);
            } else if (t == kBase && haveHeader && !haveBase) {
                Cursor c(p, n);
                const qint64 length = c.i64();
                const qint64 time = c.i64();
                used = c.ok() && length == text.size();
                haveBase = used;
                if (used) r.lastChange = time;
            } else if (t == kEdits && haveBase) {
                qint64 time = 0;
                used = parseEdits(p, n, text.size(), limits.maxText, edits, time);
                if (used) {
                    for (const EditView& e : edits) {
                        text.remove(e.position, e.removed);
                        text.insert(e.position, e.data, e.length);
                    }
                    if (text.overBudget()) {
                        r.status = Status::TooCostly;
                        return r;
                    }
                    r.edits += qint64(edits.size());
                    r.lastChange = time;
                }
            } else {
                used = false;
            }
            if (!used) break;
            offset += n + kRecordOverhead;
            r.goodBytes = offset;
        }
    } catch (const std::bad_alloc&) {
        r.status = Status::TooLarge;
        return r;
    }
    if (!haveHeader) {
        r.status = Status::NotAJournal;
        return r;
    }
    if (!haveBase) {
        r.status = Status::NoText;
        return r;
    }
    r.textLength = text.size();
    r.text = text.take();
    r.status = Status::Ok;
    return r;
}

} // namespace io::journal
