#pragma once
// The documents as tabs of the frame (View > Tabbed Documents, the user's choice, kept in
// editor.conf) and the keys that go to the next or previous document in either mode.
//
// A tab names its document by the file's own name (in its real case, not the upper-case caption),
// with the whole path as its tip and "*" before it while the document has unsaved changes. The
// windows' captions stay as they are. Closing a tab (its close button, a middle click) closes the
// window the way File > Close does, asking first when it changed.
#include <QObject>
#include <QPointer>
#include <QString>

class DocumentFrame;
class Form1;
class QMdiArea;
class QTabBar;

namespace windowcmd {

// What the document's tab shows, and its tip.
QString tabText(const Form1& form);
QString tabTip(const Form1& form);

class DocumentTabs : public QObject {
    Q_OBJECT
public:
    // Shows the documents as the user last chose.
    DocumentTabs(DocumentFrame& frame, QObject* parent);

    bool tabbed() const;
    // Tabs or windows; the choice is the user's preference from now on.
    void setTabbed(bool on);
    // The window's tab follows its changes, caption and file.
    void follow(Form1& form);
    // The tab texts are brought up to date once the events in hand are done.
    void scheduleRefresh();
    // Activates the next (or previous) document in the frame's order, round to the first (last).
    void activateNext(bool forward);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void apply(bool on);
    bool shownAsTabs() const;
    void refresh();

    // The frame's area, not the frame: the area may still send news while the frame is destroyed.
    QPointer<QMdiArea> mdi_;
    QPointer<QTabBar> tabBar_;   // the MDI area's own, once tabs are shown
    bool pending_ = false;
    bool startTabbed_ = false;   // tabs wanted, put up when the frame first shows
};

} // namespace windowcmd
