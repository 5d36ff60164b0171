#pragma once
// The wait cursor over the whole application while the object lives (or until done()).
#include <QApplication>
#include <QCursor>

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { done(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // Restores the cursor now, before a message is shown.
    void done() {
        if (active_) QApplication::restoreOverrideCursor();
        active_ = false;
    }

private:
    bool active_ = true;
};
