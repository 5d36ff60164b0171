// The words spelling checks, on arbitrary bytes read as any kind of file from any point: every word
// lies inside the range asked for and inside the text, in order, without overlap, and holds no
// blank and no markup.
#include "edit/Spelling.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t knobs = data[0], cut = data[1], end = data[2];
    const QByteArray text(reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3));
    const spelling::Mode mode = spelling::Mode(knobs % 5);
    const qint64 base = (knobs & 8) ? 1000 : 0;
    const qint64 from = base + qint64(cut) * text.size() / 255;
    const qint64 to = std::max(from, base + qint64(end) * text.size() / 255);
    qint64 last = -1;
    for (const spelling::Word& w : spelling::words(text, base, from, to, mode, knobs & 16)) {
        fuzz::check(w.from >= from && w.from < to, "a word begins in the range", text);
        fuzz::check(w.to > w.from && w.to <= base + text.size(), "a word lies in the text", text);
        fuzz::check(w.from >= last, "words in order, apart", text);
        last = w.to;
        const QByteArray word = text.mid(w.from - base, w.to - w.from);
        for (char c : {' ', '\n', '\t', '<', '>', '&', '@', '/'})
            fuzz::check(!word.contains(c), "a word is letters", text);
    }
    spelling::pageLanguage(text);
    return 0;
}
