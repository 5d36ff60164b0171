#include "fileops/Session.h"

#include "documents/DocumentCommands.h"
#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/EncodingCommands.h"
#include "documents/Form1.h"
#include "documents/Syntax.h"
#include "io/Preferences.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QPointer>

#include <algorithm>
#include <cstdio>

namespace fileops {
namespace {

using Sci = QsciScintillaBase;


std::optional<syntax::Kind> kindNamed(const QString& name) {
    for (int k = int(syntax::Kind::Plain); k <= int(syntax::Kind::Less); ++k)
        if (syntax::kindName(syntax::Kind(k)) == name) return syntax::Kind(k);
    return std::nullopt;
}

io::SessionDocument stateOf(Form1& form) {
    RichTextBox& rtb = *form.RTB1;
    io::SessionDocument d;
    d.path = form.filePath();
    d.caret = rtb.SendScintilla(Sci::SCI_GETCURRENTPOS);
    d.firstLine = rtb.SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, rtb.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
    d.encoding = io::encodingName(form.encoding());
    if (DocumentView* view = form.view()) {
        d.colouring = syntax::kindName(view->syntaxKind());
        // The folded blocks, found by the control's own jump from one to the next: cheap however
        // long the text.
        if (view->folding()) {
            for (long line = rtb.SendScintilla(Sci::SCI_CONTRACTEDFOLDNEXT, 0UL); line >= 0;
                 line = rtb.SendScintilla(Sci::SCI_CONTRACTEDFOLDNEXT, static_cast<unsigned long>(line + 1)))
                d.folded << line;
        }
    }
    return d;
}

// Puts a freshly opened window where the session left it. The file may have changed since: every
// place is kept inside the text as it is now.
void restore(Form1& form, const io::SessionDocument& d) {
    if (const std::optional<io::Encoding> encoding = io::encodingFromName(d.encoding);
        encoding && *encoding != form.encoding() && documents::canReopen(form))
        documents::reopenWithEncoding(form, *encoding);
    DocumentView* view = form.view();
    if (const std::optional<syntax::Kind> kind = kindNamed(d.colouring); view && kind && *kind != view->syntaxKind())
        view->setSyntaxKind(*kind);
    RichTextBox& rtb = *form.RTB1;
    const long lines = rtb.SendScintilla(Sci::SCI_GETLINECOUNT);
    if (view && view->folding() && !d.folded.isEmpty()) {
        // The fold levels are known once the text is coloured as far as the last folded block.
        const long last = std::min<long>(long(d.folded.last()) + 1, lines - 1);
        rtb.SendScintilla(Sci::SCI_COLOURISE, 0UL, rtb.SendScintilla(Sci::SCI_GETLINEENDPOSITION, last));
        for (qint64 line : d.folded) {
            if (line >= lines || !(rtb.SendScintilla(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line)) &
                                   Sci::SC_FOLDLEVELHEADERFLAG))
                continue;
            rtb.SendScintilla(Sci::SCI_FOLDLINE, static_cast<unsigned long>(line), long(Sci::SC_FOLDACTION_CONTRACT));
        }
    }
    const long length = rtb.SendScintilla(Sci::SCI_GETLENGTH);
    long caret = long(std::min<qint64>(d.caret, length));
    // Never inside a character, should the file have changed.
    if (caret < length)
        caret = rtb.SendScintilla(Sci::SCI_POSITIONBEFORE, rtb.SendScintilla(Sci::SCI_POSITIONAFTER, caret));
    rtb.SendScintilla(Sci::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret));
    const long first = long(std::min<qint64>(d.firstLine, lines - 1));
    rtb.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, rtb.SendScintilla(Sci::SCI_VISIBLEFROMDOCLINE, first));
}

} // namespace

io::Session currentSession(DocumentFrame& frame) {
    io::Session s;
    const Form1* active = frame.ActiveForm();
    QStringList listed;
    for (Form1* form : frame.documentWindows()) {
        if (form->filePath().isEmpty() || listed.contains(form->filePath())) continue;
        if (form == active) s.active = int(s.documents.size());
        listed << form->filePath();
        s.documents << stateOf(*form);
    }
    return s;
}

void rememberSession(DocumentFrame& frame) {
    QString reason;
    if (!io::writeSession(currentSession(frame), reason))
        std::fprintf(stderr, "tesselpad: the session could not be kept in %s: %s\n", qPrintable(io::sessionPath()),
                     qPrintable(reason));
}

void reopenLastSession(DocumentFrame& frame, bool atStart) {
    const io::SessionRead read = io::readSession();
    if (read.status == io::SessionRead::Status::Missing) {
        if (!atStart) tp::MsgBox(QCoreApplication::translate("Session", "There is no last session to reopen."));
        return;
    }
    if (read.status == io::SessionRead::Status::Refused) {
        tp::MsgBox(QCoreApplication::translate("Session", "Can't reopen the last session: %1").arg(io::sessionPath()) + QStringLiteral("\r\n\r\n") +
                   read.reason);
        return;
    }
    const QList<io::SessionDocument>& documents = read.session.documents;
    QList<QByteArray> names;
    for (const io::SessionDocument& d : documents) names << QFile::encodeName(d.path);
    QList<QPointer<Form1>> before;
    for (Form1* form : frame.documentWindows()) before << form;
    const QList<Form1*> windows = documents::openFiles(frame, names);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        // A window that was open already stays as the user has it.
        if (windows[i] && !before.contains(windows[i])) restore(*windows[i], documents[i]);
    }
    const int active = read.session.active;
    if (active >= 0 && active < windows.size() && windows[active]) documents::bringForward(frame, *windows[active]);
}

void mnuFileSession(DocumentFrame& frame) {
    if (QAction* a = frame.item("mnuFileReopenAtStart")) {
        a->setCheckable(true);
        a->setChecked(reopensAtStart());
    }
}

bool reopensAtStart() { return DocumentView::preferences().reopenSession; }

void toggleReopenAtStart() {
    prefs::Editor p = DocumentView::preferences();
    p.reopenSession = !p.reopenSession;
    DocumentView::setPreferences(p);
}

} // namespace fileops
