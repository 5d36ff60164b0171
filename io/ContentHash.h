#pragma once
// A 64-bit hash of a file's bytes, taken while they are read or written anyway, to tell later
// whether the file still holds them where its times cannot tell (a file system that keeps whole
// seconds, a change within the same tick of the clock). XXH64: about 8 GB/s (12 ms per 100 MB), a
// few per cent of a read or a write. Not for defence against anyone: only against chance.
#include <QString>
#include <QtGlobal>

#include <optional>

namespace io {

class ContentHash {
public:
    // Takes the next bytes; pieces may have any length.
    void add(const char* data, qint64 length);
    quint64 value() const;

private:
    void stripe(const unsigned char* p);

    quint64 lanes_[4] = {0x9E3779B185EBCA87ull + 0xC2B2AE3D27D4EB4Full, 0xC2B2AE3D27D4EB4Full, 0,
                         0 - 0x9E3779B185EBCA87ull};
    quint64 total_ = 0;
    unsigned char buffer_[32] = {};
    int buffered_ = 0;
};

// The hash of the file at 'path', read now, when it still is the file of that device, inode and
// size; none when it is not, or cannot be read. Reading 100 MB from the page cache and hashing it
// takes about 50 ms.
std::optional<quint64> hashOfFile(const QString& path, quint64 device, quint64 inode, qint64 size);

} // namespace io
