#pragma once
// The start-up question about a save in place that did not end (io/InterruptedSave.h): the file
// may hold part of the new text, and its old content is kept whole. Restore the Old Content (the
// default button: Enter) writes that back, Keep the File as It Is deletes the kept copy, Decide
// Later (Escape) asks again at the next start.
#include "io/InterruptedSave.h"

#include <QDialog>

class QPushButton;

class frmInterruptedSave : public QDialog {
    Q_OBJECT
public:
    enum Result { Later = QDialog::Rejected, Restore = QDialog::Accepted, Keep = 2 };

    explicit frmInterruptedSave(const io::InterruptedSave& save, QWidget* parent = nullptr);

    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdKeep = nullptr;
    QPushButton* cmdLater = nullptr;
};

namespace documents {

// At start-up: asks about each save in place that did not end, oldest first, and does as the
// user chose. Copies whose file was left whole are removed without a question.
void offerInterruptedSaves();

} // namespace documents
