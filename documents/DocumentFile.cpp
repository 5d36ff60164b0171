#include "documents/DocumentFile.h"

#include "fileops/CodePage.h"
#include "platform/RichTextBox.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace documents {
namespace {
QString errnoText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }
constexpr qint64 kChunk = qint64(4) << 20;

// Reads up to 'want' bytes; fewer only at the end of the file. -1 on an error.
qint64 readFully(int fd, char* buf, qint64 want) {
    qint64 got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd, buf + got, static_cast<size_t>(want - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        got += n;
    }
    return got;
}
} // namespace

DocumentFile::~DocumentFile() { close(); }

bool DocumentFile::open(const QString& path, QString& reason) {
    close();
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || name.contains('\0')) {
        reason = QStringLiteral("The file name is not valid.");
        return false;
    }
    // O_NONBLOCK: opening a pipe must not wait for a writer.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = errnoText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason = errnoText(errno);
        ::close(fd);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        reason = QStringLiteral("It is a folder.");
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = QStringLiteral("It is not a regular file (a device, pipe or socket).");
        ::close(fd);
        return false;
    }
    if (st.st_size > kMaxFileBytes) {
        reason = QStringLiteral("The file is too large (%1 MB); Tesselpad opens files of up to %2 MB.")
                     .arg(st.st_size >> 20)
                     .arg(kMaxFileBytes >> 20);
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    size_ = st.st_size;
    return true;
}

bool DocumentFile::readInto(RichTextBox& rtb, QString& reason) {
    std::vector<char> in(kChunk);
    std::vector<char> out(kChunk * 3);
    rtb.BeginLoad(size_);
    bool ok = true;
    qint64 total = 0;
    for (;;) {
        const qint64 n = readFully(fd_, in.data(), kChunk);
        if (n < 0) {
            reason = errnoText(errno);
            ok = false;
            break;
        }
        if (n == 0) break;
        total += n;
        if (total > kMaxFileBytes) {   // the file grew while being read
            reason = QStringLiteral("The file is too large.");
            ok = false;
            break;
        }
        const qint64 m = codepage::decodeToUtf8(in.data(), n, out.data());
        rtb.AppendUtf8(out.data(), m);
        if (n < kChunk) break;
    }
    rtb.EndLoad();
    return ok;
}

bool DocumentFile::readAll(QByteArray& out, QString& reason) {
    out.clear();
    std::vector<char> in(kChunk);
    for (;;) {
        const qint64 n = readFully(fd_, in.data(), kChunk);
        if (n < 0) {
            reason = errnoText(errno);
            return false;
        }
        if (n == 0) break;
        if (out.size() + n > kMaxFileBytes) {
            reason = QStringLiteral("The file is too large.");
            return false;
        }
        out.append(in.data(), n);
        if (n < kChunk) break;
    }
    return true;
}

void DocumentFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

} // namespace documents
