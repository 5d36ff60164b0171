#include "fileops/ViewInBrowser.h"

#include "documents/DocumentFrame.h"
#include "fileops/BrowserChoice.h"
#include "documents/Form1.h"
#include "fileops/SaveCommands.h"
#include "platform/Modal.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace fileops {

bool ViewInBrowser(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return false;
    const bool untitled = form->Caption().left(8) == QLatin1String("Document");
    if (untitled || form->isChanged()) {
        if (tp::MsgBox(QCoreApplication::translate("ViewInBrowser", kSaveBeforeBrowsing.toUtf8().constData()), tp::MsgButtons::YesNo, tp::MsgIcon::Question) != tp::MsgResult::Yes)
            return false;
        if (!SaveWindow(frame, *form)) return false;
    }
    const QString path = QFileInfo(form->fileFor(form->Caption())).absoluteFilePath();
    const BrowserLaunch browser = browserFor(path);
    if (browser.program.isEmpty()) {
        tp::MsgBox(browser.missing);
        return false;
    }
    if (!tp::sys().startDetached(browser.program, browser.arguments)) {
        tp::MsgBox(QCoreApplication::translate("ViewInBrowser", "Can't open the browser for ") + path);
        return false;
    }
    return true;
}

} // namespace fileops
