#include "search/TextSearch.h"

#include <QRandomGenerator>
#include <QTest>

using textsearch::Direction;

namespace {

// The naive search the fast one must agree with: both strings mapped character by character,
// then compared at every UTF-16 position in turn. Works in UTF-16 positions of the QString.
QString mapped(const QString& s, bool matchCase) {
    if (matchCase) return s;
    QList<uint> cps = s.toUcs4();
    for (uint& cp : cps) {
        const uint u = QChar::toUpper(cp);
        if ((u >= 0x10000) == (cp >= 0x10000)) cp = u;
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(cps.constData()), cps.size());
}

qint64 naive(const QString& text, const QString& pattern, bool matchCase, Direction dir, qint64 from) {
    const QString t = mapped(text, matchCase), p = mapped(pattern, matchCase);
    Q_ASSERT(t.size() == text.size() && p.size() == pattern.size());
    const qint64 last = t.size() - p.size();
    if (dir == Direction::Down) {
        for (qint64 i = std::max<qint64>(from, 0); i <= last; ++i)
            if (QStringView(t).mid(i, p.size()) == p) return i;
    } else {
        for (qint64 i = std::min(from - 1, last); i >= 0; --i)
            if (QStringView(t).mid(i, p.size()) == p) return i;
    }
    return -1;
}

qint64 byteOf(const QString& text, qint64 index) { return text.left(index).toUtf8().size(); }
qint64 indexOf(const QByteArray& utf8, qint64 byte) { return QString::fromUtf8(utf8.left(byte)).size(); }

// The fast search, in UTF-16 positions: returns the hit's start and checks its length.
qint64 fast(const QString& text, const QString& pattern, bool matchCase, Direction dir, qint64 from,
            qint64* length = nullptr) {
    const QByteArray t = text.toUtf8(), p = pattern.toUtf8();
    const textsearch::Match m = textsearch::find(t.constData(), t.size(), p.constData(), p.size(), matchCase, dir,
                                                 byteOf(text, from));
    if (!m) return -1;
    if (length) *length = indexOf(t, m.end) - indexOf(t, m.start);
    return indexOf(t, m.start);
}

// Characters that like to trip searches up: case pairs, letters whose upper case is ASCII or
// that have none, line breaks, NUL, characters outside the BMP.
const char32_t kAlphabet[] = {
    U'a',      U'A',      U'b',      U'B',      U's',      U'S',      U'i',      U'I',      U'k',
    U'K',      U'1',      U'\0',     U'\r',     U'\n',     U' ',      U'\u00DF', U'\u1E9E', U'\u0131',
    U'\u0130', U'\u017F', U'\u212A', U'\u00E9', U'\u00C9', U'\u03C3', U'\u03C2', U'\u03A3', U'\u0345',
    U'\u0399', U'\u20AC', U'\U00010400', U'\U00010428', U'\U0001F600',
};

QString randomText(QRandomGenerator& rng, int maxChars, int alphabetSize = int(std::size(kAlphabet))) {
    const int n = rng.bounded(maxChars + 1);
    QString s;
    for (int i = 0; i < n; ++i) {
        const char32_t c = kAlphabet[rng.bounded(alphabetSize)];
        s += QString::fromUcs4(&c, 1);
    }
    return s;
}

// A random position on a character boundary of the text (0 to size).
qint64 randomBoundary(QRandomGenerator& rng, const QString& text) {
    qint64 i = rng.bounded(int(text.size()) + 1);
    if (i > 0 && i < text.size() && text.at(i).isLowSurrogate()) --i;
    return i;
}

} // namespace

class TextSearchTest : public QObject {
    Q_OBJECT
private slots:
    void rules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("down");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("expected");

        QTest::newRow("down at from") << "xxxxxabc" << "abc" << true << true << qint64(5) << qint64(5);
        QTest::newRow("down after from") << "abc abc" << "abc" << true << true << qint64(1) << qint64(4);
        QTest::newRow("down none after") << "abc abc" << "abc" << true << true << qint64(5) << qint64(-1);
        QTest::newRow("down overlapping 0") << "aaaa" << "aa" << true << true << qint64(0) << qint64(0);
        QTest::newRow("down overlapping 1") << "aaaa" << "aa" << true << true << qint64(1) << qint64(1);
        QTest::newRow("down overlapping 2") << "aaaa" << "aa" << true << true << qint64(2) << qint64(2);
        QTest::newRow("down overlapping 3") << "aaaa" << "aa" << true << true << qint64(3) << qint64(-1);
        QTest::newRow("down past end") << "abc" << "c" << true << true << qint64(9) << qint64(-1);
        QTest::newRow("up just before") << "abc" << "c" << true << false << qint64(3) << qint64(2);
        QTest::newRow("up not at from") << "abc" << "c" << true << false << qint64(2) << qint64(-1);
        QTest::newRow("up reaches past from") << "abcd" << "bcd" << true << false << qint64(2) << qint64(1);
        QTest::newRow("up nearest") << "abcabc" << "abc" << true << false << qint64(4) << qint64(3);
        QTest::newRow("up from 0") << "abc" << "a" << true << false << qint64(0) << qint64(-1);
        QTest::newRow("longer than text") << "ab" << "abc" << false << true << qint64(0) << qint64(-1);
        QTest::newRow("empty text") << "" << "a" << false << false << qint64(0) << qint64(-1);
        QTest::newRow("case ignored") << "xABCx" << "abc" << false << true << qint64(0) << qint64(1);
        QTest::newRow("case kept") << "xABCx" << "abc" << true << true << qint64(0) << qint64(-1);
        QTest::newRow("sharp s is itself") << "STRASSE stra\u00dfe" << "STRA\u00dfE" << false << true << qint64(0)
                                           << qint64(8);
        QTest::newRow("sharp s is not SS") << "strasse" << "stra\u00dfe" << false << true << qint64(0)
                                           << qint64(-1);
        QTest::newRow("capital sharp s differs") << "\u1e9e" << "\u00df" << false << true << qint64(0)
                                                 << qint64(-1);
        QTest::newRow("dotless i is I") << "x\u0131x" << "I" << false << true << qint64(0) << qint64(1);
        QTest::newRow("dotted I is not i") << "\u0130" << "i" << false << true << qint64(0) << qint64(-1);
        QTest::newRow("long s is S") << "\u017f" << "s" << false << true << qint64(0) << qint64(0);
        QTest::newRow("long s with case") << "\u017f" << "s" << true << true << qint64(0) << qint64(-1);
        QTest::newRow("kelvin is not k") << "\u212a" << "k" << false << true << qint64(0) << qint64(-1);
        QTest::newRow("k is not kelvin") << "k" << "\u212a" << false << true << qint64(0) << qint64(-1);
        QTest::newRow("kelvin is kelvin") << "a\u212a" << "\u212a" << false << false << qint64(2) << qint64(1);
        QTest::newRow("sigmas") << "\u03a3\u0391\u03a3" << "\u03c3\u03b1\u03c2" << false << true << qint64(0)
                                << qint64(0);
        QTest::newRow("deseret") << "x\U00010428y" << "\U00010400" << false << true << qint64(0) << qint64(1);
        QTest::newRow("deseret with case") << "x\U00010428y" << "\U00010400" << true << true << qint64(0)
                                           << qint64(-1);
        QTest::newRow("nul") << QString::fromUtf16(u"a\0b\0c", 5) << QString::fromUtf16(u"\0c", 2) << true << true
                             << qint64(0) << qint64(3);
        QTest::newRow("lf only") << "a\r\nb\nc" << "\nc" << false << true << qint64(0) << qint64(4);
        QTest::newRow("crlf not lf") << "a\r\nb\nc" << "\r\nc" << false << true << qint64(0) << qint64(-1);
        QTest::newRow("crlf") << "a\r\nb\nc" << "\r\nb" << false << false << qint64(7) << qint64(1);
    }
    void rules() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        QFETCH(bool, down);
        QFETCH(qint64, from);
        QFETCH(qint64, expected);
        const Direction dir = down ? Direction::Down : Direction::Up;
        qint64 length = -1;
        QCOMPARE(fast(text, pattern, matchCase, dir, from, &length), expected);
        if (expected >= 0) QCOMPARE(length, pattern.size());
        QCOMPARE(naive(text, pattern, matchCase, dir, from), expected);
    }

    // The fast search against the naive one on random texts, patterns and positions.
    void agreesWithNaiveSearch_data() {
        QTest::addColumn<int>("alphabet");
        QTest::addColumn<int>("maxChars");
        QTest::newRow("two letters, short") << 2 << 40;
        QTest::newRow("ascii and line breaks") << 15 << 120;
        QTest::newRow("everything") << int(std::size(kAlphabet)) << 120;
        QTest::newRow("everything, long") << int(std::size(kAlphabet)) << 600;
    }
    void agreesWithNaiveSearch() {
        QFETCH(int, alphabet);
        QFETCH(int, maxChars);
        QRandomGenerator rng(4711 + alphabet * 31 + maxChars);
        for (int round = 0; round < 1500; ++round) {
            const QString text = randomText(rng, maxChars, alphabet);
            QString pattern;
            if (!text.isEmpty() && rng.bounded(2)) {
                const qint64 a = randomBoundary(rng, text);
                qint64 b = std::min<qint64>(text.size(), a + 1 + rng.bounded(4));
                if (b < text.size() && text.at(b).isLowSurrogate()) ++b;
                pattern = text.mid(a, b - a);
            }
            while (pattern.isEmpty()) pattern = randomText(rng, 3, alphabet);
            const bool matchCase = rng.bounded(2);
            const QByteArray t = text.toUtf8(), p = pattern.toUtf8();
            const textsearch::Pattern prepared(p, matchCase);
            for (int k = 0; k < 4; ++k) {
                const qint64 from = randomBoundary(rng, text);
                for (Direction dir : {Direction::Down, Direction::Up}) {
                    const qint64 want = naive(text, pattern, matchCase, dir, from);
                    const qint64 fromByte = byteOf(text, from);
                    const textsearch::Match m = dir == Direction::Down
                                                    ? prepared.findForward(t.constData(), t.size(), fromByte)
                                                    : prepared.findBackward(t.constData(), t.size(), fromByte);
                    const qint64 got = m ? indexOf(t, m.start) : -1;
                    if (got != want) {
                        qWarning() << "text" << text << "pattern" << pattern << "case" << matchCase << "from" << from
                                   << (dir == Direction::Down ? "down" : "up");
                    }
                    QCOMPARE(got, want);
                    if (m) QCOMPARE(indexOf(t, m.end) - got, pattern.size());
                }
            }
        }
    }

    // Bytes that are not UTF-8 never match and never make the search read past the text.
    void malformedBytesNeverMatch() {
        QRandomGenerator rng(99);
        const QByteArray junk[] = {"\x80", "\xC3", "\xE2\x82", "\xF0\x90\x90", "\xED\xA0\x80", "\xC0\xAF", "\xFF"};
        for (int round = 0; round < 2000; ++round) {
            QByteArray t;
            const int parts = rng.bounded(40);
            for (int i = 0; i < parts; ++i) {
                if (rng.bounded(3) == 0) t += junk[rng.bounded(int(std::size(junk)))];
                else t += QString::fromUcs4(&kAlphabet[rng.bounded(20)], 1).toUtf8();
            }
            const QString pattern = randomText(rng, 2, 20) + QStringLiteral("\u00e9");
            const QByteArray p = pattern.toUtf8();
            for (bool matchCase : {true, false}) {
                const textsearch::Pattern prepared(p, matchCase);
                for (qint64 from = 0; from <= t.size(); ++from) {
                    for (const textsearch::Match m : {prepared.findForward(t.constData(), t.size(), from),
                                                      prepared.findBackward(t.constData(), t.size(), from)}) {
                        if (!m) continue;
                        QVERIFY(m.end <= t.size());
                        const QByteArray hit = t.mid(m.start, m.end - m.start);
                        QVERIFY(QString::fromUtf8(hit).toUtf8() == hit);   // well-formed
                        QCOMPARE(mapped(QString::fromUtf8(hit), matchCase), mapped(pattern, matchCase));
                    }
                }
            }
        }
        // A truncated character at the very end is not read beyond.
        const QByteArray t("ab\xC3");
        const textsearch::Pattern p(QStringLiteral("\u00e9").toUtf8(), false);
        QVERIFY(!p.findForward(t.constData(), t.size(), 0));
    }

    // Upward searches go through the text in blocks; hits on and across block borders are found.
    void upwardOverLargeTexts_data() {
        QTest::addColumn<bool>("matchCase");
        QTest::newRow("case") << true;
        QTest::newRow("no case") << false;
    }
    void upwardOverLargeTexts() {
        QFETCH(bool, matchCase);
        const qint64 size = 3 * 1024 * 1024;
        // The first block holds the starts [size - 4 + 1 - 65536, size - 4 + 1), the next one the
        // 131072 starts below it: hits on both sides of both borders.
        const qint64 border1 = size - 4 + 1 - 65536, border2 = border1 - 131072;
        for (qint64 at : {qint64(0), qint64(1), qint64(65535), qint64(65536 - 2), qint64(size - 65536 - 1),
                          qint64(size - 3 * 65536 + 1), qint64(size - 4), border1, border1 - 1, border2, border2 - 1}) {
            QByteArray t(size, 'a');
            t.replace(at, 4, "Abcd");
            const QByteArray p = matchCase ? QByteArray("Abcd") : QByteArray("aBCD");
            const textsearch::Pattern prepared(p, matchCase);
            QCOMPARE(prepared.findBackward(t.constData(), t.size(), t.size()).start, at);
            QCOMPARE(prepared.findBackward(t.constData(), t.size(), at + 1).start, at);
            QCOMPARE(prepared.findBackward(t.constData(), t.size(), at).start, qint64(-1));
            QCOMPARE(prepared.findForward(t.constData(), t.size(), 0).start, at);
            QCOMPARE(prepared.findForward(t.constData(), t.size(), at + 1).start, qint64(-1));
        }
        // Every position a hit: the nearest one is found at once.
        const QByteArray all(size, 'a');
        const textsearch::Pattern aa("aa", matchCase);
        QCOMPARE(aa.findBackward(all.constData(), all.size(), all.size()).start, qint64(size - 2));
        QCOMPARE(aa.findBackward(all.constData(), all.size(), 70000).start, qint64(69999));
    }
};

QTEST_MAIN(TextSearchTest)
#include "TextSearch_test.moc"
