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
constexpr quint64 P1 = 0x9E3779B185EBCA87ull, P2 = 0xC2B2AE3D27D4EB4Full, P3 = 0x165667B19E3779F9ull,
                  P4 = 0x85EBCA77C2B2AE63ull, P5 = 0x27D4EB2F165667C5ull;

quint64 rotl(quint64 x, int r) { return (x << r) | (x >> (64 - r)); }
quint64 read64(const unsigned char* p) {
    quint64 v;
    std::memcpy(&v, p, 8);
    return qFromLittleEndian(v);
}
quint32 read32(const unsigned char* p) {
    quint32 v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}
quint64 round(quint64 acc, quint64 input) { return rotl(acc + input * P2, 31) * P1; }
quint64 merge(quint64 acc, quint64 lane) { return (acc ^ round(0, lane)) * P1 + P4; }
} // namespace

void ContentHash::stripe(const unsigned char* p) {
    for (int i = 0; i < 4; ++i) lanes_[i] = round(lanes_[i], read64(p + 8 * i));
}

void ContentHash::add(const char* data, qint64 length) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    total_ += quint64(length);
    if (buffered_ > 0) {
        const int take = int(std::min<qint64>(32 - buffered_, length));
        std::memcpy(buffer_ + buffered_, p, size_t(take));
        buffered_ += take;
        p += take;
        length -= take;
        if (buffered_ < 32) return;
        stripe(buffer_);
        buffered_ = 0;
    }
    for (; length >= 32; p += 32, length -= 32) stripe(p);
    std::memcpy(buffer_, p, size_t(length));
    buffered_ = int(length);
}

quint64 ContentHash::value() const {
    quint64 h = total_ >= 32 ? rotl(lanes_[0], 1) + rotl(lanes_[1], 7) + rotl(lanes_[2], 12) + rotl(lanes_[3], 18)
                             : lanes_[2] + P5;
    if (total_ >= 32)
        for (quint64 lane : lanes_) h = merge(h, lane);
    h += total_;
    const unsigned char* p = buffer_;
    int left = buffered_;
    for (; left >= 8; p += 8, left -= 8) h = rotl(h ^ round(0, read64(p)), 27) * P1 + P4;
    if (left >= 4) {
        h = rotl(h ^ (quint64(read32(p)) * P1), 23) * P2 + P3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left) h = rotl(h ^ (*p * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    return h ^ (h >> 32);
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
    qint64 total = 0;
    for (;;) {
        const qint64 n = fileops::readAvailable(fd.get(), buffer.data(), qint64(buffer.size()));
        if (n < 0) return std::nullopt;
        hash.add(buffer.data(), n);
        total += n;
        if (n < qint64(buffer.size())) break;
    }
    // Cut short or grown while it was read: not the file that was expected.
    if (total != size) return std::nullopt;
    return hash.value();
}

} // namespace io
