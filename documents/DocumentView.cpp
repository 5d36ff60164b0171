#include "documents/DocumentView.h"

#include "documents/Form1.h"
#include "platform/RichTextBox.h"

#include <QColor>
#include <QFileInfo>
#include <QMetaObject>
#include <Qsci/qscilexer.h>

#include <algorithm>

namespace {
int digitsOf(long n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}
} // namespace

DocumentView::DocumentView(Form1& form) : QObject(&form), rtb_(*form.RTB1), font_(form.RTB1->font()) {
    setObjectName(QStringLiteral("DocumentView"));
    rtb_.setMarginType(0, QsciScintilla::NumberMargin);
    rtb_.setMarginLineNumbers(0, true);
    styleMargin();

    // The control's text may already hold something: count it once.
    recount();

    connect(&form, &Form1::fileAssigned, this, &DocumentView::onFileAssigned);
    connect(&rtb_, &RichTextBox::Change, this, &DocumentView::onChange);
    connect(&rtb_, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int modificationType, const char*, int length, int, int, int, int, int, int) {
                onModified(position, modificationType, length);
            });
}

DocumentView::~DocumentView() = default;

DocumentView* DocumentView::of(const Form1* form) {
    return form ? form->findChild<DocumentView*>(QStringLiteral("DocumentView"), Qt::FindDirectChildrenOnly)
                : nullptr;
}

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

void DocumentView::onChange() {
    // The control raises Change after the change. Without a notice before it, the whole text was
    // replaced with the notices off (a load): it is counted afresh, once, by scanning it.
    if (pending_.kind == Pending::None) recount();
    else finishPending();
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

void DocumentView::applyColouring() {
    const syntax::Kind wanted = tooLarge_ ? syntax::Kind::Plain : kind_;
    if (wanted == applied_) return;
    QsciLexer* old = lexer_;
    lexer_ = syntax::makeLexer(wanted, font_, this);
    rtb_.setLexer(lexer_);
    delete old;
    applied_ = wanted;
    if (!lexer_) {
        // Taking the lexer away resets every style: the document's own font comes back, and the
        // text already coloured goes back to the one plain style.
        rtb_.setFont(font_);
        rtb_.SendScintilla(QsciScintillaBase::SCI_CLEARDOCUMENTSTYLE);
    } else if (wanted == syntax::Kind::Html) {
        // Script between <% and %> is VBScript unless the page says otherwise, as in ASP.
        rtb_.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "asp.default.language", "2");
    }
    styleMargin();
}

void DocumentView::styleMargin() {
    rtb_.setMarginsFont(font_);
    rtb_.setMarginsForegroundColor(QColor(0x80, 0x80, 0x80));
    rtb_.setMarginsBackgroundColor(QColor(0xf0, 0xf0, 0xf0));
    marginDigits_ = 0;
    updateMarginWidth();
}

void DocumentView::updateMarginWidth() {
    // Room for the largest line number, at least three digits; recomputed only when the number
    // of digits changes, so the margin costs nothing per keystroke whatever the document's size.
    const int digits = std::max(3, digitsOf(rtb_.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)));
    if (digits == marginDigits_) return;
    marginDigits_ = digits;
    const QByteArray sample(digits, '9');
    const long textWidth = rtb_.SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                              static_cast<unsigned long>(QsciScintillaBase::STYLE_LINENUMBER),
                                              sample.constData());
    rtb_.setMarginWidth(0, static_cast<int>(textWidth) + 10);
}

int DocumentView::lineNumberMarginWidth() const { return rtb_.marginWidth(0); }

lineends::Counts DocumentView::countRange(qint64 from, qint64 to) const {
    const qint64 length = rtb_.byteLength();
    from = std::max<qint64>(from, 0);
    to = std::min(to, length);
    if (from >= to) return {};
    const auto charAt = [this](qint64 pos) {
        return static_cast<char>(rtb_.SendScintilla(QsciScintillaBase::SCI_GETCHARAT, static_cast<unsigned long>(pos)));
    };
    const char before = from > 0 ? charAt(from - 1) : 0;
    const char after = to < length ? charAt(to) : 0;
    return lineends::count(rtb_.rangePointer(from, to - from), to - from, before, after);
}

void DocumentView::onModified(int position, int modificationType, int length) {
    // A change can only alter the line ends that start within one byte of it (a CR LF spans two
    // bytes): those are taken out before the change and counted again after it. The notice after a
    // change does not always come (the control leaves it out while it handles a key or a program
    // edit): the next notice before a change, or the control's Change, completes the count then.
    const qint64 p = position;
    if (modificationType & (QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE)) {
        finishPending();
        if (modificationType & QsciScintillaBase::SC_MOD_BEFOREINSERT) {
            counts_ -= countRange(p - 1, p + 1);
            pending_ = {Pending::Insert, p, length};
        } else {
            if (p == 0 && length >= rtb_.byteLength()) counts_ = {};   // everything goes
            else counts_ -= countRange(p - 1, p + length + 1);
            pending_ = {Pending::Delete, p, length};
        }
    }
    if (modificationType & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT))
        finishPending();
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
    updateMarginWidth();
    emit textChanged();
}

// Large texts are loaded without a style buffer, so colouring must be off for them.
static_assert(syntax::kDefaultColouringLimit <= RichTextBox::kLargeTextBytes);
