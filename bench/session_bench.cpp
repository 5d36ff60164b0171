// Many documents at once: 200 pages of 50 KB named on one command line against the same files
// opened one by one, the memory each extra document takes against its text, and reopening a
// session of 50 documents against opening the same files from a command line.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "fileops/Session.h"
#include "platform/RichTextBox.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Processor seconds of this process taken by f: on a machine shared with other work, steadier than
// the time on the clock.
double cpuSeconds(const std::function<void()>& f) {
    timespec a {}, b {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
    f();
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
    return double(b.tv_sec - a.tv_sec) + double(b.tv_nsec - a.tv_nsec) / 1e9;
}

void closeAll(MDIForm1& frame) {
    for (Form1* form : frame.documentWindows()) form->closeWithoutAsking();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void runSession(const bench::Options& options) {
    constexpr int kFiles = 200;
    constexpr qint64 kBytes = 50 * 1024;
    qputenv("XDG_STATE_HOME", QFile::encodeName(options.workDir + QStringLiteral("/state")));
    QList<QByteArray> names;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = options.workDir + QStringLiteral("/page%1.htm").arg(i);
        bench::writeFile(path, bench::makeDocument(kBytes));
        names << QFile::encodeName(path);
    }
    MDIForm1 frame;
    frame.MDIForm_Load();
    QCoreApplication::processEvents();

    // The first run takes the memory (fresh from the system) and warms what every later run finds
    // made (fonts, the colouring's tables); then the timed runs.
    const qint64 before = bench::residentBytes();
    documents::openFiles(frame, names);
    QCoreApplication::processEvents();
    const qint64 after = bench::residentBytes();
    closeAll(frame);
    double lineCpu = 0;
    const double line = bench::seconds([&] {
        lineCpu = cpuSeconds([&] {
            documents::openFiles(frame, names);
            QCoreApplication::processEvents();
        });
    });
    const qsizetype opened = frame.documentWindows().size();
    closeAll(frame);
    double singleCpu = 0;
    const double single = bench::seconds([&] {
        singleCpu = cpuSeconds([&] {
            for (const QByteArray& name : names) documents::openDocument(frame, QFile::decodeName(name));
            QCoreApplication::processEvents();
        });
    });
    closeAll(frame);
    bench::report(QStringLiteral("%1 documents of 50 KB from one command line (%2 open)").arg(kFiles).arg(opened), line,
                  QStringLiteral("%1 single opens").arg(kFiles), single);
    bench::report(QStringLiteral("%1 documents of 50 KB from one command line, processor time").arg(kFiles), lineCpu,
                  QStringLiteral("%1 single opens").arg(kFiles), singleCpu);
    const double perDocument = double(after - before) / kFiles;
    bench::note(QStringLiteral("memory per extra document of 50 KB"),
                QStringLiteral("%1 KB = %2x its text").arg(perDocument / 1024, 0, 'f', 0).arg(perDocument / kBytes, 0, 'f', 2));

    // What a window costs without text, and the text alone in a bare control: each in a fresh
    // process, where no freed memory is handed out again.
    for (const char* what : {"empty", "bare"}) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSELPAD_BENCH_WINDOWS"), QLatin1String(what));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("window-memory")});
        child.waitForFinished(-1);
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        bench::note(QStringLiteral("memory per extra %1").arg(QLatin1String(qstrcmp(what, "empty") == 0 ? "empty window" : "bare QsciScintilla holding 50 KB")),
                    QStringLiteral("%1 KB").arg(double(lines.last().toLongLong()) / kFiles / 1024, 0, 'f', 0));
    }

    // A session of 50: each window somewhere in its text, as a user leaves it.
    const QList<QByteArray> fifty = names.mid(0, 50);
    double commandLineCpu = 1e9, sessionCpu = 1e9;
    const double commandLine = bench::seconds([&] {
        closeAll(frame);
        commandLineCpu = std::min(commandLineCpu, cpuSeconds([&] {
            documents::openFiles(frame, fifty);
            QCoreApplication::processEvents();
        }));
    }, 3);
    for (Form1* form : frame.documentWindows()) form->RTB1->SetSelStart(form->RTB1->byteLength() / 2);
    fileops::rememberSession(frame);
    const double session = bench::seconds([&] {
        closeAll(frame);
        sessionCpu = std::min(sessionCpu, cpuSeconds([&] {
            fileops::reopenLastSession(frame, false);
            QCoreApplication::processEvents();
        }));
    }, 3);
    bench::report(QStringLiteral("reopen a session of 50 documents (%1 open)").arg(frame.documentWindows().size()), session,
                  QStringLiteral("the same files from a command line"), commandLine);
    bench::report(QStringLiteral("reopen a session of 50 documents, processor time"), sessionCpu,
                  QStringLiteral("the same files from a command line"), commandLineCpu);
    closeAll(frame);
    for (const QByteArray& name : names) QFile::remove(QFile::decodeName(name));
}

bench::Register session("session", runSession);

// Run by "session" in a child: prints the resident memory 200 empty windows, or 200 bare controls
// each holding 50 KB, add.
void runWindowMemory(const bench::Options&) {
    const bool empty = qgetenv("TESSELPAD_BENCH_WINDOWS") == "empty";
    MDIForm1 frame;
    frame.MDIForm_Load();
    QCoreApplication::processEvents();
    const QByteArray text = bench::makeDocument(50 * 1024);
    std::vector<std::unique_ptr<QsciScintilla>> bare;
    const qint64 before = bench::residentBytes();
    for (int i = 0; i < 200; ++i) {
        if (empty) {
            documents::NewDocument(frame);
        } else {
            bare.push_back(std::make_unique<QsciScintilla>());
            bare.back()->SendScintilla(QsciScintillaBase::SCI_SETTEXT, text.constData());
        }
    }
    QCoreApplication::processEvents();
    std::printf("%lld\n", static_cast<long long>(bench::residentBytes() - before));
}

bench::Register windowMemory("window-memory", runWindowMemory);

} // namespace
