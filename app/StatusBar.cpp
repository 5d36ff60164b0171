#include "app/StatusBar.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "io/CodePage.h"
#include "platform/RichTextBox.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

FrameStatusBar::FrameStatusBar(QMdiArea& mdi, QStatusBar& statusBar, QObject* parent) : QObject(parent), mdi_(mdi) {
    setObjectName(QStringLiteral("FrameStatusBar"));
    QStatusBar* bar = &statusBar;
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const auto label = [bar](const char* name, int minChars) {
        auto* l = new QLabel(bar);
        l->setObjectName(QLatin1String(name));
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QLatin1Char('0')) * minChars);
        l->setContentsMargins(6, 0, 6, 0);
        bar->addPermanentWidget(l);
        return l;
    };
    lblChanged_ = label("lblChanged", 8);
    lblPosition_ = label("lblPosition", 18);
    lblLineEnds_ = label("lblLineEnds", 6);
    lblCodePage_ = label("lblCodePage", 12);
    // The window comes with the signal: it is also raised while the frame is being taken down,
    // when the frame itself must not be asked anything.
    connect(&mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        follow(sub ? qobject_cast<Form1*>(sub->widget()) : nullptr);
        scheduleRefresh();
    });
}

void FrameStatusBar::follow(Form1* form) {
    if (form == followed_) return;
    for (const QMetaObject::Connection& c : connections_) disconnect(c);
    connections_.clear();
    followed_ = form;
    if (!form) return;
    // Typing, the program's own changes, caret moves by keys and clicks, and the window closing.
    if (DocumentView* view = DocumentView::of(form))
        connections_ << connect(view, &DocumentView::textChanged, this, &FrameStatusBar::scheduleRefresh);
    connections_ << connect(form->RTB1, &QsciScintilla::cursorPositionChanged, this, &FrameStatusBar::scheduleRefresh);
    connections_ << connect(form->RTB1, &QsciScintilla::selectionChanged, this, &FrameStatusBar::scheduleRefresh);
    connections_ << connect(form->RTB1, &RichTextBox::MouseDown, this, &FrameStatusBar::scheduleRefresh);
    connections_ << connect(form, &QObject::destroyed, this, &FrameStatusBar::scheduleRefresh);
}

void FrameStatusBar::scheduleRefresh() {
    // One refresh after the control has finished what it is doing (the caret moves after the
    // change it reports), however many notifications came.
    if (refreshQueued_) return;
    refreshQueued_ = true;
    QMetaObject::invokeMethod(this, &FrameStatusBar::refresh, Qt::QueuedConnection);
}

void FrameStatusBar::refresh() {
    refreshQueued_ = false;
    Form1* form = documents::activeForm(mdi_);
    if (form && !documents::documentWindows(mdi_).contains(form)) form = nullptr;
    follow(form);
    if (!form) {
        lblChanged_->clear();
        lblPosition_->clear();
        lblLineEnds_->clear();
        lblCodePage_->clear();
        return;
    }
    lblChanged_->setText(form->isChanged() ? QStringLiteral("Changed") : QString());
    RichTextBox& rtb = *form->RTB1;
    // The column counts characters as positions do (a character outside the Basic Multilingual
    // Plane counts two), from 1.
    const RichTextBox::LineColumn at = rtb.lineColumnAt(rtb.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    lblPosition_->setText(QStringLiteral("Ln %1, Col %2").arg(at.line + 1).arg(at.column + 1));
    const DocumentView* view = DocumentView::of(form);
    lblLineEnds_->setText(view ? lineends::name(view->lineEndKind()) : QString());
    lblCodePage_->setText(codepage::kName);
}

QString FrameStatusBar::changedText() const { return lblChanged_->text(); }
QString FrameStatusBar::positionText() const { return lblPosition_->text(); }
QString FrameStatusBar::lineEndText() const { return lblLineEnds_->text(); }
QString FrameStatusBar::codePageText() const { return lblCodePage_->text(); }
