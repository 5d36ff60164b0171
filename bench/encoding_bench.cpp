// UTF-8 documents: opening against read() and against opening a Windows-1252 file of the same size,
// recognising the encoding against the whole open, saving against write()+fsync(), memory against
// the Windows-1252 document, and the first position queries (SelStart, a Find near the end) on a
// freshly opened document against Scintilla's UTF-16 line index, which they built before.
// Declared encodings: a Shift_JIS and an ISO-8859-2 page opened against the same text in UTF-8.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/Form1.h"
#include "io/Encoding.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "search/FindInDocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringEncoder>

namespace {

// A page of 'bytes' bytes in UTF-8 declaring 'label': the generated lines with their accents made
// ASCII, and a line in the page's script every 32 lines.
QByteArray declaredDocument(qint64 bytes, const char* label, const char* scriptLine) {
    QByteArray ascii = bench::makeDocument(bytes);
    for (char& c : ascii)
        if (static_cast<unsigned char>(c) >= 0x80) c = 'e';
    QByteArray out = QByteArray("<meta charset=\"") + label + "\">\r\n";
    out.reserve(bytes + bytes / 16);
    qsizetype line = 0, lines = 0;
    for (qsizetype end; (end = ascii.indexOf('\n', line)) >= 0 && out.size() < bytes; line = end + 1) {
        out.append(ascii.constData() + line, end + 1 - line);
        if (++lines % 32 == 0) out.append(scriptLine).append("\r\n");
    }
    return out;
}

void runDeclared(MDIForm1& frame, const bench::Options& options, int mb) {
    const struct {
        const char* label;
        io::Encoding encoding;
        const char* line;
    } pages[] = {
        {"Shift_JIS", io::Encoding::ShiftJis,
         "<p lang=\"ja\">\xe3\x81\x93\xe3\x82\x93\xe3\x81\xab\xe3\x81\xa1\xe3\x81\xaf \xe4\xb8\x96\xe7\x95\x8c\xe3\x80\x82"
         "\xe3\x82\xbd\xe8\xa1\xa8</p>"},
        {"ISO-8859-2", io::Encoding::Iso8859_2,
         "<p lang=\"pl\">Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87 g\xc4\x99\xc5\x9bl\xc4\x85 ja\xc5\xba\xc5\x84</p>"},
    };
    for (const auto& page : pages) {
        const qint64 size = qint64(mb) << 20;
        const QByteArray utf8 = declaredDocument(size, page.label, page.line);
        QStringEncoder encode(page.label);
        const QByteArray bytes = encode(QString::fromUtf8(utf8));
        const QString label = QStringLiteral("%1 MB %2").arg(mb).arg(QLatin1String(page.label));
        const QString path = options.workDir + QStringLiteral("/declared-%1.htm").arg(mb);
        const QString utf8Path = options.workDir + QStringLiteral("/declared-utf8-%1.htm").arg(mb);
        bench::writePlain(path, bytes, false);
        bench::writePlain(utf8Path, utf8, false);
        // Each open on its own: the window before is gone.
        const auto timeAndClose = [&](const QString& file, io::Encoding expected) {
            Form1* form = nullptr;
            const double t = bench::timeOpen(frame, file, form);
            if (form->encoding() != expected) bench::note(label, QStringLiteral("NOT OPENED IN ITS ENCODING"));
            form->closeWithoutAsking();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            return t;
        };
        const double utf8Open = timeAndClose(utf8Path, io::Encoding::Utf8);
        const double open = timeAndClose(path, page.encoding);
        // Recognising: the declaration, and the UTF-8 check that stops at its first byte that is not.
        const double recognise = bench::seconds([&] {
            utf8::Checker check;
            volatile bool valid = check.feed(bytes.constData(), bytes.size());
            volatile auto declared = io::declaredEncoding(bytes);
            (void)valid;
            (void)declared;
        }, 3);
        bench::report(QStringLiteral("open %1").arg(label), open, QStringLiteral("the same text in UTF-8"), utf8Open);
        bench::report(QStringLiteral("recognise %1 (in memory)").arg(label), recognise, QStringLiteral("its open"), open);
        QFile::remove(path);
        QFile::remove(utf8Path);
    }
}

void runEncodings(const bench::Options& options) {
    MDIForm1 frame;
    frame.MDIForm_Load();
    for (int mb : options.sizesMb) {
        const qint64 size = qint64(mb) << 20;
        const QString label = QStringLiteral("%1 MB UTF-8").arg(mb);
        const QString utf8Path = options.workDir + QStringLiteral("/utf8-%1.htm").arg(mb);
        const QString cp1252Path = options.workDir + QStringLiteral("/cp1252-%1.htm").arg(mb);
        QByteArray doc = bench::makeUtf8Document(size);
        const QByteArray needle = "needle-\xc3\xa9-in-the-haystack";
        // Put over whole characters near the end, so that the text stays UTF-8.
        const auto charStart = [&doc](qsizetype at) {
            while (at < doc.size() && (static_cast<unsigned char>(doc[at]) & 0xC0) == 0x80) ++at;
            return at;
        };
        const qsizetype at = charStart(doc.size() - 4096);
        doc.replace(at, charStart(at + needle.size()) - at, needle);
        bench::writePlain(utf8Path, doc, false);
        bench::writePlain(cp1252Path, bench::makeDocument(doc.size()), false);

        Form1* cp1252 = nullptr;
        const double cp1252Open = bench::timeOpen(frame, cp1252Path, cp1252);
        cp1252->closeWithoutAsking();
        Form1* form = nullptr;
        const double open = bench::timeOpen(frame, utf8Path, form);
        const double plainRead = bench::seconds([&] { volatile auto n = bench::readPlain(utf8Path).size(); (void)n; }, 3);
        // What Open does to recognise it: the mark, the declaration, one check of every byte.
        const double detect = bench::seconds([&] {
            utf8::Checker check;
            check.feed(doc.constData(), doc.size());
            volatile auto e = io::decideEncoding(io::markedEncoding(doc, doc.size()), io::declaresUtf8(doc), check);
            (void)e;
        }, 3);
        bench::report(QStringLiteral("open %1").arg(label), open, QStringLiteral("read()"), plainRead);
        bench::report(QStringLiteral("open %1").arg(label), open, QStringLiteral("open Windows-1252, same size"), cp1252Open);
        bench::report(QStringLiteral("recognise %1 (in memory)").arg(label), detect, QStringLiteral("open UTF-8"), open);
        if (form->encoding() != io::Encoding::Utf8) bench::note(label, QStringLiteral("NOT OPENED AS UTF-8"));

        // The first questions about positions on the fresh document, against building
        // Scintilla's UTF-16 line index, as they did before.
        RichTextBox& rtb = *form->RTB1;
        const double firstQuery = bench::seconds([&] { volatile auto i = rtb.indexFromByte(rtb.byteLength()); (void)i; });
        const double laterQuery = bench::seconds([&] { volatile auto i = rtb.indexFromByte(rtb.byteLength() / 2); (void)i; }, 3);
        const double lineIndex = bench::seconds([&] {
            rtb.SendScintilla(QsciScintillaBase::SCI_ALLOCATELINECHARACTERINDEX, QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
        });
        rtb.SendScintilla(QsciScintillaBase::SCI_RELEASELINECHARACTERINDEX, QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
        bench::report(QStringLiteral("first position query, %1").arg(label), firstQuery,
                      QStringLiteral("Scintilla UTF-16 line index"), lineIndex);
        bench::report(QStringLiteral("later position query, %1").arg(label), laterQuery,
                      QStringLiteral("first query"), firstQuery);
        // F3 on a freshly opened document, its hit near the end: caret, search, selection.
        Form1* fresh = nullptr;
        bench::timeOpen(frame, utf8Path, fresh);
        form = fresh;
        searchcmd::SearchState& s = searchcmd::state();
        s.strSearchText = QString::fromUtf8(needle);
        s.intMatchCase = 0;
        s.intSearchDirection = 1;
        s.blnNewSearch = true;
        const double firstFind = bench::seconds([&] { searchcmd::FindInDocument(frame); });
        const bool found = form->RTB1->SelText() == s.strSearchText;
        form->RTB1->selectBytes(0, 0);
        s.blnNewSearch = true;
        const double laterFind = bench::seconds([&] { searchcmd::FindInDocument(frame); });
        bench::report(QStringLiteral("first F3 near the end, %1").arg(label), firstFind,
                      QStringLiteral("the same F3 again"), laterFind);
        if (!found) bench::note(label, QStringLiteral("F3 DID NOT FIND THE NEEDLE"));

        // Save: UTF-8 goes out as it is.
        const QString target = options.workDir + QStringLiteral("/saved-utf8-%1.htm").arg(mb);
        frame.strCurrentFile = form->Caption();
        form->setFile(target, form->Caption());
        const double save = bench::seconds([&] { frame.mnuFileSave_Click(); }, 3);
        const double writeSync = bench::seconds([&] { bench::writePlain(target + QStringLiteral(".raw"), doc, true); }, 3);
        bench::report(QStringLiteral("save %1").arg(label), save, QStringLiteral("write()+fsync()"), writeSync);
        if (bench::readPlain(target) != doc + "\r\n") bench::note(label, QStringLiteral("SAVED BYTES DIFFER"));
        form->closeWithoutAsking();
        QCoreApplication::processEvents();
        bench::dropCaches(target);
        QFile::remove(target);
        QFile::remove(target + QStringLiteral(".raw"));
    }

    for (int mb : options.sizesMb) runDeclared(frame, options, mb);

    // Memory: a fresh process opens each document of the largest size.
    const int mb = options.sizesMb.back();
    const qint64 utf8 = bench::memoryToOpen(options.workDir + QStringLiteral("/utf8-%1.htm").arg(mb));
    const qint64 cp1252 = bench::memoryToOpen(options.workDir + QStringLiteral("/cp1252-%1.htm").arg(mb));
    bench::note(QStringLiteral("memory %1 MB open (peak RSS growth)").arg(mb),
                QStringLiteral("UTF-8 %1 MB, Windows-1252 %2 MB (%3x)")
                    .arg(double(utf8) / (1 << 20), 0, 'f', 1)
                    .arg(double(cp1252) / (1 << 20), 0, 'f', 1)
                    .arg(cp1252 > 0 ? double(utf8) / double(cp1252) : 0.0, 0, 'f', 2));
}

bench::Register encodings("encodings", runEncodings);

} // namespace
