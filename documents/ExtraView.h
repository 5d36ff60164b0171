#pragma once
// A further view of a document window's text (Window > New Window): another window on the same
// Scintilla document, so typing in either shows in both. The document itself (its file, caption,
// Changed, journal, file on disk) stays the document window's (Form1's) alone, so it is saved,
// changed, journalled and asked about once; the view holds nothing but a caret and a scroll
// position, and closing it asks nothing.
//
// Commands act on the document window's control: while the view has the keys its selection is
// handed to that control as it changes (without scrolling it), and a command's selection is taken
// back afterwards (pullSelection()).
#include <QPointer>
#include <QWidget>

class Form1;
class RichTextBox;

class ExtraView : public QWidget {
    Q_OBJECT
public:
    explicit ExtraView(Form1& form);

    Form1* form() const { return form_; }
    RichTextBox* control() const { return rtb_; }

    // The view's own selection to the document window's control, and back.
    void pushSelection();
    void pullSelection();
    // The document window's control's caret, selection and scroll position, taken over.
    void takePlaceOf(RichTextBox& from);
    // Styles, zoom, tabs, wrapping and line numbers as the document window's control has them.
    void copyLook();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Shares the window's document (again, should a large load have given the window a new one).
    void attach();

    QPointer<Form1> form_;
    RichTextBox* rtb_ = nullptr;
};

namespace documents {
// The document window that a subwindow's widget shows: the window itself, or the one an extra
// view looks at; nullptr for anything else.
Form1* documentWindowOf(QWidget* widget);
} // namespace documents
