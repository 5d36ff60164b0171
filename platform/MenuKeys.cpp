#include "platform/MenuKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace tp {

void returnKeysOnEscape(QMenuBar& bar) {
    QMenuBar* b = &bar;
    for (QAction* a : bar.actions()) {
        QMenu* menu = a->menu();
        if (!menu) continue;
        // Once the menu has gone (and no other one of the bar opened instead), a bar still holding
        // the keys leaves its keyboard mode as a second Escape would make it.
        QObject::connect(menu, &QMenu::aboutToHide, b, [b] {
            QMetaObject::invokeMethod(
                b,
                [b] {
                    if (!b->hasFocus() || QApplication::activePopupWidget()) return;
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QCoreApplication::sendEvent(b, &escape);
                },
                Qt::QueuedConnection);
        });
    }
}

} // namespace tp
