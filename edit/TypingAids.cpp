#include "edit/TypingAids.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "documents/HtmlKeywords.h"
#include "documents/Indentation.h"
#include "documents/LineEnds.h"
#include "edit/Abbreviation.h"
#include "edit/Markup.h"
#include "platform/Indicators.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"

#include <QAction>
#include <QKeyEvent>

#include <algorithm>
#include <cctype>
#include <optional>

namespace editcmd {
namespace {
using Sci = QsciScintillaBase;

// How far the tag aids read around the caret: enough for any page written by hand, little enough
// to read at every key.
constexpr qint64 kLookBack = qint64(128) << 10;
constexpr qint64 kLookAhead = qint64(64) << 10;
// Select Element reads further: it runs once per command.
constexpr qint64 kSelectReach = qint64(4) << 20;
// Marks a bracket or quote put in as the partner of one typed, so that only it is typed over.
// Hidden; moves with the text.
constexpr int kPairedIndicator = tp::indicator::kPaired;

std::optional<markup::Dialect> tagDialect(syntax::Kind kind) {
    if (kind == syntax::Kind::Html || kind == syntax::Kind::Php) return markup::Dialect::Html;
    if (kind == syntax::Kind::Xml) return markup::Dialect::Xml;
    return std::nullopt;
}

syntax::Kind kindOf(const Form1& form) {
    const DocumentView* view = DocumentView::of(&form);
    return view ? view->syntaxKind() : syntax::Kind::Plain;
}

qint64 caretOf(const RichTextBox& rtb) { return rtb.SendScintilla(Sci::SCI_GETCURRENTPOS); }

QByteArrayView before(const RichTextBox& rtb, qint64 at, qint64 reach) {
    const qint64 from = std::max<qint64>(0, at - reach);
    return {rtb.rangePointer(from, at - from), at - from};
}
QByteArrayView after(const RichTextBox& rtb, qint64 at, qint64 reach) {
    const qint64 n = std::min(rtb.byteLength(), at + reach) - at;
    return {rtb.rangePointer(at, n), n};
}
char charAt(const RichTextBox& rtb, qint64 at) {
    return at >= 0 && at < rtb.byteLength() ? static_cast<char>(rtb.SendScintilla(Sci::SCI_GETCHARAT, static_cast<unsigned long>(at))) : 0;
}

// Puts the caret there, as a key moving it does: placing it as a selection makes the control
// repaint more, which costs several times a key's time in a large coloured document.
void caretTo(RichTextBox& rtb, qint64 at) {
    if (caretOf(rtb) != at) rtb.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(at));
}

// Replaces [from, to) with 'left' + 'right' as one undo step, the caret between the two.
void put(RichTextBox& rtb, qint64 from, qint64 to, const QByteArray& left, const QByteArray& right = {}) {
    rtb.editInOneStep([&] { rtb.replaceBytes(from, to, left + right); });
    caretTo(rtb, from + left.size());
}

// The abbreviation that ends at the caret (or the one from 'from' to the caret): where it starts
// and how it expands there.
struct Found {
    qint64 from = 0;
    abbreviation::Expansion expansion;
};
Found abbreviationAt(RichTextBox& rtb, bool xml, qint64 from = -1) {
    const qint64 caret = caretOf(rtb);
    const qint64 lineStart = rtb.lineStartByte(rtb.lineOfByte(caret));
    const prefs::Editor p = DocumentView::preferences();
    abbreviation::Style style;
    style.indent = indentation::step(p.indentWithSpaces, p.tabWidth);
    style.lineEnd = lineends::bytes(lineends::enterKind(rtb)).toByteArray();
    const qint64 lineLength = std::min<qint64>(caret - lineStart, 4096);
    style.baseIndent = rtb.bytes(lineStart, indentation::leadingBlanks(rtb.rangePointer(lineStart, lineLength), lineLength));
    style.xml = xml;
    // Read last: reading another range of the text may move the one read before.
    const QByteArrayView line = before(rtb, caret, std::min(caret - lineStart, abbreviation::kMaxLength));
    const qint64 start = from >= 0 ? line.size() - (caret - from) : abbreviation::startIn(line);
    if (start < 0) return {caret, {}};
    return {caret - (line.size() - start), abbreviation::expand(line.sliced(start), style)};
}

// The aids of one window; it lives and works on the GUI thread only, as its window does.
class TypingAids : public QObject {
public:
    TypingAids(Form1& form, RichTextBox& rtb, QObject* owner) : QObject(owner), form_(form), rtb_(rtb) {
        rtb_.SendScintilla(Sci::SCI_INDICSETSTYLE, kPairedIndicator, Sci::INDIC_HIDDEN);
        rtb_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != &rtb_ || e->type() != QEvent::KeyPress) return false;
        const auto* ke = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = ke->modifiers() & ~Qt::KeypadModifier;
        if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        // One plain caret, inserting: other ways of typing are left alone.
        if (rtb_.isReadOnly() || rtb_.SendScintilla(Sci::SCI_GETSELECTIONS) != 1 || rtb_.SendScintilla(Sci::SCI_GETOVERTYPE))
            return false;
        if (ke->key() == Qt::Key_Tab) return mods == Qt::NoModifier && tab();
        if (ke->key() == Qt::Key_Backspace) return backspace();
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && mods == Qt::NoModifier) return enter();
        const QString text = ke->text();
        if (text.size() != 1 || text[0].unicode() > 0x7e) return false;
        return typed(e, static_cast<char>(text[0].unicode()));
    }

private:
    bool typed(QEvent* key, char c) {
        const prefs::Editor p = DocumentView::preferences();
        const syntax::Kind kind = kindOf(form_);
        const std::optional<markup::Dialect> dialect = tagDialect(kind);
        const qint64 caret = caretOf(rtb_);
        const bool selection = rtb_.hasSelection();
        if (dialect && p.closeTags && !selection && (c == '>' || c == '/')) {
            const QByteArrayView left = before(rtb_, caret, kLookBack), right = after(rtb_, caret, kLookAhead);
            if (c == '>') {
                const QByteArray close = markup::closingTagAfterGt(left, right, *dialect);
                if (!close.isEmpty()) {
                    typeThenAdd(key, close);
                    return true;
                }
            } else {
                const markup::SlashTyped slash = markup::slashTyped(left, right, *dialect);
                if (!slash.insert.isEmpty()) {
                    caretTo(rtb_, typeThenAdd(key, slash.insert) + slash.insert.size());
                    return true;
                }
                if (slash.over > 0) {
                    // The '<' just typed and this '/' become the end tag that follows.
                    put(rtb_, caret - 1, caret, {});
                    caretTo(rtb_, caret - 1 + slash.over);
                    return true;
                }
            }
        }
        if (!p.pairBrackets || kind == syntax::Kind::Plain || selection) return false;
        switch (markup::pairingFor(c, charAt(rtb_, caret - 1), charAt(rtb_, caret), paired(caret))) {
        case markup::Pairing::Type:
            return false;
        case markup::Pairing::TypeOver:
            unmark(caret);
            caretTo(rtb_, caret + 1);
            return true;
        case markup::Pairing::Pair: {
            const qint64 partner = typeThenAdd(key, QByteArray(1, markup::partnerOf(c)));
            rtb_.SendScintilla(Sci::SCI_SETINDICATORCURRENT, kPairedIndicator);
            rtb_.SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(partner), 1L);
            return true;
        }
        }
        return false;
    }

    // The key is typed as the control types it (so that it joins the typing around it), then
    // 'right' is put after the caret as a step of its own: the first Undo takes it away.
    // Returns where 'right' begins.
    qint64 typeThenAdd(QEvent* key, const QByteArray& right) {
        static_cast<QObject&>(rtb_).event(key);
        const qint64 caret = caretOf(rtb_);
        rtb_.editInOneStep([&] { rtb_.replaceBytes(caret, caret, right); });
        caretTo(rtb_, caret);
        return caret;
    }

    // Enter between "<div>" and "</div>": the end tag goes to a line of its own, the caret to an
    // indented line between them.
    bool enter() {
        const std::optional<markup::Dialect> dialect = tagDialect(kindOf(form_));
        const prefs::Editor p = DocumentView::preferences();
        if (!dialect || !p.closeTags || rtb_.hasSelection()) return false;
        const qint64 caret = caretOf(rtb_);
        const qint64 lineStart = rtb_.lineStartByte(rtb_.lineOfByte(caret));
        const qint64 length = std::min<qint64>(caret - lineStart, 4096);
        const QByteArrayView line = before(rtb_, caret, length), rest = after(rtb_, caret, 1024);
        if (!markup::betweenTags(line, rest, *dialect)) return false;
        const QByteArray indent = line.first(indentation::leadingBlanks(line.data(), line.size())).toByteArray();
        const QByteArray lineEnd = lineends::bytes(lineends::enterKind(rtb_)).toByteArray();
        put(rtb_, caret, caret, lineEnd + indent + indentation::step(p.indentWithSpaces, p.tabWidth), lineEnd + indent);
        return true;
    }

    bool backspace() {
        if (!DocumentView::preferences().pairBrackets || rtb_.hasSelection()) return false;
        const qint64 caret = caretOf(rtb_);
        const char open = charAt(rtb_, caret - 1);
        if (!open || markup::partnerOf(open) != charAt(rtb_, caret) || !paired(caret)) return false;
        put(rtb_, caret - 1, caret + 1, {});
        return true;
    }

    bool tab() {
        if (!DocumentView::preferences().abbreviationsOnTab || tagDialect(kindOf(form_)) != markup::Dialect::Html ||
            rtb_.hasSelection())
            return false;
        // Not in the middle of a word, nor inside a tag, a comment or a script.
        const qint64 caret = caretOf(rtb_);
        const char next = charAt(rtb_, caret);
        if (std::isalnum(static_cast<unsigned char>(next)) || next == '-' || next == '_') return false;
        if (!markup::inText(before(rtb_, caret, kLookBack), markup::Dialect::Html)) return false;
        const Found found = abbreviationAt(rtb_, false);
        const abbreviation::Expansion& x = found.expansion;
        if (!x.ok()) return false;
        // Only names of HTML elements: Tab after an ordinary word indents.
        const QStringList& known = htmlkeywords::elements();
        for (const QByteArray& name : x.names)
            if (!known.contains(QString::fromLatin1(name).toLower())) return false;
        put(rtb_, found.from, caret, x.text.left(x.caret), x.text.mid(x.caret));
        return true;
    }

    bool paired(qint64 at) const {
        return at < rtb_.byteLength() && rtb_.SendScintilla(Sci::SCI_INDICATORVALUEAT, kPairedIndicator, static_cast<long>(at)) != 0;
    }
    void unmark(qint64 at) {
        rtb_.SendScintilla(Sci::SCI_SETINDICATORCURRENT, kPairedIndicator);
        rtb_.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(at), 1L);
    }

    Form1& form_;
    RichTextBox& rtb_;
};

RichTextBox* activeText(const DocumentFrame& frame, Form1** form) {
    *form = frame.ActiveForm();
    return *form ? (*form)->RTB1 : nullptr;
}

void toggle(bool prefs::Editor::*flag) {
    prefs::Editor p = DocumentView::preferences();
    p.*flag = !(p.*flag);
    DocumentView::setPreferences(p);
}

} // namespace

void attachTypingAids(Form1& form) { new TypingAids(form, *form.RTB1, &form); }
void attachTypingAids(Form1& form, RichTextBox& view) { new TypingAids(form, view, &view); }

void ExpandAbbreviation(DocumentFrame& frame) {
    Form1* form = nullptr;
    RichTextBox* rtb = activeText(frame, &form);
    if (!rtb) return;
    const bool xml = kindOf(*form) == syntax::Kind::Xml;
    qint64 from = -1;
    if (rtb->hasSelection()) {
        // The selection is the abbreviation, on one line.
        from = rtb->SendScintilla(Sci::SCI_GETSELECTIONSTART);
        const qint64 to = rtb->SendScintilla(Sci::SCI_GETSELECTIONEND);
        if (rtb->lineOfByte(from) != rtb->lineOfByte(to)) {
            tp::sys().beep();
            return;
        }
        rtb->selectBytes(from, to);   // the caret at its end
    }
    const Found found = abbreviationAt(*rtb, xml, from);
    const abbreviation::Expansion& x = found.expansion;
    if (!x.ok()) {
        tp::sys().beep();
        return;
    }
    put(*rtb, found.from, caretOf(*rtb), x.text.left(x.caret), x.text.mid(x.caret));
}

void SelectElement(DocumentFrame& frame) {
    Form1* form = nullptr;
    RichTextBox* rtb = activeText(frame, &form);
    if (!rtb) return;
    const qint64 from = rtb->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const qint64 to = rtb->SendScintilla(Sci::SCI_GETSELECTIONEND);
    const qint64 lo = std::max<qint64>(0, from - kSelectReach);
    const qint64 hi = std::min(rtb->byteLength(), to + kSelectReach);
    const markup::Dialect dialect = kindOf(*form) == syntax::Kind::Xml ? markup::Dialect::Xml : markup::Dialect::Html;
    const markup::Range r =
        markup::enclosingElement(QByteArrayView(rtb->rangePointer(lo, hi - lo), hi - lo), from - lo, to - lo, dialect);
    if (!r.valid()) {
        tp::sys().beep();
        return;
    }
    rtb->selectBytes(lo + r.from, lo + r.to);
}

void mnuEditTypingAids(DocumentFrame& frame) {
    frame.setItemsEnabled({"mnuEditExpandAbbreviation", "mnuEditSelectElement"}, frame.ActiveForm() != nullptr);
}

void mnuViewTypingAids(DocumentFrame& frame) {
    const prefs::Editor p = DocumentView::preferences();
    const std::pair<const char*, bool> items[] = {
        {"mnuViewCloseTags", p.closeTags},
        {"mnuViewPairBrackets", p.pairBrackets},
        {"mnuViewAbbreviationsOnTab", p.abbreviationsOnTab},
    };
    for (const auto& [name, on] : items) {
        if (QAction* a = frame.item(name)) {
            a->setCheckable(true);
            a->setChecked(on);
        }
    }
}

void ToggleCloseTags() { toggle(&prefs::Editor::closeTags); }
void TogglePairBrackets() { toggle(&prefs::Editor::pairBrackets); }
void ToggleAbbreviationsOnTab() { toggle(&prefs::Editor::abbreviationsOnTab); }

} // namespace editcmd
