// The text a document drop adds (fileops::joinDroppedLines) against a naive reading of the rule:
// the file is read line by line, a line ending at CR LF or at a lone CR (a lone LF is an ordinary
// character of its line); each line is appended, preceded by CR LF unless the text built so far
// is still empty. So leading empty lines add nothing and no line break follows the last line.
#include "fileops/DragDrop.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

std::vector<QByteArray> referenceLines(const QByteArray& file) {
    std::vector<QByteArray> lines;
    QByteArray line;
    bool pending = false;   // a line has begun that no line end has closed yet
    for (qsizetype i = 0; i < file.size(); ++i) {
        const char c = file[i];
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
            pending = false;
            if (i + 1 < file.size() && file[i + 1] == '\n') ++i;
        } else {
            line.append(c);
            pending = true;
        }
    }
    if (pending) lines.push_back(line);   // the last line needs no line end
    return lines;
}

QByteArray referenceJoin(const QByteArray& file) {
    QByteArray text;
    for (const QByteArray& line : referenceLines(file)) {
        if (!text.isEmpty()) text += "\r\n";
        text += line;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray ours = fileops::joinDroppedLines(input);
    const QByteArray expected = referenceJoin(input);
    if (ours != expected) fuzz::fail("joinDroppedLines", input, ours, expected);
    // Every line end of the result is CR LF: a lone CR never survives.
    for (qsizetype i = 0; i < ours.size(); ++i)
        if (ours[i] == '\r') fuzz::check(i + 1 < ours.size() && ours[i + 1] == '\n', "only CR LF line ends", input);
    return 0;
}
