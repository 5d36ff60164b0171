// Open, save and memory figures for 1, 10 and 100 MB documents against plain reads and writes and
// against QPlainTextEdit, on the same bytes in the same run.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "io/CodePage.h"
#include "fileops/SaveCommands.h"
#include "platform/RichTextBox.h"

#include <QCoreApplication>
#include <QFile>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>

#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

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

void runFiles(const bench::Options& options) {
    MDIForm1 frame;
    frame.MDIForm_Load();
    for (int mb : options.sizesMb) {
        const QString path = options.workDir + QStringLiteral("/doc%1.htm").arg(mb);
        const QByteArray doc = bench::makeDocument(qint64(mb) << 20);
        writePlain(path, doc, false);
        const QString label = QStringLiteral("%1 MB").arg(mb);

        // Open: read + decode + set into the control through Open's own code path.
        const auto timeOpen = [&frame](const QString& file, Form1*& opened) {
            return bench::seconds([&] {
                if (opened) opened->closeWithoutAsking();
                QCoreApplication::processEvents();
                opened = documents::openDocument(frame, file);
            }, 3);
        };
        Form1* form = nullptr;
        const double ours = timeOpen(path, form);
        const double plainRead = bench::seconds([&] { volatile auto n = readPlain(path).size(); (void)n; }, 3);
        // The first position query on a text that is not plain ASCII builds the UTF-16 line index.
        const double firstIndex = bench::seconds([&] { volatile auto i = form->RTB1->indexFromByte(form->RTB1->byteLength()); (void)i; }, 1);
        const double laterIndex = bench::seconds([&] { volatile auto i = form->RTB1->indexFromByte(form->RTB1->byteLength() / 2); (void)i; }, 3);
        bench::note(QStringLiteral("position query %1").arg(label),
                    QStringLiteral("first %1 s (builds the UTF-16 index once), later %2 s")
                        .arg(firstIndex, 0, 'f', 4)
                        .arg(laterIndex, 0, 'f', 6));
        bench::report(QStringLiteral("open %1").arg(label), ours, QStringLiteral("read()"), plainRead);
        {
            const QString text = codepage::decode(doc);
            QPlainTextEdit edit;
            const double qpte = bench::seconds([&] { edit.setPlainText(text); }, 1);
            bench::report(QStringLiteral("open %1").arg(label), ours, QStringLiteral("QPlainTextEdit::setPlainText"), qpte);
        }

        // Save: the whole document through Save against write() of the same bytes.
        frame.strCurrentFile = path;
        const QString target = options.workDir + QStringLiteral("/saved%1.htm").arg(mb);
        form->setFile(target, form->Caption());
        const double save = bench::seconds([&] { frame.mnuFileSave_Click(); }, 3);
        const double write = bench::seconds([&] { writePlain(target + QStringLiteral(".raw"), doc, false); }, 3);
        const double writeSync = bench::seconds([&] { writePlain(target + QStringLiteral(".raw"), doc, true); }, 3);
        bench::report(QStringLiteral("save %1").arg(label), save, QStringLiteral("write()+fsync()"), writeSync);
        bench::report(QStringLiteral("save %1").arg(label), save, QStringLiteral("write() (no fsync)"), write);
        form->closeWithoutAsking();
        QCoreApplication::processEvents();
        {
            // Old Mac pages: the same text with lines ended by CR alone, against its CR LF form.
            const QString crPath = options.workDir + QStringLiteral("/cr%1.htm").arg(mb);
            writePlain(crPath, QByteArray(doc).replace("\r\n", "\r"), false);
            Form1* crForm = nullptr;
            const double cr = timeOpen(crPath, crForm);
            if (crForm) crForm->closeWithoutAsking();
            QCoreApplication::processEvents();
            QFile::remove(crPath);
            bench::report(QStringLiteral("open %1, CR-only line ends").arg(label), cr, QStringLiteral("CR LF"), ours);
        }
        dropCaches(target);
        QFile::remove(target);
        QFile::remove(target + QStringLiteral(".raw"));
    }

    // Memory: a fresh process opens the largest document and reports its resident memory.
    const int mb = options.sizesMb.back();
    const QString path = options.workDir + QStringLiteral("/doc%1.htm").arg(mb);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory-child"), path});
    child.waitForFinished(-1);
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() == 2) {
        const double before = parts[0].toDouble(), peak = parts[1].toDouble();
        bench::note(QStringLiteral("memory %1 MB open (peak RSS growth)").arg(mb),
                    QStringLiteral("%1 MB = %2x the file size")
                        .arg((peak - before) / (1 << 20), 0, 'f', 1)
                        .arg((peak - before) / (double(mb) * (1 << 20)), 0, 'f', 2));
    }
}

bench::Register files("files", runFiles);

} // namespace

// Called from the benchmark's main when "--memory-child FILE" is given.
int benchMemoryChild(const QString& path) {
    MDIForm1 frame;
    frame.MDIForm_Load();
    QCoreApplication::processEvents();
    const qint64 before = bench::peakResidentBytes();
    documents::openDocument(frame, path);
    QCoreApplication::processEvents();
    std::printf("%lld %lld\n", static_cast<long long>(before), static_cast<long long>(bench::peakResidentBytes()));
    return 0;
}
