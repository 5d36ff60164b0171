#include "windows/Tabs.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/ExtraView.h"
#include "documents/Form1.h"
#include "windows/Views.h"
#include "platform/RichTextBox.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTabBar>
#include <QTimer>

namespace windowcmd {

QString tabText(const Form1& form) {
    const QString path = form.filePath();
    const QString name = path.isEmpty() ? form.Caption() : QFileInfo(path).fileName();
    return form.isChanged() ? QStringLiteral("*") + name : name;
}

QString tabTip(const Form1& form) {
    const QString path = form.filePath();
    return path.isEmpty() ? form.Caption() : QDir::toNativeSeparators(path);
}

DocumentTabs::DocumentTabs(DocumentFrame& frame, QObject* parent) : QObject(parent), mdi_(frame.mdiArea()) {
    QMdiArea* mdi = mdi_;
    mdi->setTabsClosable(true);
    mdi->setTabsMovable(true);
    mdi->setDocumentMode(true);
    // Tabs go in the order the documents were opened (or moved to), and so do the switching keys.
    mdi->setActivationOrder(QMdiArea::CreationOrder);
    // Tabs are put up once the frame shows, over the windows it starts with: when the area turns
    // tabbed before it has shown a window, none of its windows can become the active one.
    if (DocumentView::preferences().tabbedDocuments) {
        startTabbed_ = true;
        mdi->installEventFilter(this);
    }
    // A window opened or brought back while the documents are tabs fills the area like the others.
    connect(mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub && tabbed() && !sub->isMaximized() && !sub->isMinimized()) sub->showMaximized();
    });
}

bool DocumentTabs::tabbed() const { return startTabbed_ || shownAsTabs(); }

bool DocumentTabs::shownAsTabs() const { return mdi_ && mdi_->viewMode() == QMdiArea::TabbedView; }

void DocumentTabs::setTabbed(bool on) {
    prefs::Editor p = DocumentView::preferences();
    p.tabbedDocuments = on;
    DocumentView::setPreferences(p);
    startTabbed_ = false;
    apply(on);
}

void DocumentTabs::apply(bool on) {
    QMdiArea* mdi = mdi_;
    if (shownAsTabs() == on) return;
    QMdiSubWindow* active = mdi->currentSubWindow();
    mdi->setViewMode(on ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
    if (on) {
        tabBar_ = mdi->findChild<QTabBar*>();
        if (tabBar_) {
            tabBar_->installEventFilter(this);
            // Each tab as wide as its name: with many documents the bar scrolls rather than
            // cutting every name down to its first letter.
            tabBar_->setElideMode(Qt::ElideNone);
            tabBar_->setExpanding(false);
            tabBar_->setUsesScrollButtons(true);
        }
    } else {
        // Back from tabs every window would fill the area: they open as windows normally do.
        for (QMdiSubWindow* sub : mdi->subWindowList())
            if (sub->isMaximized()) sub->showNormal();
    }
    // As tabs every window stays maximized. Left to itself the area would restore the window
    // going behind and maximize the one coming forward at each change, with its updates off and
    // on again, which repaints every window it holds: a switch among 200 pages took twice as long.
    mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, on);
    if (on) {
        mdi->setUpdatesEnabled(false);
        for (QMdiSubWindow* sub : mdi->subWindowList())
            if (!sub->isMaximized() && !sub->isHidden()) sub->showMaximized();
        mdi->setUpdatesEnabled(true);
    }
    if (active) {
        mdi->setActiveSubWindow(active);
        if (active->widget()) active->widget()->setFocus();
    }
    refresh();
}

void DocumentTabs::follow(Form1& form) {
    connect(&form, &QWidget::windowTitleChanged, this, &DocumentTabs::scheduleRefresh);
    connect(&form, &Form1::fileAssigned, this, &DocumentTabs::scheduleRefresh);
    // Typing changes the mark only on the first change after a save: one cheap check a key.
    connect(form.RTB1, &RichTextBox::Change, this, [this, f = &form] {
        if (tabbed() && tabBar_ && !pending_) {
            const int i = int(mdi_->subWindowList().indexOf(f->subWindow()));
            if (i >= 0 && i < tabBar_->count() && !tabBar_->tabText(i).startsWith(tabText(*f))) scheduleRefresh();
        }
    });
}

void DocumentTabs::scheduleRefresh() {
    if (pending_ || !tabbed()) return;
    pending_ = true;
    // After the MDI area's own update of the tab, which follows the window's title.
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        refresh();
    });
}

void DocumentTabs::refresh() {
    if (!tabbed() || !tabBar_) return;
    // The area keeps one tab for each of its windows, in this order.
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < subs.size() && i < tabBar_->count(); ++i) {
        Form1* form = documents::documentWindowOf(subs[i]->widget());
        if (!form) continue;
        const QString text = tabText(*form) + subs[i]->property(kViewSuffix).toString();
        if (tabBar_->tabText(i) != text) tabBar_->setTabText(i, text);
        const QString tip = tabTip(*form);
        if (tabBar_->tabToolTip(i) != tip) tabBar_->setTabToolTip(i, tip);
        // The program's icon on every tab would say nothing.
        if (!tabBar_->tabIcon(i).isNull()) tabBar_->setTabIcon(i, QIcon());
    }
}

void DocumentTabs::activateNext(bool forward) {
    QMdiArea* mdi = mdi_;
    if (forward) mdi->activateNextSubWindow();
    else mdi->activatePreviousSubWindow();
    if (QMdiSubWindow* sub = mdi->currentSubWindow()) {
        if (sub->isMinimized()) sub->showNormal();
        if (sub->widget()) sub->widget()->setFocus();
    }
}

bool DocumentTabs::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Show && startTabbed_ && watched == mdi_.data()) {
        startTabbed_ = false;
        mdi_->removeEventFilter(this);
        apply(true);
        return false;
    }
    // The event's type first: the bar also passes through here while it is being destroyed,
    // when it may no longer be taken for a tab bar.
    const bool press = e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease;
    if (press && watched == tabBar_.data()) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() != Qt::MiddleButton) return false;
        if (e->type() == QEvent::MouseButtonRelease) {
            // The close a tab's close button makes: the window's own, which asks when it changed.
            const int i = tabBar_->tabAt(me->position().toPoint());
            const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
            if (i >= 0 && i < subs.size()) {
                QPointer<QMdiSubWindow> sub(subs[i]);
                QTimer::singleShot(0, this, [sub] { if (sub) sub->close(); });
            }
        }
        return true;
    }
    return QObject::eventFilter(watched, e);
}

} // namespace windowcmd
