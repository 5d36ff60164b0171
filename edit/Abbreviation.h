#pragma once
// Abbreviations web authors know, expanded into markup: element names, .class, #id,
// [attr=value ...], > child, + sibling, ^ up a level, *N repeat, $ numbering ($$ pads to two
// digits), {text}, ( ) grouping, and ! alone for an HTML5 page. "ul>li.item$*3" gives a list of
// three numbered items. An element without a name is a div, or what its parent holds (li in a
// list, tr in a table, td in a row, option in a select, span in an inline element).
//
// Widget-free, for any input: an abbreviation expands or is refused (empty result), and the
// result never exceeds kMaxNodes elements or kMaxBytes bytes.
#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace abbreviation {

constexpr int kMaxRepeat = 1000;
constexpr int kMaxNodes = 10000;
constexpr qint64 kMaxBytes = qint64(1) << 20;
constexpr qint64 kMaxLength = 4096;   // of an abbreviation

struct Style {
    QByteArray indent = "\t";       // one step of indentation
    QByteArray lineEnd = "\n";
    QByteArray baseIndent;          // the indentation of the line the abbreviation is on
    bool xml = false;               // names kept as written, no void elements or default attributes
};

struct Expansion {
    QByteArray text;
    qint64 caret = -1;                  // where the caret goes in 'text': the first empty place
    std::vector<QByteArray> names;      // the element names written, as given
    bool ok() const { return caret >= 0; }
};

Expansion expand(QByteArrayView abbreviation, const Style& style);

// Where the abbreviation that ends 'line' (the line up to the caret) begins: after the last blank
// or tag before it, with brackets and braces passed whole. line.size() when there is none.
qint64 startIn(QByteArrayView line);

} // namespace abbreviation
