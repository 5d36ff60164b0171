#include "edit/EditCommands.h"

#include "documents/DocumentFrame.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"

namespace editcmd {

QString timeDateStamp(const QDateTime& when) {
    if (!when.isValid()) return QString();
    const QTime t = when.time();
    const QDate d = when.date();
    // A 12-hour clock that counts 0 to 11: both midnight and noon are hour 0.
    const int hour = t.hour() % 12;
    const char* marker = t.hour() < 12 ? "AM" : "PM";
    const QChar zero(u'0');
    // QString::arg with a plain number ignores the locale: the digits are always ASCII.
    return QStringLiteral(" %1:%2 %3 %4-%5-%6")
        .arg(hour)
        .arg(t.minute(), 2, 10, zero)
        .arg(QLatin1String(marker))
        .arg(d.month(), 2, 10, zero)
        .arg(d.day(), 2, 10, zero)
        .arg(d.year(), 4, 10, zero);
}

void TimeDate(DocumentFrame& frame) {
    RichTextBox* rtb = activeEditor(frame);
    if (!rtb) return;
    const QString stamp = timeDateStamp(tp::sys().now());
    if (stamp.isEmpty()) return;
    putText(*rtb, stamp);
}

} // namespace editcmd
