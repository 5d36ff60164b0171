#pragma once
// The Options dialog: the two start-up preferences of the settings file. It reads the file each
// time it opens and writes it only on OK.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    // File > Options: loads a fresh dialog and shows it modally; it is gone when this returns.
    static void showModal(QWidget* parent);

    // Sets the boxes from the settings file; boxes without a valid field stay cleared.
    void Form_Load();

    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check1 = nullptr;   // field 1: splash screen
    QCheckBox* Check2 = nullptr;   // field 2: maximized document windows

public slots:
    // Writes both boxes to the settings file and closes. A file that cannot be written keeps
    // what it held; the dialog closes all the same and says nothing.
    void OKButton_Click();
    void CancelButton_Click();
};
