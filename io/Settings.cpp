#include "io/Settings.h"

#include "io/AtomicFile.h"
#include "io/SmallFile.h"
#include "io/UniqueFd.h"
#include "io/WriteSteps.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace settings {
namespace {
// The file holds a few characters; a huge or hostile one is not read beyond this.
constexpr qint64 kReadLimit = 64 * 1024;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
} // namespace

FieldReader::FieldReader(const QString& path) {
    // Never waits: a pipe, a device or a folder under the name reads as a file that cannot be opened.
    open_ = io::readSmallFile(QFile::encodeName(path), kReadLimit, data_);
}

FieldReader FieldReader::fromBytes(const QByteArray& content) {
    FieldReader reader;
    reader.data_ = content;
    reader.open_ = true;
    return reader;
}

std::optional<QByteArray> FieldReader::next() {
    if (!open_ || failed_) return std::nullopt;
    // Blanks before the field do not count as its start: a field needs some text to begin.
    while (pos_ < data_.size() && isBlank(data_[pos_])) ++pos_;
    if (pos_ >= data_.size()) {
        failed_ = true;
        return std::nullopt;
    }
    const qsizetype start = pos_;
    while (pos_ < data_.size() && data_[pos_] != ',' && data_[pos_] != '\r' && data_[pos_] != '\n')
        ++pos_;
    const QByteArray field = data_.mid(start, pos_ - start).trimmed();
    // Step over the separator: a comma, or one line end (CR LF, CR or LF).
    if (pos_ < data_.size()) {
        if (data_[pos_] == ',') {
            ++pos_;
        } else if (data_[pos_] == '\r') {
            ++pos_;
            if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
        } else {
            ++pos_;
        }
    }
    return field;
}

namespace {
std::optional<int> flagOf(const std::optional<QByteArray>& field) {
    if (!field) return std::nullopt;
    if (*field == "0") return 0;
    if (*field == "1") return 1;
    return std::nullopt;
}
} // namespace

Flags parse(FieldReader& reader) {
    Flags flags;
    flags.splash = flagOf(reader.next());
    if (flags.splash) flags.maximize = flagOf(reader.next());
    return flags;
}

Flags read(const QString& path) {
    FieldReader reader(path);
    return parse(reader);
}

QByteArray writtenForm(int splash, int maximize) {
    return QByteArray(" ") + QByteArray::number(splash) + " , " + QByteArray::number(maximize) + " ";
}

namespace {
// Whether the folder of the file that 'path' names, its links followed, takes no new file.
bool folderTakesNoNewFile(const QString& path) {
    const QString real = QFileInfo(path).canonicalFilePath();
    return !real.isEmpty() && ::faccessat(AT_FDCWD, QFile::encodeName(QFileInfo(real).path()).constData(), W_OK | X_OK,
                                          AT_EACCESS) != 0;
}

// Overwrites the file where it is: no new file is made, and only a regular file that is not
// read-only is written. A write torn by a crash reads as garbled settings, which every reader
// takes as no instruction.
bool writeInPlace(const QString& path, const QByteArray& bytes) {
    // O_NONBLOCK: whatever took the name since it was looked at is not waited for.
    const UniqueFd fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
    return io::steps::writeAll(fd.get(), bytes.constData(), bytes.size()) == 0 &&
           io::steps::truncate(fd.get(), bytes.size()) == 0 && io::steps::sync(fd.get()) == 0;
}
} // namespace

bool write(int splash, int maximize, const QString& path) {
    const QByteArray bytes = writtenForm(splash, maximize);
    if (io::writeAtomically(path, bytes, /*allowInPlace=*/false).ok) return true;
    // A settings file the user may write, in a folder the user may not: it cannot be replaced,
    // but it can be rewritten.
    return folderTakesNoNewFile(path) && writeInPlace(path, bytes);
}

} // namespace settings
