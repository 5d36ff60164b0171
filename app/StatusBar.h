#pragma once
// The frame's status bar: for the active document window, whether it has unsaved changes, the
// caret's line and column, the kind of line end the document holds and the encoding its file is
// written in. Empty when no document window is open. A click on the encoding opens its menu: read
// the file again in another encoding, choose the encoding the next save writes, choose the
// encoding of new documents. A click on the line end opens its own: convert the document's line
// ends (one undoable change; Enter types the new one), and whether saves end the file with a line
// end.
#include <QMetaObject>
#include <QObject>
#include <QPointer>

class Form1;
class QLabel;
class QMenu;
class QToolButton;
class QMdiArea;
class QStatusBar;

class FrameStatusBar : public QObject {
    Q_OBJECT
public:
    // Fills the status bar with its fields and follows the active document window of the area.
    FrameStatusBar(QMdiArea& mdi, QStatusBar& bar, QObject* parent);

    QString changedText() const;    // "Changed", or empty when the document is as last saved
    QString positionText() const;   // "Ln 3, Col 7"
    QString lineEndText() const;    // "CR LF", "LF", "CR" or "mixed"
    QString codePageText() const;   // "Windows-1252", "UTF-8", ... (io/Encoding.h)

    // The encoding's menu, filled for the active window each time it opens.
    QMenu* encodingMenu() const { return encodingMenu_; }
    void fillEncodingMenu();
    // The line end's menu, likewise.
    QMenu* lineEndMenu() const { return lineEndMenu_; }
    void fillLineEndMenu();
    // Opens either menu under its field, for the keyboard (View > Encoding, View > Line Ends);
    // nothing while no document window is open.
    void showEncodingMenu();
    void showLineEndMenu();

public slots:
    // Shows the active window's state now.
    void refresh();
    // Shows it once the program has finished what it is doing (a command that saved, say).
    void scheduleRefresh();

private:
    void follow(Form1* form);

    QMdiArea& mdi_;
    QLabel* lblChanged_ = nullptr;
    QLabel* lblPosition_ = nullptr;
    QToolButton* btnLineEnds_ = nullptr;
    QMenu* lineEndMenu_ = nullptr;
    QToolButton* btnEncoding_ = nullptr;
    QMenu* encodingMenu_ = nullptr;
    QPointer<Form1> followed_;
    QList<QMetaObject::Connection> connections_;
    bool refreshQueued_ = false;
};
