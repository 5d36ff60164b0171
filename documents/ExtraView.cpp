#include "documents/ExtraView.h"

#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "documents/Theme.h"
#include "platform/RichTextBox.h"

#include <QEvent>
#include <QVBoxLayout>

namespace {
using Sci = QsciScintillaBase;

long send(RichTextBox& rtb, unsigned int msg, unsigned long w = 0, long l = 0) { return rtb.SendScintilla(msg, w, l); }
} // namespace

ExtraView::ExtraView(Form1& form) : form_(&form) {
    rtb_ = new RichTextBox(this);
    rtb_->setObjectName(QStringLiteral("RTB1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rtb_);
    setFocusProxy(rtb_);
    attach();
    copyLook();
    takePlaceOf(*form.RTB1);
    connect(rtb_, &Sci::SCN_UPDATEUI, this, [this](int updated) {
        if ((updated & Sci::SC_UPDATE_SELECTION) && rtb_->hasFocus()) pushSelection();
    });
    // A large load replaces the window's document with a new one: the view follows it.
    connect(form.RTB1, &RichTextBox::Change, this, &ExtraView::attach);
    // The right-click menu is the window's.
    connect(rtb_, &RichTextBox::MouseDown, this, [this](int button, int, int x, int y) {
        if (button == 2 && form_) emit form_->rightClicked(rtb_->mapToGlobal(QPoint(x, y)));
    });
    connect(rtb_, &RichTextBox::menuKey, this, [this](const QPoint& at) {
        if (form_) emit form_->rightClicked(at);
    });
    rtb_->installEventFilter(this);
}

void ExtraView::attach() {
    if (!form_) return;
    const long doc = send(*form_->RTB1, Sci::SCI_GETDOCPOINTER);
    if (send(*rtb_, Sci::SCI_GETDOCPOINTER) == doc) return;
    send(*rtb_, Sci::SCI_SETDOCPOINTER, 0, doc);
    copyLook();
}

bool ExtraView::eventFilter(QObject* watched, QEvent* e) {
    // Never a key into a document that is no longer the window's.
    if (watched == rtb_ && (e->type() == QEvent::KeyPress || e->type() == QEvent::FocusIn)) attach();
    return QWidget::eventFilter(watched, e);
}

void ExtraView::pushSelection() {
    if (!form_) return;
    RichTextBox& to = *form_->RTB1;
    const long anchor = send(*rtb_, Sci::SCI_GETANCHOR), caret = send(*rtb_, Sci::SCI_GETCURRENTPOS);
    // Unlike SCI_SETSEL these two leave the window's scroll position alone.
    if (send(to, Sci::SCI_GETANCHOR) != anchor) send(to, Sci::SCI_SETANCHOR, static_cast<unsigned long>(anchor));
    if (send(to, Sci::SCI_GETCURRENTPOS) != caret) send(to, Sci::SCI_SETCURRENTPOS, static_cast<unsigned long>(caret));
}

void ExtraView::pullSelection() {
    if (!form_) return;
    RichTextBox& from = *form_->RTB1;
    const long anchor = send(from, Sci::SCI_GETANCHOR), caret = send(from, Sci::SCI_GETCURRENTPOS);
    if (send(*rtb_, Sci::SCI_GETANCHOR) == anchor && send(*rtb_, Sci::SCI_GETCURRENTPOS) == caret) return;
    send(*rtb_, Sci::SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
}

void ExtraView::takePlaceOf(RichTextBox& from) {
    send(*rtb_, Sci::SCI_SETSEL, static_cast<unsigned long>(send(from, Sci::SCI_GETANCHOR)),
         send(from, Sci::SCI_GETCURRENTPOS));
    send(*rtb_, Sci::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(send(from, Sci::SCI_GETFIRSTVISIBLELINE)));
    send(*rtb_, Sci::SCI_SETXOFFSET, static_cast<unsigned long>(send(from, Sci::SCI_GETXOFFSET)));
}

void ExtraView::copyLook() {
    if (!form_) return;
    RichTextBox& from = *form_->RTB1;
    // The style bytes are the document's; what each style looks like is each view's.
    send(*rtb_, Sci::SCI_STYLERESETDEFAULT);
    char font[256];
    for (unsigned long s = 0; s <= Sci::STYLE_MAX; ++s) {
        for (const auto& [get, set] : {std::pair{Sci::SCI_STYLEGETFORE, Sci::SCI_STYLESETFORE},
                                       std::pair{Sci::SCI_STYLEGETBACK, Sci::SCI_STYLESETBACK},
                                       std::pair{Sci::SCI_STYLEGETSIZEFRACTIONAL, Sci::SCI_STYLESETSIZEFRACTIONAL},
                                       std::pair{Sci::SCI_STYLEGETWEIGHT, Sci::SCI_STYLESETWEIGHT},
                                       std::pair{Sci::SCI_STYLEGETITALIC, Sci::SCI_STYLESETITALIC},
                                       std::pair{Sci::SCI_STYLEGETUNDERLINE, Sci::SCI_STYLESETUNDERLINE},
                                       std::pair{Sci::SCI_STYLEGETEOLFILLED, Sci::SCI_STYLESETEOLFILLED}})
            send(*rtb_, set, s, send(from, get, s));
        font[0] = '\0';
        if (from.SendScintilla(Sci::SCI_STYLEGETFONT, s, font) < long(sizeof font) && font[0])
            rtb_->SendScintilla(Sci::SCI_STYLESETFONT, s, font);
    }
    for (const auto& [get, set] : {std::pair{Sci::SCI_GETZOOM, Sci::SCI_SETZOOM},
                                   std::pair{Sci::SCI_GETTABWIDTH, Sci::SCI_SETTABWIDTH},
                                   std::pair{Sci::SCI_GETUSETABS, Sci::SCI_SETUSETABS},
                                   std::pair{Sci::SCI_GETWRAPMODE, Sci::SCI_SETWRAPMODE}})
        send(*rtb_, set, static_cast<unsigned long>(send(from, get)));
    // The marks on the text (squiggles of problems and misspellings, the colours of CSS and
    // JavaScript inside a page) are the document's too; what each looks like is each view's.
    constexpr unsigned long kFirstIndicator = 8, kLastIndicator = 35;   // the container's
    for (unsigned long i = kFirstIndicator; i <= kLastIndicator; ++i) {
        for (const auto& [get, set] : {std::pair{Sci::SCI_INDICGETSTYLE, Sci::SCI_INDICSETSTYLE},
                                       std::pair{Sci::SCI_INDICGETFORE, Sci::SCI_INDICSETFORE},
                                       std::pair{Sci::SCI_INDICGETALPHA, Sci::SCI_INDICSETALPHA},
                                       std::pair{Sci::SCI_INDICGETOUTLINEALPHA, Sci::SCI_INDICSETOUTLINEALPHA},
                                       std::pair{Sci::SCI_INDICGETUNDER, Sci::SCI_INDICSETUNDER},
                                       std::pair{Sci::SCI_INDICGETFLAGS, Sci::SCI_INDICSETFLAGS}})
            send(*rtb_, set, i, send(from, get, i));
    }
    // Line numbers, as wide as the window's.
    send(*rtb_, Sci::SCI_SETMARGINTYPEN, 0, send(from, Sci::SCI_GETMARGINTYPEN, 0));
    send(*rtb_, Sci::SCI_SETMARGINWIDTHN, 0, send(from, Sci::SCI_GETMARGINWIDTHN, 0));
    for (unsigned long m = 1; m < 5; ++m) send(*rtb_, Sci::SCI_SETMARGINWIDTHN, m, 0);
    const theme::Colours c = theme::fromPalette(from.palette());
    // The fold marks when the window has them: the fold levels are the document's, what is folded
    // is each view's own.
    rtb_->setFolding(from.folding(), DocumentView::kFoldMargin);
    if (from.folding() != QsciScintilla::NoFoldStyle) theme::colourFoldMarks(*rtb_, c);
    rtb_->setMarginsForegroundColor(c.marginText);
    rtb_->setMarginsBackgroundColor(c.marginPaper);
    rtb_->setSelectionForegroundColor(c.selectionText);
    rtb_->setSelectionBackgroundColor(c.selectionPaper);
    rtb_->setCaretForegroundColor(c.caret);
}

namespace documents {
Form1* documentWindowOf(QWidget* widget) {
    if (auto* form = qobject_cast<Form1*>(widget)) return form;
    if (auto* view = qobject_cast<ExtraView*>(widget)) return view->form();
    return nullptr;
}
} // namespace documents
