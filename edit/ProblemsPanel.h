#pragma once
// The Problems panel, docked at the bottom of the frame: the problems of the active document
// window (edit/ProblemMarks.h), one row each with its line, column and message, and above them
// what the check says (how many, how long it took, or why the page was not checked). A
// double-click or Enter on a row puts the caret there and selects the problem's span.
#include <QDockWidget>
#include <QMetaObject>
#include <QPointer>

class DocumentFrame;
class Form1;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace editcmd {

class ProblemMarks;

class ProblemsPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit ProblemsPanel(DocumentFrame& frame);

    // The frame's panel, made and docked on first use ('panel' is the frame's hold on it), shown.
    static ProblemsPanel* open(DocumentFrame& frame, ProblemsPanel*& panel);

    QLabel* lblState = nullptr;
    QTreeWidget* list = nullptr;

    // Goes to the problem of a row in the active window.
    void goTo(QTreeWidgetItem* item);

private:
    void follow(Form1* form);
    void refresh();

    // Used on the GUI thread only.
    DocumentFrame& frame_;
    QPointer<ProblemMarks> followed_;
    QMetaObject::Connection connection_;
};

} // namespace editcmd
