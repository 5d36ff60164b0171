#pragma once
// The Replace dialog: find what, replace with, match case, whole word, regular expression,
// direction, and where Replace All works (the selection, the document, every open document).
// It stays open beside the documents (not modal); its buttons run the commands of
// ReplaceCommands on the frame's active document.
#include "search/ReplaceCommands.h"

#include <QDialog>

class DocumentFrame;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmReplace : public QDialog {
    Q_OBJECT
public:
    explicit frmReplace(DocumentFrame& frame);
    ~frmReplace() override;

    // Search > Replace: the dialog (one per frame), filled from the selection and the shared
    // search state, shown and given the focus.
    static frmReplace* open(DocumentFrame& frame);
    // The open Replace dialog, or nullptr.
    static frmReplace* loaded();

    replacecmd::ReplaceQuery query() const;
    replacecmd::Scope scope() const;

    QLineEdit* txtFind = nullptr;
    QLineEdit* txtReplace = nullptr;
    QCheckBox* chkCase = nullptr;
    QCheckBox* chkWord = nullptr;
    QCheckBox* chkRegex = nullptr;
    QRadioButton* optUp = nullptr;
    QRadioButton* optDown = nullptr;
    QRadioButton* optSelection = nullptr;
    QRadioButton* optDocument = nullptr;
    QRadioButton* optAllDocuments = nullptr;
    QPushButton* cmdFindNext = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdReplaceAll = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    void cmdFindNext_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();

private:
    void fill();
    void updateButtons();

    DocumentFrame& frame_;
};
