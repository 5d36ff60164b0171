#include "search/Replacement.h"

#include <QCoreApplication>

namespace search {

bool Replacement::prepare(const QString& text, const Matcher& matcher, QString* error) {
    pieces_.clear();
    const QByteArray utf8 = text.toUtf8();
    if (!matcher.query().regex) {
        pieces_.push_back({utf8, -1});
        return true;
    }
    QByteArray literal;
    const auto flush = [&] {
        if (!literal.isEmpty()) pieces_.push_back({literal, -1});
        literal.clear();
    };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const int groups = matcher.groupCount();
    QString bad;
    const auto addGroup = [&](int n, const QString& written) {
        if (n < 0 || n > groups) {
            if (bad.isEmpty()) bad = written;
            return;
        }
        flush();
        pieces_.push_back({{}, n});
    };
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const char next = i + 1 < utf8.size() ? utf8[i + 1] : '\0';
        if (c == '\\' && i + 1 < utf8.size()) {
            switch (next) {
            case 'n': literal += '\n'; break;
            case 'r': literal += '\r'; break;
            case 't': literal += '\t'; break;
            case '\\': literal += '\\'; break;
            default:
                if (isDigit(next)) {
                    addGroup(next - '0', QStringLiteral("\\") + QLatin1Char(next));
                } else {
                    literal += c;
                    continue;   // the next character is read on its own
                }
            }
            ++i;
        } else if (c == '$' && (next == '$' || next == '&')) {
            if (next == '$') literal += '$';
            else addGroup(0, QStringLiteral("$&"));
            ++i;
        } else if (c == '$' && isDigit(next)) {
            // Two digits when they name a group, else one.
            int n = next - '0';
            qsizetype used = 1;
            if (i + 2 < utf8.size() && isDigit(utf8[i + 2]) && n * 10 + (utf8[i + 2] - '0') <= groups) {
                n = n * 10 + (utf8[i + 2] - '0');
                used = 2;
            }
            addGroup(n, QString::fromUtf8(utf8.mid(i, used + 1)));
            i += used;
        } else if (c == '$' && next == '{' && utf8.indexOf('}', i + 2) > i + 2) {
            const qsizetype close = utf8.indexOf('}', i + 2);
            const QByteArray name = utf8.mid(i + 2, close - i - 2);
            bool number = false;
            const int n = name.toInt(&number);
            addGroup(number ? n : matcher.groupNumber(QString::fromUtf8(name)),
                     QString::fromUtf8(utf8.mid(i, close - i + 1)));
            i = close;
        } else {
            literal += c;
        }
    }
    flush();
    if (!bad.isEmpty()) {
        pieces_.clear();
        if (error) {
            *error = groups == 1 ? QCoreApplication::translate("Replacement", "The replacement refers to %1, which the "
                                                                              "regular expression does not have (it has 1 group).")
                                       .arg(bad)
                                 : QCoreApplication::translate("Replacement", "The replacement refers to %1, which the "
                                                                              "regular expression does not have (it has %2 groups).")
                                       .arg(bad)
                                       .arg(groups);
        }
        return false;
    }
    return true;
}

void Replacement::appendTo(QByteArray& out, const char* text, const Matcher& matcher) const {
    for (const Piece& p : pieces_) {
        if (p.group < 0) {
            out += p.literal;
        } else if (const Match g = matcher.group(p.group)) {
            out.append(text + g.start, g.end - g.start);
        }
    }
}

QByteArray Replacement::of(const char* text, const Matcher& matcher) const {
    QByteArray out;
    appendTo(out, text, matcher);
    return out;
}

ReplacePlan planReplaceAll(const Matcher& matcher, const Replacement& replacement, const char* text, qint64 length,
                           qint64 from, qint64 to, qint64 chunkBytes) {
    ReplacePlan plan;
    from = std::clamp<qint64>(from, 0, length);
    to = std::clamp<qint64>(to, from, length);
    bool open = false;
    Match m = matcher.findForward(text, length, from);
    while (m && m.start <= to && !matcher.gaveUp()) {
        if (m.end > to) {   // reaches out of the range: look on from the next character
            if (m.start >= length) break;
            m = matcher.findForward(text, length, m.start + 1);
            continue;
        }
        if (!open) {
            plan.chunks.push_back({m.start, m.start, {}});
            open = true;
        }
        ReplaceChunk& chunk = plan.chunks.back();
        chunk.text.append(text + chunk.to, m.start - chunk.to);
        replacement.appendTo(chunk.text, text, matcher);
        chunk.to = m.end;
        ++plan.count;
        if (chunk.text.size() >= chunkBytes) open = false;
        m = matcher.findNextOf(text, length, m);
    }
    if (matcher.gaveUp()) return {{}, 0, 0, true};
    for (const ReplaceChunk& chunk : plan.chunks) plan.growth += chunk.text.size() - (chunk.to - chunk.from);
    return plan;
}

} // namespace search
