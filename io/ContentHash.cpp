#include "io/ContentHash.h"

#include "io/SmallFile.h"
#include "io/UniqueFd.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace io {
namespace {

constexpr quint64 kP1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 kP2 = 0xC2B2AE3D27D4EB4FULL;
constexpr quint64 kP3 = 0x165667B19E3779F9ULL;
constexpr quint64 kP4 = 0x85EBCA77C2B2AE63ULL;
constexpr quint64 kP5 = 0x27D4EB2F165667C5ULL;

quint64 rotl(quint64 x, int r) { return (x << r) | (x >> (64 - r)); }
quint64 round(quint64 acc, quint64 input) { return rotl(acc + input * kP2, 31) * kP1; }
quint64 merge(quint64 acc, quint64 lane) { return (acc ^ round(0, lane)) * kP1 + kP4; }
quint64 read64(const unsigned char* p) { return qFromLittleEndian<quint64>(p); }

} // namespace

void ContentHash::stripes(const unsigned char* p, qint64 count) {
    // In locals: the bytes may alias the members as far as the compiler knows.
    quint64 a = lanes_[0], b = lanes_[1], c = lanes_[2], d = lanes_[3];
    for (; count > 0; --count, p += 32) {
        a = round(a, read64(p));
        b = round(b, read64(p + 8));
        c = round(c, read64(p + 16));
        d = round(d, read64(p + 24));
    }
    lanes_[0] = a, lanes_[1] = b, lanes_[2] = c, lanes_[3] = d;
}

void ContentHash::add(const char* data, qint64 length) {
    if (length <= 0) return;
    auto p = reinterpret_cast<const unsigned char*>(data);
    total_ += length;
    if (buffered_ > 0) {
        const int take = int(std::min<qint64>(32 - buffered_, length));
        std::memcpy(buffer_ + buffered_, p, size_t(take));
        buffered_ += take;
        p += take;
        length -= take;
        if (buffered_ < 32) return;
        stripes(buffer_, 1);
        buffered_ = 0;
    }
    stripes(p, length / 32);
    p += length / 32 * 32;
    length %= 32;
    std::memcpy(buffer_, p, size_t(length));
    buffered_ = int(length);
}

quint64 ContentHash::value() const {
    quint64 h;
    if (total_ >= 32) {
        h = rotl(lanes_[0], 1) + rotl(lanes_[1], 7) + rotl(lanes_[2], 12) + rotl(lanes_[3], 18);
        for (quint64 lane : lanes_) h = merge(h, lane);
    } else {
        h = kP5;
    }
    h += quint64(total_);
    const unsigned char* p = buffer_;
    int left = buffered_;
    for (; left >= 8; p += 8, left -= 8) h = rotl(h ^ round(0, read64(p)), 27) * kP1 + kP4;
    if (left >= 4) {
        h = rotl(h ^ (quint64(qFromLittleEndian<quint32>(p)) * kP1), 23) * kP2 + kP3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left) h = rotl(h ^ (*p * kP5), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}

std::optional<quint64> hashOfFile(const QString& path, quint64 device, quint64 inode, qint64 size) {
    // O_NONBLOCK: a pipe that took the name meanwhile must not block the editor.
    UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || quint64(st.st_dev) != device ||
        quint64(st.st_ino) != inode || st.st_size != size)
        return std::nullopt;
    ContentHash hash;
    std::vector<char> buffer(std::size_t(1) << 20);
    for (;;) {
        const qint64 n = io::readAvailable(fd.get(), buffer.data(), qint64(buffer.size()));
        if (n < 0) return std::nullopt;
        hash.add(buffer.data(), n);
        if (n < qint64(buffer.size())) break;
    }
    // Cut short or grown while it was read: not the file that was expected.
    if (hash.size() != size) return std::nullopt;
    return hash.value();
}

} // namespace io
