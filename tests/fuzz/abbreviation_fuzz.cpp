// Abbreviations and the tag rules of the typing aids on arbitrary bytes: an abbreviation expands
// or is refused, never crashes, and stays within its bounds; the tag rules answer for any split of
// any text into the part before the caret and the part after it.
#include "edit/Abbreviation.h"
#include "edit/Markup.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const std::uint8_t knobs = data[0];

    abbreviation::Style style;
    style.indent = (knobs & 1) ? "    " : "\t";
    style.lineEnd = (knobs & 2) ? "\r\n" : "\n";
    style.baseIndent = (knobs & 4) ? "  " : "";
    style.xml = knobs & 8;
    const abbreviation::Expansion x = abbreviation::expand(input, style);
    if (x.ok()) {
        fuzz::check(x.caret <= x.text.size(), "the caret is in the expansion", input);
        fuzz::check(x.text.size() <= abbreviation::kMaxBytes, "the expansion is bounded", input);
        fuzz::check(!x.text.isEmpty(), "an expansion writes something", input);
    } else {
        fuzz::check(x.text.isEmpty(), "a refusal writes nothing", input);
    }
    const qint64 start = abbreviation::startIn(input);
    fuzz::check(start >= 0 && start <= input.size(), "the abbreviation starts in the line", input);

    const qint64 at = input.isEmpty() ? 0 : qint64(knobs) * input.size() / 255;
    const QByteArrayView before = QByteArrayView(input).first(at), after = QByteArrayView(input).sliced(at);
    const markup::Dialect d = (knobs & 16) ? markup::Dialect::Xml : markup::Dialect::Html;
    const QByteArray close = markup::closingTagAfterGt(before, after, d);
    fuzz::check(close.isEmpty() || (close.startsWith("</") && close.endsWith('>')), "an end tag", input);
    const markup::SlashTyped slash = markup::slashTyped(before, after, d);
    fuzz::check(slash.insert.isEmpty() || (slash.insert.endsWith('>') && slash.over == 0), "a name and '>'", input);
    fuzz::check(slash.over >= 0 && slash.over <= after.size(), "typed over within the text", input);
    markup::inText(before, d);
    if (markup::betweenTags(before, after, d)) fuzz::check(before.endsWith('>') && after.startsWith("</"), "between tags", input);
    const qint64 to = std::min<qint64>(input.size(), at + (knobs >> 5));
    const markup::Range r = markup::enclosingElement(input, at, to, d);
    fuzz::check(!r.valid() || (r.from <= at && r.to >= to && r.to <= input.size() && r.to - r.from > to - at),
                "an element around the range, larger than it", input);
    return 0;
}
