#include "app/StatusBar.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/EncodingCommands.h"
#include "documents/Form1.h"
#include "io/EncodingPreference.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QActionGroup>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

#include <optional>
#include <vector>

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
    btnEncoding_ = new QToolButton(bar);
    btnEncoding_->setObjectName(QStringLiteral("btnEncoding"));
    btnEncoding_->setAutoRaise(true);
    btnEncoding_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnEncoding_->setPopupMode(QToolButton::InstantPopup);
    btnEncoding_->setToolTip(QStringLiteral("Encoding: read the file again in another, or choose the one Save writes"));
    btnEncoding_->setMinimumWidth(btnEncoding_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    encodingMenu_ = new QMenu(btnEncoding_);
    encodingMenu_->setObjectName(QStringLiteral("mnuEncoding"));
    connect(encodingMenu_, &QMenu::aboutToShow, this, &FrameStatusBar::fillEncodingMenu);
    btnEncoding_->setMenu(encodingMenu_);
    bar->addPermanentWidget(btnEncoding_);
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
    connections_ << connect(form, &Form1::encodingChanged, this, &FrameStatusBar::scheduleRefresh);
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
        btnEncoding_->setText(QString());
        btnEncoding_->setEnabled(false);
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
    btnEncoding_->setText(io::encodingName(form->encoding()));
    btnEncoding_->setEnabled(true);
}

void FrameStatusBar::fillEncodingMenu() {
    using io::Encoding;
    // The submenus of the last time go with their items.
    qDeleteAll(encodingMenu_->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly));
    encodingMenu_->clear();
    Form1* form = followed_;
    if (!form) return;
    const QPointer<Form1> window(form);
    // One submenu: an item per encoding, the one in force checked.
    const auto submenu = [this](const QString& title, const char* name, const std::vector<Encoding>& encodings,
                                std::optional<Encoding> checked, auto act) {
        QMenu* menu = encodingMenu_->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        auto* group = checked ? new QActionGroup(menu) : nullptr;
        for (Encoding e : encodings) {
            QAction* a = menu->addAction(io::encodingName(e));
            a->setCheckable(checked.has_value());
            a->setChecked(checked == e);
            a->setActionGroup(group);
            connect(a, &QAction::triggered, this, [act, e] { act(e); });
        }
        return menu;
    };
    QMenu* reopen = submenu(QStringLiteral("&Reopen with Encoding"), "mnuEncodingReopen",
                            {Encoding::Windows1252, Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be}, std::nullopt,
                            [window](Encoding e) {
                                if (window) documents::reopenWithEncoding(*window, e);
                            });
    reopen->setEnabled(documents::canReopen(*form));
    const std::vector<Encoding> choices = {Encoding::Windows1252, Encoding::Utf8, Encoding::Utf8Bom,
                                           Encoding::Utf16LeBom, Encoding::Utf16BeBom};
    // A file read as UTF-16 without a mark keeps that choice too.
    std::vector<Encoding> saved = choices;
    const Encoding current = form->encoding();
    if (current == Encoding::Utf16Le || current == Encoding::Utf16Be) saved.push_back(current);
    submenu(QStringLiteral("&Save with Encoding"), "mnuEncodingSave", saved, current, [window](Encoding e) {
        if (window) documents::setSaveEncoding(*window, e);
    });
    encodingMenu_->addSeparator();
    submenu(QStringLiteral("Encoding of &New Documents"), "mnuEncodingDefault", choices, io::defaultEncoding(), [](Encoding e) {
                QString reason;
                if (!io::setDefaultEncoding(e, &reason))
                    tp::MsgBox(QStringLiteral("Can't save the encoding of new documents: ") + io::defaultEncodingPath() +
                               QStringLiteral("\r\n\r\n") + reason);
            });
}

QString FrameStatusBar::changedText() const { return lblChanged_->text(); }
QString FrameStatusBar::positionText() const { return lblPosition_->text(); }
QString FrameStatusBar::lineEndText() const { return lblLineEnds_->text(); }
QString FrameStatusBar::codePageText() const { return btnEncoding_->text(); }
