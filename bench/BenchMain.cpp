#include "bench/Bench.h"

#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "io/CodePage.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QProcess>
#include <QTextStream>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace bench {

std::vector<Section>& sections() {
    static std::vector<Section> s;
    return s;
}

void processEvents() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void typeKeys(RichTextBox& rtb, int count) {
    for (int i = 0; i < count; ++i) {
        const QString text(QChar(u'a' + i % 26));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, text);
        QApplication::sendEvent(&rtb, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + i % 26, Qt::NoModifier, text);
        QApplication::sendEvent(&rtb, &release);
        processEvents();
    }
}

double threadSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double seconds(const std::function<void()>& f, int repeat) {
    double best = 1e100;
    for (int i = 0; i < repeat; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

void report(const QString& name, double ours, const QString& baselineName, double baseline) {
    std::printf("%-44s %9.4f s   %-28s %9.4f s   %7.2fx\n", qPrintable(name), ours, qPrintable(baselineName),
                baseline, baseline > 0 ? ours / baseline : 0.0);
    std::fflush(stdout);
}

void note(const QString& name, const QString& value) {
    std::printf("%-44s %s\n", qPrintable(name), qPrintable(value));
    std::fflush(stdout);
}

QByteArray makeDocument(qint64 bytes) {
    static const char* lines[] = {
        "<p class=\"intro\">Caf\xe9 cr\xe8me &amp; cr\xeape \x80 \x93 \x94 na\xefve r\xe9sum\xe9.</p>",
        "<a href=\"http://www.example.com/page.htm\">Link text here</a> <br>",
        "  <td align=\"center\" valign=\"top\"><img src=\"images/pic.gif\" width=\"32\"></td>",
        "<script language=\"JavaScript\">var x = document.forms[0].value; // \x85</script>",
        "<!--#include virtual=\"/ssi/header.shtml\" -->",
        "<?php echo $row['title']; ?> \xab quoted \xbb \xa9 2026",
        "body { font-family: Verdana, Arial; color: #336699; margin: 0px; }",
        "",
    };
    QByteArray out;
    out.reserve(bytes + 256);
    quint32 seed = 12345;
    while (out.size() < bytes) {
        seed = seed * 1103515245u + 12345u;
        out.append(lines[(seed >> 16) % std::size(lines)]);
        out.append("\r\n");
    }
    out.truncate(bytes);
    return out;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

QByteArray makeUtf8Document(qint64 bytes) {
    static const char* const words[] = {
        "<p lang=\"el\">\xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1 \xce\xba\xcf\x8c\xcf\x83\xce\xbc\xce\xb5</p>",
        "<p lang=\"ru\">\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xd0\xbc\xd0\xb8\xd1\x80</p>",
        "<p lang=\"ja\">\xe3\x81\x93\xe3\x82\x93\xe3\x81\xab\xe3\x81\xa1\xe3\x81\xaf \xe4\xb8\x96\xe7\x95\x8c</p>",
    };
    QByteArray out = codepage::decodeToUtf8(makeDocument(bytes));
    // A word of another script every 32 lines or so.
    QByteArray mixed;
    mixed.reserve(out.size() + out.size() / 40);
    qsizetype line = 0, lines = 0;
    for (qsizetype end; (end = out.indexOf('\n', line)) >= 0 && mixed.size() < bytes; line = end + 1) {
        mixed.append(out.constData() + line, end + 1 - line);
        if (++lines % 32 == 0) mixed.append(words[(lines / 32) % std::size(words)]).append("\r\n");
    }
    qsizetype cut = std::min<qsizetype>(bytes, mixed.size());
    while (cut > 0 && (static_cast<unsigned char>(mixed[cut]) & 0xC0) == 0x80) --cut;
    mixed.truncate(cut);
    return mixed;
}

QByteArray readPlain(const QString& path) {
    QByteArray buf;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    off_t size = ::lseek(fd, 0, SEEK_END);
    ::lseek(fd, 0, SEEK_SET);
    buf.resize(size);
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buf.data() + got, size - got);
        if (n <= 0) break;
        got += n;
    }
    ::close(fd);
    return buf;
}

void writePlain(const QString& path, const QByteArray& bytes, bool sync) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n <= 0) break;
        done += n;
    }
    if (sync) ::fsync(fd);
    ::close(fd);
}

void dropCaches(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

double timeOpen(DocumentFrame& frame, const QString& path, Form1*& opened) {
    return seconds([&] {
        if (opened) opened->closeWithoutAsking();
        QCoreApplication::processEvents();
        opened = documents::openDocument(frame, path);
    }, 3);
}

qint64 memoryToOpen(const QString& path) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory-child"), path});
    child.waitForFinished(-1);
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    return parts.size() == 2 ? parts[1].toLongLong() - parts[0].toLongLong() : -1;
}

static qint64 statusField(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> rows = f.readAll().split('\n');
    for (const QByteArray& row : rows) {
        if (row.startsWith(key)) return row.mid(qstrlen(key)).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

qint64 residentBytes() { return statusField("VmRSS:"); }
qint64 peakResidentBytes() { return statusField("VmHWM:"); }

} // namespace bench

int benchMemoryChild(const QString& path);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                       : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (app.arguments().size() == 3 && app.arguments().at(1) == QLatin1String("--memory-child"))
        return benchMemoryChild(app.arguments().at(2));
    bench::Options options;
    QStringList wanted;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            options.sizesMb.clear();
            for (const QString& s : args[++i].split(QLatin1Char(','))) options.sizesMb.push_back(s.toInt());
        } else {
            wanted << args[i];
        }
    }
    QTemporaryDir dir;
    options.workDir = dir.path();
    // Opening and saving keep a list of recent files in the configuration folder and add to the
    // desktop's in the data folder: not the user's.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    for (const bench::Section& s : bench::sections()) {
        if (wanted.isEmpty() ? s.onlyWhenNamed : !wanted.contains(QString::fromLatin1(s.name))) continue;
        std::printf("== %s\n", s.name);
        s.run(options);
    }
    return 0;
}
