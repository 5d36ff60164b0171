#include "search/GoToLine.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <limits>

namespace gotoline {

std::optional<Target> parse(const QString& typed) {
    static const QRegularExpression form(QStringLiteral("^\\s*([+-]?\\d+)\\s*(?:[:,]\\s*([+-]?\\d+)\\s*)?$"));
    const QRegularExpressionMatch m = form.match(typed);
    if (!m.hasMatch()) return std::nullopt;
    const auto number = [](const QString& digits) {
        bool ok = false;
        const qint64 n = digits.toLongLong(&ok);
        if (!ok) return digits.startsWith(QLatin1Char('-')) ? qint64(1) : std::numeric_limits<qint64>::max();
        return std::max<qint64>(1, n);
    };
    Target t;
    t.line = number(m.captured(1));
    if (m.hasCaptured(2)) t.column = number(m.captured(2));
    return t;
}

QString notANumberMessage(const QString& typed) {
    return QCoreApplication::translate(
               "GoToLine", "\"%1\" is not a line number. Type a line number, or a line and a column as in 12:5.")
        .arg(typed.trimmed());
}

} // namespace gotoline
