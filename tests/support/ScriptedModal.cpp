#include "support/ScriptedModal.h"

#include <QDialog>

ScriptedModal::ScriptedModal() { tp::setModal(this); }
ScriptedModal::~ScriptedModal() { tp::setModal(nullptr); }

tp::MsgResult ScriptedModal::message(const tp::MessageRequest& request) {
    messages << request;
    if (messageAnswers.empty()) {
        ++unanswered;
        return request.buttons == tp::MsgButtons::YesNoCancel ? tp::MsgResult::Cancel : tp::MsgResult::OK;
    }
    const tp::MsgResult r = messageAnswers.front();
    messageAnswers.pop_front();
    return r;
}

QString ScriptedModal::fileDialog(const tp::FileDialogRequest& request) {
    fileDialogs << request;
    if (fileAnswers.empty()) {
        ++unanswered;
        return QString();
    }
    const QString r = fileAnswers.front();
    fileAnswers.pop_front();
    return r;
}

bool ScriptedModal::printDialog(const tp::PrintDialogRequest& request, QPrinter& printer) {
    printDialogs << request;
    if (printAnswers.empty()) {
        ++unanswered;
        return false;
    }
    auto answer = std::move(printAnswers.front());
    printAnswers.pop_front();
    return answer(request, printer);
}

int ScriptedModal::exec(QDialog& dialog) {
    dialogs << dialog.objectName();
    if (dialogAnswers.empty()) {
        ++unanswered;
        dialog.reject();
        return QDialog::Rejected;
    }
    auto answer = std::move(dialogAnswers.front());
    dialogAnswers.pop_front();
    return answer(dialog);
}
