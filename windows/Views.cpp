#include "windows/Views.h"

#include "documents/DocumentFrame.h"
#include "documents/ExtraView.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <algorithm>

namespace windowcmd {

DocumentViews::DocumentViews(DocumentFrame& frame, std::function<void(QMdiSubWindow&)> prepare, QObject* parent)
    : QObject(parent), frame_(frame), mdi_(frame.mdiArea()), prepare_(std::move(prepare)) {}

QList<ExtraView*> DocumentViews::viewsOf(const Form1& form) const {
    QList<ExtraView*> views;
    if (!mdi_) return views;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        auto* view = qobject_cast<ExtraView*>(sub->widget());
        // A view already closed waits for its deletion: it counts no more.
        if (view && view->form() == &form && !sub->property("closed").toBool()) views << view;
    }
    return views;
}

ExtraView* DocumentViews::activeView() const {
    QMdiSubWindow* sub = mdi_ ? mdi_->currentSubWindow() : nullptr;
    return sub ? qobject_cast<ExtraView*>(sub->widget()) : nullptr;
}

void DocumentViews::openView() {
    QMdiSubWindow* current = mdi_->currentSubWindow();
    Form1* form = current ? documents::documentWindowOf(current->widget()) : nullptr;
    if (!form) return;
    auto* view = new ExtraView(*form);
    // The new view starts where the view it was made from stands.
    if (auto* from = qobject_cast<ExtraView*>(current->widget())) view->takePlaceOf(*from->control());
    QMdiSubWindow* sub = mdi_->addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->installEventFilter(this);
    if (prepare_) prepare_(*sub);
    if (!followed_.contains(form)) {
        followed_.insert(form);
        QPointer<Form1> f(form);
        connect(form, &QWidget::windowTitleChanged, this, [this, f] { if (f) renumber(*f); });
        connect(form, &QObject::destroyed, this, [this, form] { followed_.remove(form); });
    }
    QPointer<Form1> f(form);
    connect(view, &QObject::destroyed, this, [this, f] {
        QTimer::singleShot(0, this, [this, f] { if (f) renumber(*f); });
    });
    if (current->isMaximized() || mdi_->viewMode() == QMdiArea::TabbedView) {
        sub->showMaximized();
    } else {
        sub->resize(current->size());
        sub->move(current->pos() + QPoint(24, 24));
        sub->show();
    }
    mdi_->setActiveSubWindow(sub);
    view->setFocus();
    renumber(*form);
}

void DocumentViews::renumber(Form1& form) {
    QMdiSubWindow* own = form.subWindow();
    if (!own) return;
    own->installEventFilter(this);   // once: a filter installed again is not doubled
    const QList<ExtraView*> views = viewsOf(form);
    const QString caption = form.Caption();
    const QString ownSuffix = views.isEmpty() ? QString() : QStringLiteral(":1");
    own->setWindowTitle(caption + ownSuffix);
    own->setProperty(kViewSuffix, ownSuffix);
    int n = 2;
    for (ExtraView* view : views) {
        const QString suffix = QStringLiteral(":%1").arg(n++);
        view->setWindowTitle(caption + suffix);
        if (QWidget* sub = view->parentWidget()) sub->setProperty(kViewSuffix, suffix);
    }
    emit renumbered();
}

bool DocumentViews::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::Close || closingAll_) return QObject::eventFilter(watched, e);
    auto* sub = qobject_cast<QMdiSubWindow*>(watched);
    if (!sub) return false;
    if (auto* view = qobject_cast<ExtraView*>(sub->widget())) {
        // Only a view: it goes without a question.
        sub->setProperty("closed", true);
        Q_UNUSED(view);
        return false;
    }
    auto* form = qobject_cast<Form1*>(sub->widget());
    if (!form) return false;
    const QList<ExtraView*> views = viewsOf(*form);
    if (views.isEmpty()) return false;   // the last view: the document closes as always
    // Another view stays: the document window takes its place, once this event is done with.
    static_cast<QCloseEvent*>(e)->ignore();
    QPointer<Form1> f(form);
    QPointer<ExtraView> v(views.first());
    QTimer::singleShot(0, this, [this, f, v] { if (f && v) moveInto(*f, *v); });
    return true;
}

void DocumentViews::moveInto(Form1& form, ExtraView& view) {
    QMdiSubWindow* old = form.subWindow();
    auto* target = qobject_cast<QMdiSubWindow*>(view.parentWidget());
    if (!old || !target || old == target) return;
    const bool wasActive = mdi_->currentSubWindow() == old || mdi_->currentSubWindow() == target;
    // What the view showed, shown by the document window in its place.
    RichTextBox& rtb = *view.control();
    const long anchor = rtb.SendScintilla(QsciScintillaBase::SCI_GETANCHOR);
    const long caret = rtb.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long first = rtb.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long x = rtb.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET);
    target->setWidget(nullptr);
    old->setWidget(nullptr);
    target->setWidget(&form);
    form.show();
    view.deleteLater();
    old->close();
    RichTextBox& own = *form.RTB1;
    own.SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
    own.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(first));
    own.SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, static_cast<unsigned long>(x));
    if (wasActive) {
        mdi_->setActiveSubWindow(target);
        own.setFocus();
    }
    renumber(form);
}

void DocumentViews::beforeCommand() {
    if (ExtraView* view = activeView()) view->pushSelection();
}

void DocumentViews::afterCommand() {
    if (ExtraView* view = activeView()) view->pullSelection();
}

void DocumentViews::closeAll() {
    closingAll_ = true;
    if (!mdi_) return;
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (qobject_cast<ExtraView*>(sub->widget())) sub->close();
}

} // namespace windowcmd
