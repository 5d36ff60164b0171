#include "fileops/ViewInBrowser.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "fileops/SaveCommands.h"
#include "platform/Modal.h"
#include "platform/System.h"

#include <QFileInfo>
#include <QUrl>

namespace fileops {

bool ViewInBrowser(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return false;
    const bool untitled = form->Caption().left(8) == QLatin1String("Document");
    if (untitled || form->isChanged()) {
        if (tp::MsgBox(kSaveBeforeBrowsing, tp::MsgButtons::YesNo, tp::MsgIcon::Question) != tp::MsgResult::Yes)
            return false;
        if (!SaveWindow(frame, *form)) return false;
    }
    const QString path = QFileInfo(form->fileFor(form->Caption())).absoluteFilePath();
    if (!tp::sys().openUrl(QUrl::fromLocalFile(path))) {
        tp::MsgBox(QStringLiteral("Can't open the browser for ") + path);
        return false;
    }
    return true;
}

} // namespace fileops
