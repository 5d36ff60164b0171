#pragma once
// The start-up window that lists the unsaved work kept from a program that ended without cleaning
// up: one checked row per document (caption or file, when it was last changed, how much text, a
// note when its file changed since). Recover (the default button: Enter) recovers the checked
// rows, Discard deletes them, Decide Later (Escape) keeps them for the next start.
#include "documents/Recovery.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

class frmRecover : public QDialog {
    Q_OBJECT
public:
    enum Result { Later = QDialog::Rejected, Recover = QDialog::Accepted, Discard = 2 };

    explicit frmRecover(const std::vector<recovery::Found>& found, QWidget* parent = nullptr);

    bool isChecked(int row) const;

    QTreeWidget* lstDocuments = nullptr;
    QPushButton* cmdRecover = nullptr;
    QPushButton* cmdDiscard = nullptr;
    QPushButton* cmdLater = nullptr;
};
