#include "documents/DocumentView.h"

#include "documents/EmbeddedColouring.h"
#include "documents/Form1.h"
#include "documents/Indentation.h"
#include "documents/Matching.h"
#include "documents/PageRestart.h"
#include "documents/Theme.h"
#include "platform/Indicators.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QList>
#include <QMetaObject>
#include <Qsci/qscilexer.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerjavascript.h>

#include <algorithm>
#include <array>

namespace {
using Sci = QsciScintillaBase;

// The indicator that boxes a tag's name and its partner's.
constexpr int kTagIndicator = tp::indicator::kMatchingTag;
// The indicators that colour CSS and JavaScript inside a page, one per embedded::Kind.
constexpr int kEmbeddedIndicator = tp::indicator::kEmbeddedFirst;
static_assert(int(embedded::Kind::Count) == tp::indicator::kEmbeddedCount);
constexpr int kEmbeddedKinds = int(embedded::Kind::Count);
// How far around the caret a partner is looked for: near first, then further for what is at the
// caret only.
constexpr qint64 kNearReach = qint64(64) << 10;
constexpr qint64 kFarReach = qint64(4) << 20;

// Whether the caret is at a '<' or after one with no '>' between (as far as the span shows).
bool inTag(const matching::Span& text, qint64 caret) {
    if (text.contains(caret) && text.at(caret) == '<') return true;
    for (qint64 p = caret - 1; text.contains(p); --p) {
        if (text.at(p) == '>') return false;
        if (text.at(p) == '<') return true;
    }
    return false;
}

int digitsOf(long n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// Every live view, to apply the preferences to (no ownership).
QList<DocumentView*>& views() {
    static QList<DocumentView*> list;
    return list;
}

prefs::Editor& currentPreferences() {
    static prefs::Editor editor = prefs::read();
    return editor;
}

// The font documents use before zoom: the system's fixed-width font at its own size.
QFont documentFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
} // namespace

DocumentView::DocumentView(Form1& form) : QObject(&form), rtb_(*form.RTB1), font_(documentFont()) {
    setObjectName(QStringLiteral("DocumentView"));
    views().append(this);
    rtb_.setMarginType(0, QsciScintilla::NumberMargin);
    rtb_.setMarginLineNumbers(0, true);
    rtb_.setPlainLook(font_, rtb_.color(), rtb_.paper());
    rtb_.SendScintilla(Sci::SCI_INDICSETSTYLE, kTagIndicator, Sci::INDIC_ROUNDBOX);
    rtb_.SendScintilla(Sci::SCI_INDICSETALPHA, kTagIndicator, 70);
    rtb_.SendScintilla(Sci::SCI_INDICSETOUTLINEALPHA, kTagIndicator, 160);
    rtb_.SendScintilla(Sci::SCI_INDICSETUNDER, kTagIndicator, 1);
    for (int k = 0; k < kEmbeddedKinds; ++k)
        rtb_.SendScintilla(Sci::SCI_INDICSETSTYLE, kEmbeddedIndicator + k, Sci::INDIC_TEXTFORE);
    applyPreferences();
    applyTheme();

    // The control's text may already hold something: count it once.
    recount();

    embeddedTimer_.setSingleShot(true);
    embeddedTimer_.setInterval(40);
    connect(&embeddedTimer_, &QTimer::timeout, this, &DocumentView::colourEmbedded);
    rtb_.installEventFilter(this);
    connect(&form, &Form1::fileAssigned, this, &DocumentView::onFileAssigned);
    connect(&rtb_, &RichTextBox::Change, this, &DocumentView::onChange);
    connect(&rtb_, &RichTextBox::zoomRequested, this, [](int steps) {
        prefs::Editor p = preferences();
        p.zoom = std::clamp(p.zoom + steps, prefs::kZoomMin, prefs::kZoomMax);
        setPreferences(p);
    });
    connect(&rtb_, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int modificationType, const char*, int length, int, int, int, int, int, int) {
                const RichTextBox::Span at = rtb_.noticeSpan(position, length);
                onModified(at.position, modificationType, at.length);
            });
    connect(&rtb_, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (Sci::SC_UPDATE_CONTENT | Sci::SC_UPDATE_SELECTION)) updateMatches();
        if (updated & Sci::SC_UPDATE_SELECTION) revealCaret();
        // Scrolling shows new text at once; typing moves the colours with the text, and they are
        // laid anew once the keys pause, so that typing never waits for them.
        if (updated & (Sci::SC_UPDATE_V_SCROLL | Sci::SC_UPDATE_H_SCROLL)) colourEmbedded();
        else if ((updated & Sci::SC_UPDATE_CONTENT) && embeddedStale_ && lexer_) embeddedTimer_.start();
    });
    connect(&rtb_, &QsciScintillaBase::SCN_CHARADDED, this, &DocumentView::keepIndent);
}

DocumentView::~DocumentView() { views().removeAll(this); }

DocumentView* DocumentView::of(const Form1* form) { return form ? form->view() : nullptr; }

// ---- Preferences

prefs::Editor DocumentView::preferences() { return currentPreferences(); }

void DocumentView::setPreferences(const prefs::Editor& editor) {
    if (editor == currentPreferences()) return;
    currentPreferences() = editor;
    prefs::write(editor);
    for (DocumentView* view : views()) view->applyPreferences();
}

void DocumentView::applyPreferences() {
    const prefs::Editor& p = currentPreferences();
    rtb_.setTabWidth(p.tabWidth);
    rtb_.setIndentationWidth(0);   // one step of indentation is a tab's width
    rtb_.setIndentationsUseTabs(!p.indentWithSpaces);
    if (rtb_.SendScintilla(Sci::SCI_GETZOOM) != p.zoom) {
        rtb_.SendScintilla(Sci::SCI_SETZOOM, p.zoom);
        marginDigits_ = 0;
        updateMarginWidth();
    }
    applyFolding();
    emit settingsChanged();
}

// ---- Colouring and colours

void DocumentView::onFileAssigned(const QString& path) {
    kind_ = syntax::kindForPath(path);
    // Open and a drop assign the file before they read it: the file's size tells then. The lexer
    // goes on while the control is still empty and so costs nothing; the size is looked at again
    // once the text is in.
    qint64 size = rtb_.byteLength();
    if (size == 0) size = QFileInfo(path).size();
    tooLarge_ = size > syntax::colouringLimit();
    applyColouring();
}

void DocumentView::setSyntaxKind(syntax::Kind kind) {
    kind_ = kind;
    tooLarge_ = rtb_.byteLength() > syntax::colouringLimit();
    applyColouring();
}

void DocumentView::applyColouring() {
    const syntax::Kind wanted = tooLarge_ ? syntax::Kind::Plain : kind_;
    if (wanted == applied_) return;
    // Nothing stays folded away under another colouring (or none).
    unfoldAll();
    QsciLexer* old = lexer_;
    lexer_ = syntax::makeLexer(wanted, font_, this);
    rtb_.setLexer(lexer_);
    delete old;
    applied_ = wanted;
    if (lexer_ && wanted == syntax::Kind::Html) {
        // Script between <% and %> is VBScript unless the page says otherwise, as in ASP.
        rtb_.SendScintilla(Sci::SCI_SETPROPERTY, "asp.default.language", "2");
    }
    // A large page is coloured from near what is shown: the HTML colouring starts afresh on a
    // line outside any tag, script or comment.
    if (lexer_ && (wanted == syntax::Kind::Html || wanted == syntax::Kind::Php || wanted == syntax::Kind::Xml))
        // The rule holds the control that keeps it, not the view.
        rtb_.setRestartRule([rtb = &rtb_](qint64 near, qint64 earliest) {
            const qint64 start = std::max(earliest, near - documents::kRestartLookBack);
            if (near <= start) return qint64(-1);
            return documents::restartPoint(QByteArrayView(rtb->rangePointer(start, near - start), near - start), start);
        });
    else
        rtb_.setRestartRule({});
    applyFolding();
    applyTheme();
    embeddedStale_ = true;
    colourEmbedded();
    emit settingsChanged();
}

// ---- Folding

void DocumentView::applyFolding() {
    const bool on = lexer_ && syntax::folds(applied_) && currentPreferences().foldMargin;
    if (lexer_) {
        // Without the margin no fold levels: nothing shows them, and working them out costs. The
        // same value again changes nothing and colours nothing again.
        rtb_.SendScintilla(Sci::SCI_SETPROPERTY, "fold", on ? "1" : "0");
        // Elements fold as well as script blocks; a block ends at its last line of text, not at
        // the blank lines after it.
        rtb_.SendScintilla(Sci::SCI_SETPROPERTY, "fold.html", "1");
        rtb_.SendScintilla(Sci::SCI_SETPROPERTY, "fold.compact", "0");
    }
    if (on == folding_) return;
    if (!on) unfoldAll();
    rtb_.setFolding(on ? QsciScintilla::BoxedTreeFoldStyle : QsciScintilla::NoFoldStyle, kFoldMargin);
    folding_ = on;
    applyTheme();
}

void DocumentView::foldAll() {
    if (!folding_) return;
    WaitCursor wait;
    // Fold levels are known for the lines coloured so far: colour them all first.
    rtb_.colourAll();
    const long lines = rtb_.SendScintilla(Sci::SCI_GETLINECOUNT);
    for (long line = 0; line < lines; ++line) {
        const long level = rtb_.SendScintilla(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line));
        if ((level & Sci::SC_FOLDLEVELHEADERFLAG) && rtb_.SendScintilla(Sci::SCI_GETFOLDEXPANDED, static_cast<unsigned long>(line)))
            rtb_.SendScintilla(Sci::SCI_FOLDLINE, static_cast<unsigned long>(line), static_cast<long>(Sci::SC_FOLDACTION_CONTRACT));
    }
    // The caret goes up to the line that stands for its block, so that it stays in sight.
    long line = rtb_.SendScintilla(Sci::SCI_LINEFROMPOSITION, rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS));
    if (rtb_.SendScintilla(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line))) return;
    while (line > 0 && !rtb_.SendScintilla(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)))
        line = std::max(0L, static_cast<long>(rtb_.SendScintilla(Sci::SCI_GETFOLDPARENT, static_cast<unsigned long>(line))));
    const long start = rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    rtb_.selectBytes(start, start);
    rtb_.showCaret();
}

void DocumentView::unfoldAll() {
    if (rtb_.folding() == QsciScintilla::NoFoldStyle) return;
    // Line by folded line: the control's own "expand all" colours the whole text first.
    for (long line = rtb_.SendScintilla(Sci::SCI_CONTRACTEDFOLDNEXT, 0UL); line >= 0;
         line = rtb_.SendScintilla(Sci::SCI_CONTRACTEDFOLDNEXT, static_cast<unsigned long>(line + 1)))
        rtb_.SendScintilla(Sci::SCI_SETFOLDEXPANDED, static_cast<unsigned long>(line), 1L);
    rtb_.SendScintilla(Sci::SCI_SHOWLINES, 0UL, rtb_.SendScintilla(Sci::SCI_GETLINECOUNT) - 1);
}

void DocumentView::revealCaret() {
    if (!folding_) return;
    const long line = rtb_.SendScintilla(Sci::SCI_LINEFROMPOSITION, rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS));
    if (!rtb_.SendScintilla(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)))
        rtb_.SendScintilla(Sci::SCI_ENSUREVISIBLEENFORCEPOLICY, static_cast<unsigned long>(line));
}

void DocumentView::applyTheme() {
    themeQueued_ = false;
    const theme::Colours c = theme::fromPalette(rtb_.palette());
    if (lexer_) {
        // The colouring's own colours are made for black text on white paper; styles that keep
        // those take the palette's text and paper.
        const QColor lexerText(Qt::black), lexerPaper(Qt::white);
        lexer_->setDefaultColor(lexerText);
        lexer_->setDefaultPaper(lexerPaper);
        QList<int> styles;
        QList<QColor> texts, papers;
        for (int style = 0; style <= Sci::STYLE_MAX; ++style) {
            if (lexer_->description(style).isEmpty()) continue;
            styles << style;
            texts << lexer_->defaultColor(style);
            papers << lexer_->defaultPaper(style);
        }
        lexer_->setDefaultColor(c.text);
        lexer_->setDefaultPaper(c.paper);
        for (qsizetype i = 0; i < styles.size(); ++i) {
            const QColor paper = theme::stylePaper(papers[i], lexerPaper, c);
            lexer_->setPaper(paper, styles[i]);
            lexer_->setColor(theme::styleText(texts[i], lexerText, paper, c), styles[i]);
        }
        lexer_->setPaper(c.paper, Sci::STYLE_DEFAULT);
        lexer_->setColor(c.text, Sci::STYLE_DEFAULT);
    } else {
        rtb_.setPlainLook(font_, c.text, c.paper);
    }
    rtb_.setMarginsFont(font_);
    rtb_.setMarginsForegroundColor(c.marginText);
    rtb_.setMarginsBackgroundColor(c.marginPaper);
    rtb_.setSelectionForegroundColor(c.selectionText);
    rtb_.setSelectionBackgroundColor(c.selectionPaper);
    rtb_.setCaretForegroundColor(c.caret);
    rtb_.setMatchedBraceForegroundColor(c.matchText);
    rtb_.setMatchedBraceBackgroundColor(c.matchPaper);
    rtb_.setUnmatchedBraceForegroundColor(c.unmatchedText);
    rtb_.setUnmatchedBraceBackgroundColor(c.paper);
    rtb_.SendScintilla(Sci::SCI_INDICSETFORE, kTagIndicator, c.tagMatch);
    {
        // CSS and JavaScript inside a page take the colours of a .css and a .js file.
        static const std::array<QColor, kEmbeddedKinds> colours = [] {
            QsciLexerCSS css;
            QsciLexerJavaScript js;
            return std::array<QColor, kEmbeddedKinds>{
                css.defaultColor(QsciLexerCSS::Comment), css.defaultColor(QsciLexerCSS::Tag),
                css.defaultColor(QsciLexerCSS::CSS1Property), css.defaultColor(QsciLexerCSS::Value),
                css.defaultColor(QsciLexerCSS::AtRule), css.defaultColor(QsciLexerCSS::DoubleQuotedString),
                js.defaultColor(QsciLexerJavaScript::Number), js.defaultColor(QsciLexerJavaScript::Keyword)};
        }();
        for (int k = 0; k < kEmbeddedKinds; ++k)
            rtb_.SendScintilla(Sci::SCI_INDICSETFORE, kEmbeddedIndicator + k,
                               theme::styleText(colours[size_t(k)], QColor(Qt::black), c.paper, c));
    }
    if (folding_) theme::colourFoldMarks(rtb_, c);
    marginDigits_ = 0;
    updateMarginWidth();
}

bool DocumentView::eventFilter(QObject* watched, QEvent* e) {
    if (watched != &rtb_) return QObject::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        // After the control has taken the new palette in.
        if (!themeQueued_) {
            themeQueued_ = true;
            QMetaObject::invokeMethod(this, &DocumentView::applyTheme, Qt::QueuedConnection);
        }
        break;
    case QEvent::KeyPress: {
        const auto* ke = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = ke->modifiers() & ~Qt::KeypadModifier;
        if (ke->key() == Qt::Key_Backtab && (mods & ~Qt::ShiftModifier) == Qt::NoModifier) {
            unindentLines();
            return true;
        }
        if (ke->key() == Qt::Key_Tab && mods == Qt::NoModifier) {
            const long s = rtb_.SendScintilla(Sci::SCI_GETSELECTIONSTART);
            const long end = rtb_.SendScintilla(Sci::SCI_GETSELECTIONEND);
            if (rtb_.SendScintilla(Sci::SCI_LINEFROMPOSITION, s) != rtb_.SendScintilla(Sci::SCI_LINEFROMPOSITION, end)) {
                indentLines();
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, e);
}

// ---- Indentation

namespace {
// The lines a block command works on: those the selection touches, without the last when the
// selection ends at its very start.
struct Block {
    long first = 0, last = 0;
};
Block selectedLines(RichTextBox& rtb) {
    const long s = rtb.SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long e = rtb.SendScintilla(Sci::SCI_GETSELECTIONEND);
    Block b{static_cast<long>(rtb.SendScintilla(Sci::SCI_LINEFROMPOSITION, s)),
            static_cast<long>(rtb.SendScintilla(Sci::SCI_LINEFROMPOSITION, e))};
    if (b.last > b.first && rtb.SendScintilla(Sci::SCI_POSITIONFROMLINE, b.last) == e) --b.last;
    return b;
}

// Puts the selection over the whole lines of the block, keeping its direction.
void selectBlock(RichTextBox& rtb, const Block& b, bool caretFirst) {
    const long from = rtb.SendScintilla(Sci::SCI_POSITIONFROMLINE, b.first);
    const long to = rtb.SendScintilla(Sci::SCI_POSITIONFROMLINE, b.last + 1);
    const long end = to > rtb.SendScintilla(Sci::SCI_GETLINEENDPOSITION, b.last) ? to
                                                                                  : rtb.SendScintilla(Sci::SCI_GETLINEENDPOSITION, b.last);
    if (caretFirst) rtb.selectBytes(end, from);
    else rtb.selectBytes(from, end);
}
} // namespace

void DocumentView::indentLines() {
    const prefs::Editor& p = currentPreferences();
    const QByteArray step = indentation::step(p.indentWithSpaces, p.tabWidth);
    const Block b = selectedLines(rtb_);
    const bool caretFirst = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS) < rtb_.SendScintilla(Sci::SCI_GETANCHOR);
    rtb_.editInOneStep([&] {
        for (long line = b.first; line <= b.last; ++line) {
            const long start = rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
            if (rtb_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line) == start) continue;   // empty lines stay empty
            rtb_.replaceBytes(start, start, step);
        }
    });
    selectBlock(rtb_, b, caretFirst);
}

void DocumentView::unindentLines() {
    const int width = currentPreferences().tabWidth;
    const Block b = selectedLines(rtb_);
    const bool hadSelection = rtb_.hasSelection();
    const bool caretFirst = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS) < rtb_.SendScintilla(Sci::SCI_GETANCHOR);
    rtb_.editInOneStep([&] {
        for (long line = b.first; line <= b.last; ++line) {
            const long start = rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
            const long length = rtb_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line) - start;
            const qint64 cut = indentation::unindentStep(rtb_.rangePointer(start, std::min<long>(length, 64)),
                                                         std::min<long>(length, 64), width);
            if (cut > 0) rtb_.replaceBytes(start, start + cut, {});
        }
    });
    if (hadSelection) selectBlock(rtb_, b, caretFirst);
}

void DocumentView::keepIndent(int ch) {
    // Enter types CR LF (or the line end of the text's own kind): at its last character the caret
    // stands at the start of the new line.
    if (!autoIndent_ || (ch != '\n' && ch != '\r')) return;
    const long caret = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long line = rtb_.SendScintilla(Sci::SCI_LINEFROMPOSITION, caret);
    if (line == 0 || rtb_.hasSelection() || rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, line) != caret) return;
    const long prev = rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, line - 1);
    const long prevLength = std::min<long>(rtb_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line - 1) - prev, 4096);
    const qint64 blanks = indentation::leadingBlanks(rtb_.rangePointer(prev, prevLength), prevLength);
    if (blanks == 0) return;
    const QByteArray indent = rtb_.bytes(prev, blanks);
    rtb_.SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(indent.size()), indent.constData());
}

// ---- Line ends

void DocumentView::convertLineEnds(lineends::Kind to) {
    lineends::setEnterKind(rtb_, to);
    const qint64 length = rtb_.byteLength();
    const lineends::Kind now = lineends::kindOf(counts_);
    if (length == 0 || now == lineends::Kind::None || now == to) return;
    // The caret and the view keep their line; the caret its place in it.
    const long caret = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long line = rtb_.SendScintilla(Sci::SCI_LINEFROMPOSITION, caret);
    const long column = caret - rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long firstVisible = rtb_.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    // One replacement of the whole text: one undo step, and one change for the journal and the
    // counts instead of one per line.
    const QByteArray text = lineends::converted(QByteArrayView(rtb_.rangePointer(0, length), length), to);
    rtb_.editInOneStep([&] { rtb_.replaceBytes(0, length, text); });
    const long start = rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long at = std::min<long>(start + column, rtb_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line));
    rtb_.selectBytes(at, at);
    rtb_.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, firstVisible);
}

// ---- Word wrap

bool DocumentView::setWordWrap(bool on) {
    if (on && rtb_.hasLineLongerThan(kMaxWrapLineBytes)) return false;
    wrap_ = on;
    rtb_.setWrapMode(on ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
    return true;
}

// ---- Matching

void DocumentView::colourEmbedded() {
    const bool page = lexer_ && (applied_ == syntax::Kind::Html || applied_ == syntax::Kind::Php);
    qint64 from = 0, to = 0;
    if (page) {
        // What is shown, and at most kMostShown of it (a minified page's line may be megabytes).
        const long first = rtb_.SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, rtb_.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
        const long lines = rtb_.SendScintilla(Sci::SCI_LINESONSCREEN) + 1;
        const long last = rtb_.SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE,
                                             rtb_.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE) + lines);
        from = rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
        to = rtb_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last));
        if (to - from > embedded::kMostShown) {
            // Of a long line, the part around what the window shows across.
            const qint64 x = rtb_.SendScintilla(Sci::SCI_POSITIONFROMPOINT, 0UL, 0L);
            from = std::max(from, x - embedded::kMostShown / 4);
            to = std::min(to, from + embedded::kMostShown);
        }
    }
    // Nothing to do when neither the text nor what is shown changed (laying indicators anew
    // redraws the window, and comes back here).
    if (!embeddedStale_ && from == embeddedFrom_ && to == embeddedTo_) return;
    embeddedStale_ = false;
    std::vector<embedded::Span> spans;
    if (page && to > from) {
        const qint64 start = std::max<qint64>(0, from - embedded::kLookBack);
        const QByteArray text = rtb_.bytes(start, to - start);
        spans = embedded::pageSpans(text, start, from, to);
        if (from == embeddedFrom_ && to == embeddedTo_ && spans == embeddedSpans_) return;
    }
    // Off what was coloured before.
    for (int k = 0; k < kEmbeddedKinds && embeddedTo_ > embeddedFrom_; ++k) {
        rtb_.SendScintilla(Sci::SCI_SETINDICATORCURRENT, kEmbeddedIndicator + k);
        rtb_.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(embeddedFrom_),
                           static_cast<long>(std::min(embeddedTo_, rtb_.byteLength()) - embeddedFrom_));
    }
    embeddedFrom_ = embeddedTo_ = 0;
    embeddedSpans_.clear();
    if (!page || to <= from) return;
    for (const embedded::Span& span : spans) {
        rtb_.SendScintilla(Sci::SCI_SETINDICATORCURRENT, kEmbeddedIndicator + int(span.kind));
        const qint64 a = std::max(span.from, from), b = std::min(span.to, to);
        rtb_.SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(a), static_cast<long>(b - a));
    }
    embeddedFrom_ = from;
    embeddedTo_ = to;
    embeddedSpans_ = std::move(spans);
}

void DocumentView::setMatching(bool on) {
    matching_ = on;
    updateMatches();
}

void DocumentView::updateMatches() {
    qint64 brace[2] = {-1, -1};
    qint64 tag[4] = {-1, 0, -1, 0};
    const long caret = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS);
    if (matching_ && !rtb_.hasSelection()) {
        const qint64 length = rtb_.byteLength();
        const auto span = [&](qint64 reach) {
            const qint64 from = std::max<qint64>(0, caret - reach);
            const qint64 n = std::min(length, caret + reach) - from;
            return matching::Span{rtb_.rangePointer(from, n), n, from};
        };
        const long line = rtb_.SendScintilla(Sci::SCI_LINEFROMPOSITION, caret);
        const qint64 lineStart = rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
        const qint64 lineEnd = rtb_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
        matching::Pair pair = matching::braceAt(span(kNearReach), caret, lineStart, lineEnd);
        if (pair.at >= 0 && pair.partner < 0) pair = matching::braceAt(span(kFarReach), caret, lineStart, lineEnd);
        brace[0] = pair.at;
        brace[1] = pair.partner;
        if (applied_ == syntax::Kind::Html || applied_ == syntax::Kind::Php || applied_ == syntax::Kind::Xml) {
            const matching::Span near = span(kNearReach);
            matching::TagPair t = matching::tagAt(near, caret);
            // Further only for a tag at the caret: reading 4 MB around a caret in text would move
            // the text's gap that far at every key typed before more text.
            if (t.name < 0 && inTag(near, caret)) t = matching::tagAt(span(kFarReach), caret);
            tag[0] = t.name;
            tag[1] = t.nameLength;
            tag[2] = t.partner;
            tag[3] = t.partnerLength;
        }
    }
    // Only a change is shown: showing it changes the view, which comes back here.
    if (!std::equal(brace, brace + 2, braceShown_)) {
        std::copy(brace, brace + 2, braceShown_);
        if (brace[0] >= 0 && brace[1] < 0) rtb_.SendScintilla(Sci::SCI_BRACEBADLIGHT, static_cast<unsigned long>(brace[0]));
        else rtb_.SendScintilla(Sci::SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(brace[0]), static_cast<long>(brace[1]));
    }
    if (!std::equal(tag, tag + 4, tagShown_)) {
        rtb_.SendScintilla(Sci::SCI_SETINDICATORCURRENT, kTagIndicator);
        if (tagShown_[0] >= 0) {
            rtb_.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(tagShown_[0]), static_cast<long>(tagShown_[1]));
            rtb_.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(tagShown_[2]), static_cast<long>(tagShown_[3]));
        }
        std::copy(tag, tag + 4, tagShown_);
        if (tag[0] >= 0) {
            rtb_.SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(tag[0]), static_cast<long>(tag[1]));
            rtb_.SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(tag[2]), static_cast<long>(tag[3]));
        }
    }
}

// ---- Text changes, margin and line ends

void DocumentView::onChange() {
    // The control raises Change after the change. Without a notice before it, the whole text was
    // replaced with the notices off (a load): it is counted afresh, once, by scanning it.
    if (pending_.kind == Pending::None) recount();
    else finishPending();
    if (wrap_) {
        // A line grown past the wrapping limit turns wrapping off.
        const long line = rtb_.SendScintilla(Sci::SCI_LINEFROMPOSITION, rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS));
        if (rtb_.SendScintilla(Sci::SCI_LINELENGTH, line) > kMaxWrapLineBytes) setWordWrap(false);
    }
    if (!lexer_ || sizeCheckQueued_ || rtb_.byteLength() <= syntax::colouringLimit()) return;
    // Grown past the limit: colouring goes off, after the control has finished the change it is
    // reporting. It comes back only with the next file assigned to the window, so that editing
    // around the limit never re-colours the whole document.
    sizeCheckQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            sizeCheckQueued_ = false;
            if (rtb_.byteLength() <= syntax::colouringLimit()) return;
            tooLarge_ = true;
            applyColouring();
        },
        Qt::QueuedConnection);
}

void DocumentView::updateMarginWidth() {
    // Room for the largest line number, at least three digits; recomputed only when the number
    // of digits changes, so the margin costs nothing per keystroke whatever the document's size.
    const int digits = std::max(3, digitsOf(rtb_.SendScintilla(Sci::SCI_GETLINECOUNT)));
    if (digits == marginDigits_) return;
    marginDigits_ = digits;
    const QByteArray sample(digits, '9');
    const long textWidth =
        rtb_.SendScintilla(Sci::SCI_TEXTWIDTH, static_cast<unsigned long>(Sci::STYLE_LINENUMBER), sample.constData());
    rtb_.setMarginWidth(0, static_cast<int>(textWidth) + 10);
}

int DocumentView::lineNumberMarginWidth() const { return rtb_.marginWidth(0); }

lineends::Counts DocumentView::countRange(qint64 from, qint64 to) const {
    const qint64 length = rtb_.byteLength();
    from = std::max<qint64>(from, 0);
    to = std::min(to, length);
    if (from >= to) return {};
    const auto charAt = [this](qint64 pos) {
        return static_cast<char>(rtb_.SendScintilla(Sci::SCI_GETCHARAT, static_cast<unsigned long>(pos)));
    };
    const char before = from > 0 ? charAt(from - 1) : 0;
    const char after = to < length ? charAt(to) : 0;
    return lineends::count(rtb_.rangePointer(from, to - from), to - from, before, after);
}

void DocumentView::onModified(qint64 position, int modificationType, qint64 length) {
    // A change can only alter the line ends that start within one byte of it (a CR LF spans two
    // bytes): those are taken out before the change and counted again after it. The notice after a
    // change does not always come (the control leaves it out while it handles a key or a program
    // edit): the next notice before a change, or the control's Change, completes the count then.
    const qint64 p = position;
    if (modificationType & (Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE)) embeddedStale_ = true;
    if (modificationType & (Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE)) {
        finishPending();
        if (modificationType & Sci::SC_MOD_BEFOREINSERT) {
            counts_ -= countRange(p - 1, p + 1);
            pending_ = {Pending::Insert, p, length};
        } else {
            if (p == 0 && length >= rtb_.byteLength()) counts_ = {};   // everything goes
            else counts_ -= countRange(p - 1, p + length + 1);
            pending_ = {Pending::Delete, p, length};
        }
    }
    if (modificationType & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT)) finishPending();
}

void DocumentView::finishPending() {
    if (pending_.kind == Pending::None) return;
    const Pending done = pending_;
    pending_ = {};
    if (done.kind == Pending::Insert) counts_ += countRange(done.position - 1, done.position + done.length + 1);
    else counts_ += countRange(done.position - 1, done.position + 1);
    updateMarginWidth();
    emit textChanged();
}

void DocumentView::recount() {
    pending_ = {};
    counts_ = countRange(0, rtb_.byteLength());
    // A text read in (opened, reloaded, recovered) sets what Enter types: its most frequent line
    // end. A text without any keeps the line end Enter typed before (CR LF in a new document).
    const lineends::Kind most = lineends::mostFrequent(counts_);
    if (most != lineends::Kind::None) lineends::setEnterKind(rtb_, most);
    // Read in without notices: the CSS and JavaScript colours of the old text are laid anew.
    embeddedStale_ = true;
    if (lexer_) embeddedTimer_.start();
    updateMarginWidth();
    emit textChanged();
}

// Large texts are loaded without a style buffer, so colouring must be off for them.
static_assert(syntax::kDefaultColouringLimit <= RichTextBox::kLargeTextBytes);
