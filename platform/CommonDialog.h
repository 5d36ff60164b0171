#pragma once
// The one file and print dialog component the frame shares among Open, Save, Page Setup and Print.
// A property keeps its value until a command sets it again.
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

class QPrinter;

// Raised by Show* when the user cancels and CancelError is set.
class CommonDialogError : public std::runtime_error {
public:
    explicit CommonDialogError(int code) : std::runtime_error("Cancel was selected."), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

class CommonDialog {
public:
    static constexpr int cdlCancel = 32755;
    // Print dialog flags.
    static constexpr int cdlPDAllPages = 0x0;
    static constexpr int cdlPDSelection = 0x1;
    static constexpr int cdlPDNoPageNums = 0x8;
    static constexpr int cdlPDReturnDC = 0x100;

    CommonDialog();
    ~CommonDialog();

    // "description|patterns|description|patterns..." ; the blanks are part of the texts.
    QString Filter;
    QString FileName;
    // 1-based index of the file-type entry the dialog opens with (0: the dialog's choice).
    int FilterIndex = 0;
    // The folder the Open and Save dialogs start in; when empty, the folder of the last file
    // chosen in either (for as long as the program runs), else the dialog's own choice.
    QString InitDir;
    QString DialogTitle;
    bool CancelError = false;
    int Flags = 0;

    void ShowOpen();
    void ShowSave();
    void ShowPrinter();
    // The printer chosen in the last print dialog (the component's device context).
    QPrinter& hDC();

    // The Filter as Qt name filters: "description (pattern pattern ...)", patterns trimmed, "*.*"
    // as "*".
    static QStringList nameFilters(const QString& filter);

private:
    void showFile(bool save);
    QString lastFolder_;
    std::unique_ptr<QPrinter> printer_;
};
