#pragma once
// A modal seam for tests: every message box, file dialog, print dialog and program dialog is
// answered from a script and recorded, so no test ever waits on a modal window.
#include "platform/Modal.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>

class ScriptedModal : public tp::ModalSeam {
public:
    ScriptedModal();    // puts itself in place
    ~ScriptedModal() override;   // restores the on-screen seam

    // Answers, taken in order of the questions.
    void answerMessage(tp::MsgResult result) { messageAnswers.push_back(result); }
    void answerFile(const QString& path) { fileAnswers.push_back(path); }
    void answerPrint(std::function<bool(const tp::PrintDialogRequest&, QPrinter&)> answer) {
        printAnswers.push_back(std::move(answer));
    }
    // Runs with the dialog while it is "shown"; returns the dialog's result code.
    void answerDialog(std::function<int(QDialog&)> answer) { dialogAnswers.push_back(std::move(answer)); }

    tp::MsgResult message(const tp::MessageRequest& request) override;
    QString fileDialog(const tp::FileDialogRequest& request) override;
    bool printDialog(const tp::PrintDialogRequest& request, QPrinter& printer) override;
    int exec(QDialog& dialog) override;

    // What was asked.
    QList<tp::MessageRequest> messages;
    QList<tp::FileDialogRequest> fileDialogs;
    QList<tp::PrintDialogRequest> printDialogs;
    QStringList dialogs;   // object names of the program dialogs shown
    // Questions that came without a scripted answer (the default answer was used).
    int unanswered = 0;

    std::deque<tp::MsgResult> messageAnswers;
    std::deque<QString> fileAnswers;
    std::deque<std::function<bool(const tp::PrintDialogRequest&, QPrinter&)>> printAnswers;
    std::deque<std::function<int(QDialog&)>> dialogAnswers;
};
