// The bridge from a checker's reports to the bytes of the text, on arbitrary bytes in any encoding
// and arbitrary lines and columns: every span lies inside the text, on one line, within its bound,
// on the line the report names (or the last); and HTML Tidy's own reports on the same bytes (short
// inputs) land inside the text too.
#include "edit/HtmlCheck.h"
#include "edit/ProblemSpans.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>

namespace {

// Lines before 'at', counted independently: LF, CR LF and a lone CR each end one.
int lineOf(const QByteArray& text, qint64 at) {
    int line = 1;
    for (qint64 i = 0; i < at; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    }
    return line;
}

void checkSpans(const QByteArray& text, const std::vector<problems::Problem>& placed, const QByteArray& input) {
    for (const problems::Problem& p : placed) {
        fuzz::check(p.from >= 0 && p.from <= p.to && p.to <= text.size(), "the span lies inside the text", input);
        fuzz::check(p.to - p.from <= problems::kMaxSpan + 4, "the span is bounded", input);
        for (qint64 i = p.from; i < p.to; ++i)
            fuzz::check(text[i] != '\n' && text[i] != '\r', "the span keeps to one line", input);
    }
}

} // namespace

// libtidy 5.6 loses a few bytes on some malformed processing instructions ("<?xml 3<\">"): its own
// leak, not the bridge's, and not one to stop the run for.
extern "C" const char* __lsan_default_suppressions() { return "leak:libtidy.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray text = input.mid(9);
    // Four reports from the first eight bytes: lines 0..15 and columns 0..63 (0 and beyond the
    // text included).
    std::vector<problems::Report> reports;
    for (int i = 0; i < 4; ++i) reports.push_back({data[2 * i] % 16, data[2 * i + 1] % 64, {}, {}});
    const int lastLine = lineOf(text, text.size());
    const auto placed = problems::place(text.constData(), text.size(), reports);
    fuzz::check(placed.size() == reports.size(), "every report is placed", input);
    checkSpans(text, placed, input);
    for (const problems::Problem& p : placed) {
        const int line = lineOf(text, p.from);
        fuzz::check(line == std::min(std::max(p.line, 1), lastLine), "the span is on the report's line", input);
    }
    const qint64 byte = problems::byteOfUtf16(text.constData(), text.size(), data[8]);
    fuzz::check(byte >= 0 && byte <= text.size(), "a UTF-16 offset lands inside the text", input);

    // Tidy and the XML reader on the same bytes.
    if (text.size() <= 2048) {
        checkSpans(text, htmlcheck::check((data[8] & 1) ? htmlcheck::Language::Xml : htmlcheck::Language::Html, text,
                                          data[8] & 2, data[8] & 4)
                             .problems,
                   input);
    }
    return 0;
}
