#include "app/StatusBar.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/EncodingCommands.h"
#include "documents/Form1.h"
#include "io/Charsets.h"
#include "io/EncodingPreference.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QCoreApplication>
#include <QActionGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

#include <optional>
#include <tuple>
#include <utility>
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
    // A field with a menu, filled each time it opens.
    const auto menuButton = [this, bar](const char* name, const char* menuName, int minChars, const QString& tip,
                                        void (FrameStatusBar::*fill)()) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setPopupMode(QToolButton::InstantPopup);
        b->setToolTip(tip);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QLatin1Char('0')) * minChars);
        auto* menu = new QMenu(b);
        menu->setObjectName(QLatin1String(menuName));
        connect(menu, &QMenu::aboutToShow, this, fill);
        b->setMenu(menu);
        bar->addPermanentWidget(b);
        return std::make_pair(b, menu);
    };
    std::tie(btnLineEnds_, lineEndMenu_) =
        menuButton("btnLineEnds", "mnuLineEnds", 6, QCoreApplication::translate("StatusBar", "Line ends: convert the document's, or choose how saves end"),
                   &FrameStatusBar::fillLineEndMenu);
    std::tie(btnEncoding_, encodingMenu_) =
        menuButton("btnEncoding", "mnuEncoding", 14,
                   QCoreApplication::translate("StatusBar", "Encoding: read the file again in another, or choose the one Save writes"),
                   &FrameStatusBar::fillEncodingMenu);
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
        btnLineEnds_->setText(QString());
        btnLineEnds_->setEnabled(false);
        btnEncoding_->setText(QString());
        btnEncoding_->setEnabled(false);
        return;
    }
    lblChanged_->setText(form->isChanged() ? QCoreApplication::translate("StatusBar", "Changed") : QString());
    RichTextBox& rtb = *form->RTB1;
    // The column counts characters as positions do (a character outside the Basic Multilingual
    // Plane counts two), from 1.
    const RichTextBox::LineColumn at = rtb.lineColumnAt(rtb.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    lblPosition_->setText(QCoreApplication::translate("StatusBar", "Ln %1, Col %2").arg(at.line + 1).arg(at.column + 1));
    const DocumentView* view = DocumentView::of(form);
    // A text without line ends shows the one Enter types.
    const lineends::Kind kind = view ? view->lineEndKind() : lineends::Kind::None;
    btnLineEnds_->setText(lineends::name(kind == lineends::Kind::None ? lineends::enterKind(rtb) : kind));
    btnLineEnds_->setEnabled(view != nullptr);
    // The encoding, or why it is not the one the file declares.
    btnEncoding_->setText(form->encodingNote().isEmpty() ? io::shownEncodingName(form->encoding()) : form->encodingNote());
    btnEncoding_->setEnabled(true);
    // A screen reader says what the field is as well as what it shows.
    btnLineEnds_->setAccessibleName(QCoreApplication::translate("FrameStatusBar", "Line ends: %1").arg(btnLineEnds_->text()));
    btnEncoding_->setAccessibleName(QCoreApplication::translate("FrameStatusBar", "Encoding: %1").arg(btnEncoding_->text()));
}

void FrameStatusBar::showEncodingMenu() {
    refresh();
    if (btnEncoding_->isEnabled()) btnEncoding_->showMenu();
}

void FrameStatusBar::showLineEndMenu() {
    refresh();
    if (btnLineEnds_->isEnabled()) btnLineEnds_->showMenu();
}

void FrameStatusBar::fillEncodingMenu() {
    using io::Encoding;
    // The submenus of the last time go with their items.
    qDeleteAll(encodingMenu_->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly));
    encodingMenu_->clear();
    Form1* form = followed_;
    if (!form) return;
    const QPointer<Form1> window(form);
    // One submenu: a submenu per script, an item per encoding, the one in force checked.
    const auto submenu = [this](const QString& title, const char* name, const std::vector<io::EncodingGroup>& groups,
                                std::optional<Encoding> checked, auto act) {
        QMenu* menu = encodingMenu_->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        auto* exclusive = new QActionGroup(menu);
        for (const io::EncodingGroup& g : groups) {
            QMenu* script = menu->addMenu(g.name);
            for (Encoding e : g.encodings) {
                QAction* a = script->addAction(io::shownEncodingName(e));
                a->setCheckable(true);
                a->setChecked(checked == e);
                a->setActionGroup(exclusive);
                connect(a, &QAction::triggered, this, [act, e] { act(e); });
            }
        }
        return menu;
    };
    const std::vector<io::EncodingGroup> groups = io::encodingGroups();   // Unicode first
    const Encoding current = form->encoding();
    // Reading again takes UTF-8 and UTF-16 with their mark or without, as the file has it.
    std::vector<io::EncodingGroup> reading = groups;
    reading.front().encodings = {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be};
    const Encoding family = io::isUtf8(current) ? Encoding::Utf8
                            : io::isUtf16(current) ? (current == Encoding::Utf16BeBom || current == Encoding::Utf16Be
                                                          ? Encoding::Utf16Be
                                                          : Encoding::Utf16Le)
                                                   : current;
    QMenu* reopen = submenu(QCoreApplication::translate("StatusBar", "&Reopen with Encoding"), "mnuEncodingReopen", reading, family,
                            [window](Encoding e) {
                                if (window) documents::reopenWithEncoding(*window, e);
                            });
    reopen->setEnabled(documents::canReopen(*form));
    // A file read as UTF-16 without a mark keeps that choice too.
    std::vector<io::EncodingGroup> saving = groups;
    if (current == Encoding::Utf16Le || current == Encoding::Utf16Be) saving.front().encodings.push_back(current);
    submenu(QCoreApplication::translate("StatusBar", "&Save with Encoding"), "mnuEncodingSave", saving, current, [window](Encoding e) {
        if (window) documents::setSaveEncoding(*window, e);
    });
    encodingMenu_->addSeparator();
    submenu(QCoreApplication::translate("StatusBar", "Encoding of &New Documents"), "mnuEncodingDefault", groups, io::defaultEncoding(), [](Encoding e) {
                QString reason;
                if (!io::setDefaultEncoding(e, &reason))
                    tp::MsgBox(QCoreApplication::translate("StatusBar", "Can't save the encoding of new documents: ") + io::defaultEncodingPath() +
                               QStringLiteral("\r\n\r\n") + reason);
            });
}

void FrameStatusBar::fillLineEndMenu() {
    lineEndMenu_->clear();
    Form1* form = followed_;
    DocumentView* view = DocumentView::of(form);
    if (!view) return;
    const QPointer<DocumentView> target(view);
    const lineends::Kind enter = lineends::enterKind(*form->RTB1);
    auto* group = new QActionGroup(lineEndMenu_);
    const struct {
        lineends::Kind kind;
        const char* text;
    } kinds[] = {{lineends::Kind::CrLf, QT_TRANSLATE_NOOP("StatusBar", "Convert to CR &LF")},
                 {lineends::Kind::Lf, QT_TRANSLATE_NOOP("StatusBar", "Convert to L&F")},
                 {lineends::Kind::Cr, QT_TRANSLATE_NOOP("StatusBar", "Convert to &CR")}};
    for (const auto& k : kinds) {
        QAction* a = lineEndMenu_->addAction(QCoreApplication::translate("StatusBar", k.text));
        a->setCheckable(true);
        a->setChecked(k.kind == enter);   // what Enter types
        a->setActionGroup(group);
        const lineends::Kind kind = k.kind;
        connect(a, &QAction::triggered, this, [this, target, kind] {
            if (target) target->convertLineEnds(kind);
            scheduleRefresh();
        });
    }
    lineEndMenu_->addSeparator();
    QAction* final = lineEndMenu_->addAction(QCoreApplication::translate("StatusBar", "&Final Line End on Save"));
    final->setObjectName(QStringLiteral("mnuFinalLineEnd"));
    final->setCheckable(true);
    final->setChecked(DocumentView::preferences().finalLineEnd);
    connect(final, &QAction::toggled, this, [](bool on) {
        prefs::Editor p = DocumentView::preferences();
        p.finalLineEnd = on;
        DocumentView::setPreferences(p);
    });
}

QString FrameStatusBar::changedText() const { return lblChanged_->text(); }
QString FrameStatusBar::positionText() const { return lblPosition_->text(); }
QString FrameStatusBar::lineEndText() const { return btnLineEnds_->text(); }
QString FrameStatusBar::codePageText() const { return btnEncoding_->text(); }
