#include "edit/ProblemSpans.h"

#include "platform/Utf8.h"

#include <algorithm>

namespace problems {
namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// The start of the line after the one that holds 'at' (or the text's end).
qint64 nextLine(const char* text, qint64 size, qint64 at) {
    while (at < size && !isLineEnd(text[at])) ++at;
    if (at < size && text[at] == '\r' && at + 1 < size && text[at + 1] == '\n') return at + 2;
    return at < size ? at + 1 : size;
}

// One column of Tidy's: a character, or bytes that are not UTF-8 as Tidy's reader takes them (a
// lead byte and the continuation bytes that follow it, up to the length it announces; any other
// byte alone).
qint64 tidyStep(const unsigned char* p, qint64 avail) {
    const unsigned char b = p[0];
    int n = 1;
    if ((b & 0xE0) == 0xC0) n = 2;
    else if ((b & 0xF0) == 0xE0) n = 3;
    else if ((b & 0xF8) == 0xF0) n = 4;
    else if ((b & 0xFC) == 0xF8) n = 5;
    else if ((b & 0xFE) == 0xFC) n = 6;
    qint64 i = 1;
    while (i < n && i < avail && utf8::isContinuation(p[i])) ++i;
    return i;
}

// The byte 'column - 1' columns after the line start, or the line's end.
qint64 columnOf(const char* text, qint64 size, qint64 lineStart, int column) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    qint64 at = lineStart;
    for (int c = 1; c < column && at < size && !isLineEnd(text[at]); ++c) at += tidyStep(bytes + at, size - at);
    return std::min(at, size);
}

} // namespace

std::vector<Problem> place(const char* text, qint64 size, std::vector<Report> reports) {
    if (!text) size = 0;
    size = std::max<qint64>(size, 0);
    // In the order of the text, so that one walk down it places them all; reports of one place
    // keep the order the checker gave.
    std::stable_sort(reports.begin(), reports.end(), [](const Report& a, const Report& b) {
        return std::max(a.line, 1) < std::max(b.line, 1);
    });
    std::vector<Problem> placed;
    placed.reserve(reports.size());
    int line = 1;          // the line that starts at 'lineStart'
    qint64 lineStart = 0;
    for (Report& r : reports) {
        const int wanted = std::max(r.line, 1);
        while (line < wanted && lineStart < size) {
            lineStart = nextLine(text, size, lineStart);
            ++line;
        }
        Problem p;
        p.severity = r.severity;
        p.message = std::move(r.message);
        p.line = line;
        if (line < wanted) {   // past the last line: the text's end
            p.from = size;
            p.column = 1;
        } else {
            p.from = columnOf(text, size, lineStart, std::max(r.column, 1));
            p.column = std::max(r.column, 1);
        }
        p.to = p.from;
        spanAt(text, size, p.from, p.to);
        placed.push_back(std::move(p));
    }
    return placed;
}

void spanAt(const char* text, qint64 size, qint64& from, qint64& to) {
    if (!text || size <= 0) {
        from = to = 0;
        return;
    }
    from = std::clamp<qint64>(from, 0, size);
    // At a line's end or the text's end: the character before, when the line has one.
    if (from == size || isLineEnd(text[from])) {
        if (from > 0 && !isLineEnd(text[from - 1])) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(text);
            qint64 start = from - 1;
            // Back to the character's first byte, never over the line end before it.
            while (start > 0 && from - start < utf8::kMaxLength && utf8::isContinuation(bytes[start]) &&
                   !isLineEnd(text[start - 1]))
                --start;
            from = start;
        } else {
            to = from;
            return;
        }
    }
    const qint64 limit = std::min(size, from + kMaxSpan);
    qint64 end = from + 1;
    if (text[from] == '<') {
        while (end < limit && !isLineEnd(text[end]) && text[end] != '>') ++end;
        if (end < limit && text[end] == '>') ++end;
    } else {
        while (end < limit && !isLineEnd(text[end]) && text[end] != ' ' && text[end] != '\t' && text[end] != '<')
            ++end;
    }
    // Never inside a character: the span ends where one ends.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    while (end < size && end < from + kMaxSpan + utf8::kMaxLength && utf8::isContinuation(bytes[end])) ++end;
    to = end;
}

qint64 byteOfUtf16(const char* text, qint64 size, qint64 units) {
    if (!text || size <= 0 || units <= 0) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    qint64 at = 0, counted = 0;
    while (at < size && counted < units) {
        int n = 0;
        at += utf8::step(bytes + at, size - at, n);
        counted += n;
    }
    return std::min(at, size);
}

} // namespace problems
