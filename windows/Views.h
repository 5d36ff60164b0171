#pragma once
// More than one view of a document (Window > New Window): the views' windows, their captions
// (the document's caption and ":1", ":2", ... while there is more than one) and their closing.
//
// The document window (Form1) is always one of the views: it holds the document. Closing a view
// that is not the last asks nothing; when it is the document window's own that closes, the
// document window takes the place of another view (its caret and scroll position), so that the
// document itself never closes while a view of it is open. Closing the last view is closing the
// document, with its question as always.
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>

class DocumentFrame;
class ExtraView;
class Form1;
class QMdiArea;
class QMdiSubWindow;

namespace windowcmd {

// The dynamic property of a view's subwindow that holds its ":n" (empty while it is the only one).
inline constexpr const char* kViewSuffix = "viewSuffix";

class DocumentViews : public QObject {
    Q_OBJECT
public:
    // 'prepare' readies each new view's subwindow as the frame readies a document window's.
    DocumentViews(DocumentFrame& frame, std::function<void(QMdiSubWindow&)> prepare, QObject* parent);

    // Window > New Window: another view of the active document, made active.
    void openView();
    // The extra views of a document, in the order they were opened.
    QList<ExtraView*> viewsOf(const Form1& form) const;
    // Before and after a command: the active view's selection is the document window's.
    void beforeCommand();
    void afterCommand();
    // The frame closes (every question answered): every extra view closes, and closes nothing else.
    void closeAll();

signals:
    // Captions changed (tabs show the ":n" too).
    void renumbered();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    ExtraView* activeView() const;
    void renumber(Form1& form);
    void moveInto(Form1& form, ExtraView& view);

    DocumentFrame& frame_;
    QPointer<QMdiArea> mdi_;
    std::function<void(QMdiSubWindow&)> prepare_;
    QSet<const Form1*> followed_;
    bool closingAll_ = false;
};

} // namespace windowcmd
