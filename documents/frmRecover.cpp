#include "documents/frmRecover.h"

#include "platform/Modal.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

frmRecover::frmRecover(const std::vector<recovery::Found>& found, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRecover"));
    setWindowTitle(tp::kAppTitle);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QCoreApplication::translate(
        "frmRecover",
        "Tesselpad did not end properly the last time it ran. The unsaved work in these documents was "
        "kept.\nRecovering opens each one as a changed window; nothing is written to your files until "
        "you save."));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    lstDocuments = new QTreeWidget;
    lstDocuments->setObjectName(QStringLiteral("lstDocuments"));
    lstDocuments->setAccessibleName(QCoreApplication::translate("frmRecover", "Documents kept"));
    lstDocuments->setRootIsDecorated(false);
    lstDocuments->setHeaderLabels({QCoreApplication::translate("frmRecover", "Document"), QCoreApplication::translate("frmRecover", "Last changed"),
                                   QCoreApplication::translate("frmRecover", "Text"), QCoreApplication::translate("frmRecover", "Note")});
    for (const recovery::Found& f : found) {
        auto* row = new QTreeWidgetItem(lstDocuments);
        row->setText(0, f.header.path.isEmpty() ? f.header.caption : f.header.path);
        row->setText(1, recovery::describeWhen(f));
        row->setText(2, recovery::describeSize(f));
        row->setText(3, recovery::describeNote(f));
        row->setToolTip(3, row->text(3));
        row->setCheckState(0, Qt::Checked);
    }
    lstDocuments->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(lstDocuments);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdRecover = new QPushButton(QCoreApplication::translate("frmRecover", "&Recover"));
    cmdDiscard = new QPushButton(QCoreApplication::translate("frmRecover", "&Discard"));
    cmdLater = new QPushButton(QCoreApplication::translate("frmRecover", "Decide &Later"));
    cmdRecover->setObjectName(QStringLiteral("cmdRecover"));
    cmdDiscard->setObjectName(QStringLiteral("cmdDiscard"));
    cmdLater->setObjectName(QStringLiteral("cmdLater"));
    // Enter recovers: the answer that loses nothing. Discarding takes its own button.
    cmdRecover->setDefault(true);
    cmdDiscard->setAutoDefault(false);
    cmdLater->setAutoDefault(false);
    buttons->addWidget(cmdRecover);
    buttons->addWidget(cmdDiscard);
    buttons->addWidget(cmdLater);
    layout->addLayout(buttons);
    connect(cmdRecover, &QPushButton::clicked, this, [this] { done(Recover); });
    connect(cmdDiscard, &QPushButton::clicked, this, [this] { done(Discard); });
    connect(cmdLater, &QPushButton::clicked, this, [this] { done(Later); });
    resize(720, 320);
}

bool frmRecover::isChecked(int row) const {
    const QTreeWidgetItem* item = lstDocuments->topLevelItem(row);
    return item && item->checkState(0) == Qt::Checked;
}
