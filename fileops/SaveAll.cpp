#include "fileops/SaveAll.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "fileops/SaveCommands.h"

#include <QList>
#include <QPointer>

namespace fileops {

bool SaveAll(DocumentFrame& frame) {
    QPointer<Form1> active = frame.ActiveForm();
    QList<QPointer<Form1>> titled, untitled;
    for (Form1* form : frame.documentWindows()) {
        if (!form->isChanged()) continue;
        (form->Caption().left(8) == QLatin1String("Document") ? untitled : titled) << form;
    }
    // A question (a changed file on disk, an encoding) could let a window close meanwhile.
    for (const QList<QPointer<Form1>>* list : {&titled, &untitled}) {
        for (const QPointer<Form1>& form : *list) {
            if (!form || !form->isChanged()) continue;
            form->bringForward();
            if (!SaveWindow(frame, *form)) return false;
        }
    }
    if (active) active->bringForward();
    return true;
}

} // namespace fileops
