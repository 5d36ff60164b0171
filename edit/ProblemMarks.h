#pragma once
// The problems of a page, marked where they are: a document window coloured as HTML or XML is
// checked (edit/HtmlCheck.h) on the check thread a moment after typing stops, and each problem gets
// a squiggle under its span, a mark in the margin beside its line and its message as a tooltip
// when the mouse rests on it. Marks never change the text. A page over htmlcheck::kAutoLimit is
// checked only by Check Page Now, the time taken shown in the Problems panel and the status bar.
// The View menu's switches turn the checks off (the marks go) and show every report of Tidy.
#include "edit/HtmlCheck.h"

#include <QObject>
#include <QTimer>

#include <optional>

class DocumentFrame;
class Form1;
class RichTextBox;

namespace editcmd {

class ProblemMarks : public QObject {
    Q_OBJECT
public:
    // Attaches itself to the window (as its child).
    explicit ProblemMarks(Form1& form);
    ~ProblemMarks() override;

    // The marks of a window, or nullptr.
    static ProblemMarks* of(const Form1* form);

    // How long typing must pause before a check.
    static constexpr int kPauseMs = 400;
    static constexpr int kFirstPauseMs = 20;

    // The language the window is checked as, or none (not markup, or the checks are off).
    std::optional<htmlcheck::Language> language() const;
    // Checks the text now whatever its size (Check Page Now).
    void checkNow();

    // The problems last found, in the order of the text, their positions those of the text then.
    const std::vector<problems::Problem>& problems() const { return result_.problems; }
    qint64 moreProblems() const { return result_.more; }
    // What the panel says about the check: its time, or why there was none.
    QString state() const;
    Form1& form() const { return form_; }
    bool running() const { return running_; }

    // Takes a check's outcome: one of an older text than the window's now is dropped.
    void deliver(quint64 generation, const htmlcheck::Result& result);
    // The text the next outcome must be of (tests).
    quint64 generation() const { return generation_; }

signals:
    // The problems or the state changed.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void textChanged();
    void settingsChanged();
    void startPause();
    void send(bool asked);
    void post();
    void clearMarks();
    void applyMarks();
    void applyStyles();
    void showTip(int position, int x, int y);

    // Used on the GUI thread only; the check thread reaches it through queued calls.
    Form1& form_;
    RichTextBox& rtb_;
    QTimer pause_;
    quint64 generation_ = 0;
    bool checked_ = false;    // the problems shown are of the text as it is
    bool tooLarge_ = false;   // the text is over the limit and was not checked since it changed
    bool running_ = false;
    bool refused_ = false;    // Check Page Now found the text over htmlcheck::kAskedLimit
    bool delivered_ = false;  // an outcome came in (the first check waits less)
    bool awaitingScreen_ = false;  // a check waits for the text to be drawn
    htmlcheck::Result result_;
    int marginWidth_ = 0;
};

// Gives a new document window its problem marks.
void attachProblemMarks(Form1& form);

// The View menu: the switches' check marks as the menu opens, the switches turned over, and the
// check of the active page now.
void mnuViewChecks(DocumentFrame& frame);
void ToggleCheckMarkup();
void ToggleCheckAllReports();
void CheckPageNow(DocumentFrame& frame);

} // namespace editcmd
