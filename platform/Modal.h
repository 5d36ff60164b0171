#pragma once
// Every modal window of the program (message boxes, the file and print dialogs, the program's own
// dialogs) is asked for through one seam, so that tests can answer in place of a user.
#include "platform/Product.h"

#include <QString>
#include <QStringList>

class QDialog;
class QPrinter;

namespace tp {

// The title of message boxes and of the frame: the product's name.
inline const QString& kAppTitle = product::kName;

enum class MsgButtons { OK, YesNoCancel, YesNo, OKCancel };
enum class MsgIcon { None, Exclamation, Critical, Information, Question };
enum class MsgResult { OK, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    QString title;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    // The button Enter presses. Yes in a Yes/No/Cancel box unless a question's safe answer is
    // another one (a replace prompt defaults to No).
    MsgResult defaultButton = MsgResult::Yes;
};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;             // empty: the dialog's own title
    QStringList nameFilters;   // Qt name filters, in order
    int selectedFilter = -1;   // index into nameFilters, -1 for the dialog's default
    QString fileName;          // what the name box starts with
    QString folder;            // the folder it starts in; empty: the dialog's own choice
};

struct PrintDialogRequest {
    QString title;
    bool noPageNumbers = false;   // no page-range fields
    bool selection = false;       // the selection is offered and chosen as the range
};

class ModalSeam {
public:
    virtual ~ModalSeam() = default;
    virtual MsgResult message(const MessageRequest& request) = 0;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString fileDialog(const FileDialogRequest& request) = 0;
    // True when the user confirmed; the printer then holds the chosen settings.
    virtual bool printDialog(const PrintDialogRequest& request, QPrinter& printer) = 0;
    // Runs one of the program's own dialogs modally and returns its result code.
    virtual int exec(QDialog& dialog) = 0;
};

// The seam in force: the real, on-screen one unless a test has put its own in place.
ModalSeam& modal();
// Puts a seam in place (nullptr restores the on-screen one). The caller keeps ownership.
void setModal(ModalSeam* seam);

// A message box through the seam; the title defaults to the program's title.
MsgResult MsgBox(const QString& prompt, MsgButtons buttons = MsgButtons::OK,
                 MsgIcon icon = MsgIcon::None, const QString& title = QString(),
                 MsgResult defaultButton = MsgResult::Yes);

} // namespace tp
