#include "edit/CompletionUi.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "edit/Completion.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

namespace editcmd {
namespace {
using Sci = QsciScintillaBase;

completion::Language languageOf(const Form1& form) {
    const DocumentView* view = DocumentView::of(&form);
    switch (view ? view->syntaxKind() : syntax::Kind::Plain) {
    case syntax::Kind::Html:
    case syntax::Kind::Php: return completion::Language::Html;
    case syntax::Kind::Xml: return completion::Language::Xml;
    case syntax::Kind::Css:
    case syntax::Kind::Scss:
    case syntax::Kind::Less: return completion::Language::Css;
    default: return completion::Language::Other;
    }
}

// The list of one window; it lives and works on the GUI thread only, as its window does.
class CompletionList : public QObject {
public:
    // The pause after a key before its list opens or narrows.
    static constexpr int kPauseMs = 12;

    CompletionList(Form1& form, RichTextBox& rtb, QObject* owner) : QObject(owner), form_(form), rtb_(rtb) {
        keyTimer_.setSingleShot(true);
        keyTimer_.setInterval(kPauseMs);
        connect(&keyTimer_, &QTimer::timeout, this, [this] { afterKey(keyAutomatic_); });
        rtb_.installEventFilter(this);
        connect(&rtb_, qOverload<const char*, int, int, int>(&Sci::SCN_AUTOCSELECTION), this,
                [this](const char* chosen, int position, int, int) { take(chosen, position); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != &rtb_ || e->type() != QEvent::KeyPress) return false;
        const auto* ke = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = ke->modifiers() & ~Qt::KeypadModifier;
        if (ke->key() == Qt::Key_Space && mods == Qt::ControlModifier) {
            show(true);
            return true;
        }
        if (rtb_.SendScintilla(Sci::SCI_AUTOCACTIVE)) {
            // The list's own keys go to the list, not to the typing aids (Tab expanding, Enter
            // splitting tags).
            switch (ke->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
                return static_cast<QObject&>(rtb_).event(e);
            default:
                break;
            }
        }
        if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        const QString text = ke->text();
        const bool showing = rtb_.SendScintilla(Sci::SCI_AUTOCACTIVE);
        const bool automatic = DocumentView::preferences().completeAsYouType && languageOf(form_) != completion::Language::Other;
        if (text.size() == 1 && text[0].isPrint() && (automatic || showing)) {
            // Looked at once the key and the typing aids' additions are in, and the keys pause:
            // a list is of no use for a key that more keys follow at once (drawing one takes more
            // than a millisecond). Meanwhile a list showing follows the keys by itself.
            keyAutomatic_ = automatic;
            keyTimer_.start();
        }
        return false;
    }

private:
    completion::Context contextAtCaret(bool asked) const {
        const qint64 caret = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS);
        const qint64 from = std::max<qint64>(0, caret - completion::kReach);
        return completion::contextAt(QByteArrayView(rtb_.rangePointer(from, caret - from), caret - from), languageOf(form_), asked);
    }

    // After a key: a list showing is narrowed to what is typed now, or goes when the key left its
    // word (a typing aid may have added or moved text); with no list, one opens where it helps.
    void afterKey(bool automatic) {
        if (rtb_.SendScintilla(Sci::SCI_AUTOCACTIVE)) {
            const completion::Context now = contextAtCaret(asked_);
            const qint64 from = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS) - now.typed;
            if (now.kind != context_.kind || from != listFrom_) {
                rtb_.SendScintilla(Sci::SCI_AUTOCCANCEL);
                if (automatic) show(false);
                return;
            }
            show(asked_);
            return;
        }
        if (automatic) show(false);
    }

    // Opens the list for the context at the caret; 'asked' on Ctrl+Space.
    void show(bool asked) {
        if (rtb_.isReadOnly() || rtb_.SendScintilla(Sci::SCI_GETSELECTIONS) != 1 || rtb_.hasSelection()) return;
        const qint64 caret = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS);
        const completion::Context context = contextAtCaret(asked);
        if (context.kind == completion::Kind::None) return;
        const QByteArray typed = rtb_.bytes(caret - context.typed, context.typed);
        QList<QByteArray> list;
        if (context.kind == completion::Kind::Word) {
            // Read last: reading another range of the text may move the one read before.
            const qint64 lo = std::max<qint64>(0, caret - completion::kWordReach);
            const qint64 hi = std::min(rtb_.byteLength(), caret + completion::kWordReach);
            list = completion::choices(context, typed, QByteArrayView(rtb_.rangePointer(lo, hi - lo), hi - lo));
        } else {
            list = completion::choices(context, typed);
        }
        // Nothing to offer, or only the word already typed: a list still showing goes, so that
        // Enter after a finished word starts a new line.
        if (list.isEmpty() || (!asked && list.size() == 1 && list.first() == typed)) {
            rtb_.SendScintilla(Sci::SCI_AUTOCCANCEL);
            return;
        }
        context_ = context;
        asked_ = asked;
        listFrom_ = caret - context.typed;
        rtb_.SendScintilla(Sci::SCI_AUTOCSETSEPARATOR, '\n');
        rtb_.SendScintilla(Sci::SCI_AUTOCSETIGNORECASE,
                           context.kind != completion::Kind::Entity && context.kind != completion::Kind::Word);
        rtb_.SendScintilla(Sci::SCI_AUTOCSETORDER, Sci::SC_ORDER_PERFORMSORT);
        rtb_.SendScintilla(Sci::SCI_AUTOCSETAUTOHIDE, true);
        rtb_.SendScintilla(Sci::SCI_AUTOCSETCHOOSESINGLE, false);
        rtb_.SendScintilla(Sci::SCI_AUTOCSETDROPRESTOFWORD, false);
        rtb_.SendScintilla(Sci::SCI_AUTOCSETMAXHEIGHT, 12);
        rtb_.SendScintilla(Sci::SCI_AUTOCSHOW, static_cast<unsigned long>(context.typed), list.join('\n').constData());
    }

    // An entry was chosen: the control's own insertion is cancelled and ours goes in instead.
    void take(const char* chosen, int position) {
        rtb_.SendScintilla(Sci::SCI_AUTOCCANCEL);
        const completion::Insertion in = completion::insertionFor(context_, chosen);
        const qint64 caret = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS);
        // Only the word the list was opened for is replaced, never text put in since.
        if (position != listFrom_ || caret < position || caret - position > completion::kReach) return;
        rtb_.editInOneStep([&] { rtb_.replaceBytes(position, caret, in.text); });
        rtb_.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(position + in.caret));
        // An attribute's or a property's values follow at once where there is a list of them.
        if (context_.kind == completion::Kind::Attribute || context_.kind == completion::Kind::CssProperty)
            QTimer::singleShot(0, this, [this] { show(false); });
    }

    Form1& form_;
    RichTextBox& rtb_;
    completion::Context context_;   // of the list showing
    bool asked_ = false;            // the list showing was asked for with Ctrl+Space
    qint64 listFrom_ = -1;          // where the word it completes begins
    QTimer keyTimer_;               // the look after the keys, once they pause
    bool keyAutomatic_ = false;     // the list may open by itself there
};

} // namespace

void attachCompletion(Form1& form) { new CompletionList(form, *form.RTB1, &form); }
void attachCompletion(Form1& form, RichTextBox& view) { new CompletionList(form, view, &view); }

void mnuViewCompletion(DocumentFrame& frame) {
    if (QAction* a = frame.item("mnuViewCompleteAsYouType")) {
        a->setCheckable(true);
        a->setChecked(DocumentView::preferences().completeAsYouType);
    }
}

void ToggleCompleteAsYouType() {
    prefs::Editor p = DocumentView::preferences();
    p.completeAsYouType = !p.completeAsYouType;
    DocumentView::setPreferences(p);
}

} // namespace editcmd
