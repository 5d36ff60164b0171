// Document encodings: any bytes read as UTF-8 (with its mark or without, well-formed or not), as
// UTF-16 LE or BE behind its mark, or in whatever encoding the detector gives them (behind any
// declaration too), and written back unchanged as Save writes them, come back identical. Checking and decoding piece by piece agree
// with doing it whole, and the edit control's count of UTF-16 code units agrees with QString on
// well-formed text.
#include "io/Charsets.h"
#include "io/Encoding.h"
#include "FuzzCheck.h"
#include "tests/support/EncodingRoundTrip.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace {

using io::Encoding;

void expectRoundTrip(const QByteArray& file, Encoding encoding, const char* what) {
    const QByteArray out = roundTrip(file, encoding);
    if (out != file) fuzz::fail(what, file, out, file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    expectRoundTrip(bytes, Encoding::Utf8, "UTF-8");
    const QByteArray even = bytes.left(bytes.size() & ~qsizetype(1));
    expectRoundTrip("\xFF\xFE" + even, Encoding::Utf16LeBom, "UTF-16 LE");
    expectRoundTrip("\xFE\xFF" + even, Encoding::Utf16BeBom, "UTF-16 BE");
    expectRoundTrip(bytes, io::detectEncoding(bytes), "detected");
    // The same bytes behind a declaration, the label chosen by the first byte.
    static const char* const kLabels[] = {"iso-8859-2", "shift_jis", "euc-jp",  "iso-2022-jp", "gb18030",
                                          "gbk",        "big5",      "euc-kr",  "koi8-u",      "windows-1258",
                                          "ibm866",     "x-mac-cyrillic", "utf-16", "latin1",   "iso-8859-16"};
    const char* label = kLabels[size ? data[0] % std::size(kLabels) : 0];
    const QByteArray declared = QByteArray("<meta charset=") + label + ">" + bytes;
    expectRoundTrip(declared, io::detectEncoding(declared), "declared");

    // Piece by piece as Open reads: the same verdict and the same text.
    const qsizetype cut = size ? data[0] % (size + 1) : 0;
    utf8::Checker whole, pieces;
    whole.feed(bytes.constData(), bytes.size());
    pieces.feed(bytes.constData(), cut);
    pieces.feed(bytes.constData() + cut, bytes.size() - cut);
    fuzz::check(whole.valid() == pieces.valid() && (!whole.valid() || (whole.cutOff() == pieces.cutOff() &&
                                                                       whole.multibyte() == pieces.multibyte())),
                "checking in pieces", bytes);
    fuzz::check(whole.valid() == (bytes.isValidUtf8() || whole.cutOff()), "checking against QString", bytes);
    io::Utf16Decoder split(false);
    QByteArray out(io::Utf16Decoder::room(bytes.size()) + 8, '\0');
    qint64 n = split.feed(bytes.constData(), cut, out.data());
    n += split.feed(bytes.constData() + cut, bytes.size() - cut, out.data() + n);
    n += split.finish(out.data() + n);
    QByteArray scratch;
    const QByteArray oneGo = io::textOf("\xFF\xFE" + bytes, Encoding::Utf16LeBom, scratch).toByteArray();
    if (out.left(n) != oneGo) fuzz::fail("UTF-16 in pieces", bytes, out.left(n), oneGo);

    // A charset decoded in two pieces gives what it gives whole, with the same verdict.
    const io::Encoding charset = io::encodingForLabel(label).value_or(io::Encoding::ShiftJis);
    if (io::isCharset(charset)) {
        io::CharsetDecoder inTwo(charset);
        QByteArray twoOut(io::CharsetDecoder::room(bytes.size()) * 2, '\0');
        qint64 m = inTwo.feed(bytes.constData(), cut, twoOut.data());
        m += inTwo.feed(bytes.constData() + cut, bytes.size() - cut, twoOut.data() + m);
        bool exact = false;
        const QByteArray whole = io::textOf(bytes, charset, scratch, nullptr, &exact).toByteArray();
        fuzz::check(inTwo.finish() == exact, "charset verdict in pieces", bytes);
        if (exact && twoOut.left(m) != whole) fuzz::fail("charset in pieces", bytes, twoOut.left(m), whole);
    }

    // Positions: UTF-16 code units of well-formed text, as QString counts them (with a U+FEFF at
    // the start, which QString::fromUtf8 would drop).
    if (bytes.isValidUtf8()) {
        const qint64 units = QString::fromUtf8(" " + bytes).size() - 1;
        qint64 end = 0;
        fuzz::check(utf8::utf16Units(bytes.constData(), bytes.size()) == units &&
                        utf8::utf16UnitsStepping(bytes.constData(), bytes.size(), bytes.size(), end) == units &&
                        end == bytes.size(),
                    "UTF-16 units", bytes);
    }
    return 0;
}
