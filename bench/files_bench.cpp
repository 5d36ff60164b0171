// Open, save and memory figures for 1, 10 and 100 MB documents against plain reads and writes and
// against QPlainTextEdit, on the same bytes in the same run.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "io/CodePage.h"
#include "fileops/SaveCommands.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QCoreApplication>
#include <QFile>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

namespace {

void runFiles(const bench::Options& options) {
    MDIForm1 frame;
    frame.MDIForm_Load();
    for (int mb : options.sizesMb) {
        const QString path = options.workDir + QStringLiteral("/doc%1.htm").arg(mb);
        const QByteArray doc = bench::makeDocument(qint64(mb) << 20);
        bench::writePlain(path, doc, false);
        const QString label = QStringLiteral("%1 MB").arg(mb);

        // Open: read + decode + set into the control through Open's own code path.
        Form1* form = nullptr;
        const double ours = bench::timeOpen(frame, path, form);
        const double plainRead = bench::seconds([&] { volatile auto n = bench::readPlain(path).size(); (void)n; }, 3);
        // The first position query on a text that is not plain ASCII builds the UTF-16 line index.
        const double firstIndex = bench::seconds([&] { volatile auto i = form->RTB1->indexFromByte(form->RTB1->byteLength()); (void)i; }, 1);
        const double laterIndex = bench::seconds([&] { volatile auto i = form->RTB1->indexFromByte(form->RTB1->byteLength() / 2); (void)i; }, 3);
        bench::note(QStringLiteral("position query %1").arg(label),
                    QStringLiteral("first %1 s (counts to the end once), later %2 s")
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
        const double write = bench::seconds([&] { bench::writePlain(target + QStringLiteral(".raw"), doc, false); }, 3);
        const double writeSync = bench::seconds([&] { bench::writePlain(target + QStringLiteral(".raw"), doc, true); }, 3);
        bench::report(QStringLiteral("save %1").arg(label), save, QStringLiteral("write()+fsync()"), writeSync);
        bench::report(QStringLiteral("save %1").arg(label), save, QStringLiteral("write() (no fsync)"), write);
        form->closeWithoutAsking();
        QCoreApplication::processEvents();
        {
            // Old Mac pages: the same text with lines ended by CR alone, against its CR LF form.
            const QString crPath = options.workDir + QStringLiteral("/cr%1.htm").arg(mb);
            bench::writePlain(crPath, QByteArray(doc).replace("\r\n", "\r"), false);
            Form1* crForm = nullptr;
            const double cr = bench::timeOpen(frame, crPath, crForm);
            if (crForm) crForm->closeWithoutAsking();
            QCoreApplication::processEvents();
            QFile::remove(crPath);
            bench::report(QStringLiteral("open %1, CR-only line ends").arg(label), cr, QStringLiteral("CR LF"), ours);
        }
        bench::dropCaches(target);
        QFile::remove(target);
        QFile::remove(target + QStringLiteral(".raw"));
    }

    // Memory: a fresh process opens the largest document and reports its resident memory.
    const int mb = options.sizesMb.back();
    const qint64 growth = bench::memoryToOpen(options.workDir + QStringLiteral("/doc%1.htm").arg(mb));
    if (growth >= 0)
        bench::note(QStringLiteral("memory %1 MB open (peak RSS growth)").arg(mb),
                    QStringLiteral("%1 MB = %2x the file size")
                        .arg(double(growth) / (1 << 20), 0, 'f', 1)
                        .arg(double(growth) / (double(mb) * (1 << 20)), 0, 'f', 2));
}

bench::Register files("files", runFiles);

// A file that cannot be shown is refused after reading what decides it: a 1 GB file of NUL bytes
// (one line, far over the longest line allowed) against a plain read of the first 64 MB of it.
void runRefusals(const bench::Options& options) {
    MDIForm1 frame;
    frame.MDIForm_Load();
    struct Silent : tp::ModalSeam {
        QString text;
        tp::MsgResult message(const tp::MessageRequest& request) override {
            text = request.text;
            return tp::MsgResult::OK;
        }
        QString fileDialog(const tp::FileDialogRequest&) override { return {}; }
        bool printDialog(const tp::PrintDialogRequest&, QPrinter&) override { return false; }
        int exec(QDialog&) override { return 0; }
    } silent;
    const QString path = options.workDir + QStringLiteral("/nul.bin");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(qint64(1) << 30)) return;
    }
    tp::setModal(&silent);
    Form1* form = nullptr;
    const double ours = bench::seconds([&] { form = documents::openDocument(frame, path); }, 3);
    tp::setModal(nullptr);
    const double plain = bench::seconds([&] {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return;
        volatile auto n = f.read(qint64(64) << 20).size();
        (void)n;
    }, 3);
    bench::report(form ? QStringLiteral("refuse 1 GB of NUL bytes (NOT REFUSED)") : QStringLiteral("refuse 1 GB of NUL bytes"),
                  ours, QStringLiteral("read() of 64 MB"), plain);
    QFile::remove(path);
}

bench::Register refusals("refusals", runRefusals);

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
