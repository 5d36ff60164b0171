#include "edit/ProblemsPanel.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "edit/ProblemMarks.h"
#include "platform/RichTextBox.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QTextDocument>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace editcmd {
ProblemsPanel::ProblemsPanel(DocumentFrame& frame)
    : QDockWidget(tr("Problems"), frame.frameWidget()), frame_(frame) {
    setObjectName(QStringLiteral("ProblemsPanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    lblState = new QLabel(body);
    lblState->setObjectName(QStringLiteral("lblState"));
    list = new QTreeWidget(body);
    list->setObjectName(QStringLiteral("lstProblems"));
    list->setHeaderLabels({tr("Line"), tr("Column"), tr("Message")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);   // thousands of rows stay quick
    list->setAlternatingRowColors(true);
    list->header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addWidget(lblState);
    layout->addWidget(list);
    setWidget(body);
    connect(list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { goTo(item); });
    // The window comes with the signal: the frame itself may be on its way out when it is raised.
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* sub) { follow(sub ? qobject_cast<Form1*>(sub->widget()) : nullptr); });
    follow(frame.ActiveForm());
}

ProblemsPanel* ProblemsPanel::open(DocumentFrame& frame, ProblemsPanel*& panel) {
    if (!panel) {
        panel = new ProblemsPanel(frame);
        if (auto* main = qobject_cast<QMainWindow*>(frame.frameWidget())) main->addDockWidget(Qt::BottomDockWidgetArea, panel);
    }
    panel->show();
    panel->raise();
    return panel;
}

void ProblemsPanel::follow(Form1* form) {
    ProblemMarks* marks = ProblemMarks::of(form);
    if (marks != followed_) {
        disconnect(connection_);
        followed_ = marks;
        if (marks) connection_ = connect(marks, &ProblemMarks::changed, this, &ProblemsPanel::refresh);
    }
    refresh();
}

void ProblemsPanel::refresh() {
    list->clear();
    if (!followed_) {
        lblState->setText(tr("No document is open."));
        return;
    }
    lblState->setText(followed_->state());
    QList<QTreeWidgetItem*> items;
    const auto& found = followed_->problems();
    items.reserve(qsizetype(found.size()));
    for (size_t i = 0; i < found.size(); ++i) {
        const problems::Problem& p = found[i];
        auto* item = new QTreeWidgetItem({QString::number(p.line), QString::number(p.column), p.message});
        item->setData(0, Qt::UserRole, qulonglong(i));
        item->setToolTip(2, Qt::convertFromPlainText(p.message, Qt::WhiteSpaceNormal));   // "<img>" shown as such
        items << item;
    }
    list->addTopLevelItems(items);
    list->resizeColumnToContents(0);
    list->resizeColumnToContents(1);
}

void ProblemsPanel::goTo(QTreeWidgetItem* item) {
    if (!item || !followed_) return;
    const size_t i = item->data(0, Qt::UserRole).toULongLong();
    if (i >= followed_->problems().size()) return;
    const problems::Problem& p = followed_->problems()[i];
    Form1& form = followed_->form();
    RichTextBox& rtb = *form.RTB1;
    const qint64 length = rtb.byteLength();
    frame_.mdiArea()->setActiveSubWindow(form.subWindow());
    rtb.selectBytes(std::min(p.from, length), std::min(p.to, length));
    rtb.showCaret();
    rtb.setFocus();
}

} // namespace editcmd
