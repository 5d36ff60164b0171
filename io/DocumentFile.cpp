#include "io/DocumentFile.h"

#include "io/CodePage.h"
#include "io/UniqueFd.h"
#include "platform/RichTextBox.h"

#include "platform/System.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <new>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace documents {
namespace {
constexpr qint64 kChunk = qint64(4) << 20;

// What a large text takes while it is edited, per byte of its UTF-8: the text itself, the line
// index built for positions, and room for the buffer to move when it grows.
constexpr double kMemoryPerTextByte = 2.3;

std::function<qint64()>& memoryProbe() {
    static std::function<qint64()> probe;
    return probe;
}

QString megabytes(qint64 bytes) { return QString::number((bytes + (1 << 20) - 1) >> 20); }

// A number from a small system file: the value after 'key' (or the first value when 'key' is
// empty); -1 when missing. 'max' reads as -1 too.
qint64 readSystemNumber(const char* path, const QByteArray& key) {
    QFile f(QString::fromLatin1(path));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray content = f.read(64 * 1024);
    qsizetype at = 0;
    if (!key.isEmpty()) {
        at = content.indexOf(key);
        if (at < 0) return -1;
        at += key.size();
    }
    const qsizetype end = content.indexOf('\n', at);
    bool ok = false;
    const qint64 value = content.mid(at, end < 0 ? -1 : end - at).trimmed().split(' ').first().toLongLong(&ok);
    return ok ? value : -1;
}

// The length of the longest line end to end, carried across pieces of the file: lines end at CR
// or LF, as the edit control counts them.
class LineMeter {
public:
    // Returns the longest line seen so far, the open line at the end included.
    qint64 feed(const char* data, qint64 n) {
        const char* p = data;
        const char* const end = data + n;
        while (p < end) {
            const char* next = static_cast<const char*>(std::memchr(p, '\n', end - p));
            const char* cr = static_cast<const char*>(std::memchr(p, '\r', (next ? next : end) - p));
            if (cr) next = cr;
            if (!next) {
                current_ += end - p;
                break;
            }
            current_ += next - p;
            longest_ = std::max(longest_, current_);
            current_ = 0;
            p = next + 1;
        }
        return std::max(longest_, current_);
    }

private:
    qint64 current_ = 0;
    qint64 longest_ = 0;
};

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

qint64 availableMemory() {
    if (memoryProbe()) return memoryProbe()();
    qint64 available = readSystemNumber("/proc/meminfo", "MemAvailable:");
    if (available >= 0) available *= 1024;
    // A control group with a memory limit (a container, a systemd slice) may allow less.
    QFile cgroup(QStringLiteral("/proc/self/cgroup"));
    if (cgroup.open(QIODevice::ReadOnly)) {
        const QByteArray line = cgroup.readLine().trimmed();
        if (line.startsWith("0::")) {
            const QByteArray dir = "/sys/fs/cgroup" + line.mid(3);
            const qint64 limit = readSystemNumber((dir + "/memory.max").constData(), QByteArray());
            const qint64 used = readSystemNumber((dir + "/memory.current").constData(), QByteArray());
            if (limit > 0 && used >= 0) {
                const qint64 left = std::max<qint64>(0, limit - used);
                available = available < 0 ? left : std::min(available, left);
            }
        }
    }
    return available;
}

void setMemoryProbe(std::function<qint64()> probe) { memoryProbe() = std::move(probe); }

DocumentFile::~DocumentFile() { close(); }

bool DocumentFile::open(const QString& path, QString& reason) {
    close();
    refused_ = false;
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || name.contains('\0')) {
        reason = QStringLiteral("The file name is not valid.");
        return false;
    }
    // O_NONBLOCK: opening a pipe must not wait for a writer.
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
        reason = QStringLiteral("It is a folder.");
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = QStringLiteral("It is not a regular file (a device, pipe or socket).");
        return false;
    }
    if (st.st_size > kMaxFileBytes) {
        reason = QStringLiteral("The file is too large (%1 MB); Tesselpad opens files of up to %2 MB.")
                     .arg(megabytes(st.st_size))
                     .arg(kMaxFileBytes >> 20);
        refused_ = true;
        return false;
    }
    // Refused before any memory is taken when even its plainest text would not fit.
    memoryBudget_ = availableMemory();
    if (memoryBudget_ >= 0 && st.st_size * kMemoryPerTextByte > memoryBudget_) {
        reason = QStringLiteral("There is not enough free memory to open it: it needs about %1 MB, %2 MB are free.")
                     .arg(megabytes(qint64(st.st_size * kMemoryPerTextByte)))
                     .arg(memoryBudget_ >> 20);
        refused_ = true;
        return false;
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd.release();
    size_ = st.st_size;
    return true;
}

bool DocumentFile::readInto(RichTextBox& rtb, QString& reason) {
    bool ok = true;
    qint64 text = 0;
    try {
        std::vector<char> in(kChunk);
        std::vector<char> out(kChunk * 3);
        const RichTextBox::Loading load(rtb, size_);
        qint64 total = 0;
        LineMeter lines;
        for (;;) {
            const qint64 n = readFully(fd_, in.data(), kChunk);
            if (n < 0) {
                reason = tp::errnoText(errno);
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
            // Checked before the piece goes in, so that a hopeless file takes no more memory.
            if (lines.feed(in.data(), n) > kMaxLineChars) {
                reason = QStringLiteral("It has a line of more than %1 million characters, longer than Tesselpad can show.")
                             .arg(kMaxLineChars / 1000000);
                ok = false;
                break;
            }
            const qint64 m = codepage::decodeToUtf8(in.data(), n, out.data());
            if (memoryBudget_ >= 0 && (text + m) * kMemoryPerTextByte > memoryBudget_) {
                reason = QStringLiteral("There is not enough free memory to hold its text (%1 MB free).")
                             .arg(memoryBudget_ >> 20);
                ok = false;
                break;
            }
            rtb.AppendUtf8(out.data(), m);
            text += m;
            if (n < kChunk) break;
        }
    } catch (const std::bad_alloc&) {
        // The control lets some failed allocations through (creating its buffer), keeps quiet
        // about others (see below); either way the window will not be kept.
        reason = QStringLiteral("There was not enough memory to hold its text.");
        return false;
    }
    // The control reports an allocation that failed only through its length.
    if (ok && rtb.byteLength() != text) {
        reason = QStringLiteral("There was not enough memory to hold its text.");
        ok = false;
    }
    return ok;
}

bool DocumentFile::readAll(QByteArray& out, QString& reason) {
    out.clear();
    std::vector<char> in(kChunk);
    for (;;) {
        const qint64 n = readFully(fd_, in.data(), kChunk);
        if (n < 0) {
            reason = tp::errnoText(errno);
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
