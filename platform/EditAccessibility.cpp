#include "platform/EditAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace tp {
namespace {
// QScintilla's accessible text interface turns byte positions into character offsets by counting
// the characters from the start of the document, on every change and every caret move, even when
// no assistive technology listens: typing near the end of a 100 MB document then takes a second
// a key. While none listens, the control is described as a plain editable-text widget; a screen
// reader that is running when the control is first described gets QScintilla's full interface.
QAccessibleInterface* describeEditControl(const QString& className, QObject* object) {
    if (className != QLatin1String("RichTextBox") || QAccessible::isActive()) return nullptr;
    auto* widget = qobject_cast<QWidget*>(object);
    return widget ? new QAccessibleWidget(widget, QAccessible::EditableText) : nullptr;
}
} // namespace

void installEditAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(describeEditControl);
        return true;
    }();
    (void)installed;
}

bool assistiveTechnologyActive() { return QAccessible::isActive(); }

} // namespace tp
