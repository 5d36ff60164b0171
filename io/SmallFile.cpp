#include "io/SmallFile.h"

#include "io/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

qint64 readAvailable(int fd, char* buf, qint64 want) {
    qint64 got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd, buf + got, static_cast<size_t>(want - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            return -1;
        }
        if (n == 0) break;
        got += n;
    }
    return got;
}

bool readSmallFile(const QByteArray& path, qint64 limit, QByteArray& out) {
    out.clear();
    const UniqueFd fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) return false;
    struct stat st {};
    bool ok = ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        out.resize(limit);
        const qint64 n = readAvailable(fd.get(), out.data(), limit);
        ok = n >= 0;
        out.resize(ok ? n : 0);
    }
    return ok;
}

} // namespace io
