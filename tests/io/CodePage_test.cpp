#include "io/CodePage.h"

#include <QTest>

class CodePageTest : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(char(b));
        all = all.repeated(5);   // crosses the 8-byte fast path in every alignment
        const QByteArray utf8 = codepage::decodeToUtf8(all);
        QCOMPARE(utf8.size(), codepage::utf8Length(all.constData(), all.size()));
        QCOMPARE(QString::fromUtf8(utf8), codepage::decode(all));
        QCOMPARE(codepage::firstUnencodable(utf8.constData(), utf8.size()), -1);
        QByteArray back(utf8.size(), '\0');
        back.resize(codepage::encodeFromUtf8(utf8.constData(), utf8.size(), back.data()));
        QCOMPARE(back, all);
        QByteArray viaString;
        QVERIFY(codepage::encode(codepage::decode(all), viaString));
        QCOMPARE(viaString, all);
    }

    void windows1252Characters() {
        // Each of the 32 bytes 0x80-0x9F stands for its own character (round trips cannot tell).
        QByteArray high;
        for (int b = 0x80; b < 0xA0; ++b) high.append(char(b));
        QCOMPARE(codepage::decode(high), QStringLiteral("\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160"
                                                        "\u2039\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022"
                                                        "\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178"));
        QCOMPARE(codepage::toUnicode(0xE9), char16_t(0x00E9));
        // The five bytes the code page leaves unassigned stand for themselves.
        for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) QCOMPARE(int(codepage::toUnicode(b)), b);
        QCOMPARE(codepage::fromUnicode(0x20AC), 0x80);
        QCOMPARE(codepage::fromUnicode(0x0080), -1);   // 0x80 is the euro sign
        QCOMPARE(codepage::fromUnicode(0x1F600), -1);
    }

    void firstUnencodableNamesTheOffset_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<qint64>("offset");
        QTest::newRow("plain") << QByteArray("hello world, long enough for words") << qint64(-1);
        QTest::newRow("greek") << QByteArray("abcdefghij\xce\xb1") << qint64(10);
        QTest::newRow("emoji") << QByteArray("x\xf0\x9f\x98\x80") << qint64(1);
        QTest::newRow("U+0080") << QByteArray("ab\xc2\x80") << qint64(2);
        QTest::newRow("euro ok") << QByteArray("\xe2\x82\xac") << qint64(-1);
        QTest::newRow("malformed") << QByteArray("ok\xff") << qint64(2);
        QTest::newRow("truncated") << QByteArray("ok\xc3") << qint64(2);
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << qint64(0);
        QTest::newRow("nul ok") << QByteArray("a\0b", 3) << qint64(-1);
    }
    void firstUnencodableNamesTheOffset() {
        QFETCH(QByteArray, utf8);
        QFETCH(qint64, offset);
        QCOMPARE(codepage::firstUnencodable(utf8.constData(), utf8.size()), offset);
    }
};

QTEST_GUILESS_MAIN(CodePageTest)
#include "CodePage_test.moc"
