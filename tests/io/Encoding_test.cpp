#include "io/Encoding.h"
#include "support/EncodingRoundTrip.h"

#include <QTest>

using io::Encoding;
Q_DECLARE_METATYPE(io::Encoding)


class EncodingTest : public QObject {
    Q_OBJECT
private slots:
    void detection_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Encoding>("expected");
        const QByteArray pad(2000, 'x');   // pushes what follows past the first 1024 bytes
        QTest::newRow("empty") << QByteArray() << Encoding::Windows1252;
        QTest::newRow("ASCII only") << QByteArray("<p>plain</p>\r\n") << Encoding::Windows1252;
        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBFok") << Encoding::Utf8Bom;
        QTest::newRow("UTF-8 mark, then not UTF-8") << QByteArray("\xEF\xBB\xBF\xE9") << Encoding::Utf8Bom;
        QTest::newRow("UTF-16 LE mark") << QByteArray("\xFF\xFEh\0i\0", 6) << Encoding::Utf16LeBom;
        QTest::newRow("UTF-16 BE mark") << QByteArray("\xFE\xFF\0h\0i", 6) << Encoding::Utf16BeBom;
        QTest::newRow("UTF-16 mark, odd size") << QByteArray("\xFF\xFEh\0i", 5) << Encoding::Windows1252;
        QTest::newRow("UTF-16 without mark") << QByteArray("h\0i\0\xE9\0", 6) << Encoding::Windows1252;
        QTest::newRow("UTF-8 accents") << QByteArray("Caf\xC3\xA9 \xE2\x82\xAC") << Encoding::Utf8;
        QTest::newRow("UTF-8 four bytes") << QByteArray("x\xF0\x9F\x98\x80") << Encoding::Utf8;
        QTest::newRow("UTF-8 cut off at the end") << QByteArray("caf\xC3\xA9 \xE2\x82") << Encoding::Utf8;
        QTest::newRow("cut off, nothing whole") << QByteArray("abc\xE2\x82") << Encoding::Windows1252;
        QTest::newRow("Windows-1252 accents") << QByteArray("Caf\xE9 cr\xE8me") << Encoding::Windows1252;
        QTest::newRow("UTF-8 then a stray byte") << QByteArray("caf\xC3\xA9 \xE9t\xE9") << Encoding::Windows1252;
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << Encoding::Windows1252;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << Encoding::Windows1252;
        QTest::newRow("binary with NULs") << QByteArray("\x7F" "ELF\2\1\1\0\0\0\x90\xFF", 12) << Encoding::Windows1252;
        QTest::newRow("meta charset") << QByteArray("<html><head><META Charset=\"utf-8\">caf\xE9") << Encoding::Utf8;
        QTest::newRow("meta charset unquoted") << QByteArray("<meta charset=UTF8 />") << Encoding::Utf8;
        QTest::newRow("http-equiv") << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">")
                                   << Encoding::Utf8;
        QTest::newRow("meta other charset") << QByteArray("<meta charset=\"iso-8859-1\">caf\xE9") << Encoding::Windows1252;
        QTest::newRow("charset outside meta") << QByteArray("var charset = 'utf-8';") << Encoding::Windows1252;
        QTest::newRow("meta after 1024 bytes") << pad + "<meta charset=\"utf-8\">" << Encoding::Windows1252;
        QTest::newRow("XML declaration") << QByteArray("<?xml version=\"1.0\" encoding='UTF-8'?><a/>") << Encoding::Utf8;
        QTest::newRow("XML other encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?>")
                                            << Encoding::Windows1252;
        QTest::newRow("CSS @charset") << QByteArray("@charset \"UTF-8\";\nbody{}") << Encoding::Utf8;
        QTest::newRow("CSS @charset later") << QByteArray("body{}\n@charset \"UTF-8\";") << Encoding::Windows1252;
    }
    void detection() {
        QFETCH(QByteArray, bytes);
        QFETCH(Encoding, expected);
        QCOMPARE(io::detectEncoding(bytes), expected);
        // Whatever the decision, the bytes come back as they were.
        QCOMPARE(roundTrip(bytes, expected), bytes);
    }

    void decodingKeepsWhatUtf8CannotSay() {
        QByteArray scratch;
        bool wellFormed = true;
        // Bytes that are not UTF-8 stay bytes in a UTF-8 document.
        QCOMPARE(io::textOf("a\xE9z", Encoding::Utf8, scratch, &wellFormed), QByteArrayView("a\xE9z"));
        QVERIFY(!wellFormed);
        // UTF-16: pairs become one character; a surrogate alone becomes its three bytes.
        QCOMPARE(io::textOf(QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6), Encoding::Utf16LeBom, scratch, &wellFormed),
                 QByteArrayView("\xF0\x9F\x98\x80"));
        QVERIFY(wellFormed);
        QCOMPARE(io::textOf(QByteArray("\xD8\x3D\0a", 4), Encoding::Utf16Be, scratch, &wellFormed),
                 QByteArrayView("\xED\xA0\xBD" "a"));
        QVERIFY(!wellFormed);
        QCOMPARE(io::textOf("caf\xE9", Encoding::Windows1252, scratch), QByteArrayView("caf\xC3\xA9"));
    }

    void everyEncodingKeepsEveryByte_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Encoding>("encoding");
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(char(b));
        QTest::newRow("1252, all bytes") << all << Encoding::Windows1252;
        QTest::newRow("UTF-8, all bytes") << all << Encoding::Utf8;
        QTest::newRow("UTF-8 mark, all bytes") << "\xEF\xBB\xBF" + all << Encoding::Utf8;
        QTest::newRow("UTF-16 LE, all bytes") << "\xFF\xFE" + all << Encoding::Utf16Le;
        QTest::newRow("UTF-16 BE, all bytes") << "\xFE\xFF" + all << Encoding::Utf16Be;
        QTest::newRow("UTF-16 BE without mark") << all << Encoding::Utf16Be;
        QTest::newRow("UTF-16 lone surrogates") << QByteArray("\xFF\xFE\x00\xDC\x00\xD8x\0\x00\xD8", 10)
                                                << Encoding::Utf16Le;
    }
    void everyEncodingKeepsEveryByte() {
        QFETCH(QByteArray, bytes);
        QFETCH(Encoding, encoding);
        QCOMPARE(roundTrip(bytes, encoding), bytes);
    }

    // Windows-1252 goes out a megabyte at a time: characters and runs of stray bytes across the cuts
    // come out whole, each stray byte as itself.
    void windows1252AcrossPieces() {
        const qint64 mb = qint64(1) << 20;
        for (qint64 at : {mb, mb - 1, mb - 3, mb - 6}) {
            QByteArray out;
            const QByteArray text = QByteArray(at, 'a') + "\xC3\xA9\x80\x80\x80\x80\x80\xE9z";
            io::encodeText(text.constData(), text.size(), Encoding::Windows1252, [&out](const char* d, qint64 n) {
                out.append(d, n);
                return true;
            });
            QCOMPARE(out, QByteArray(at, 'a') + "\xE9\x80\x80\x80\x80\x80\xE9z");
        }
    }

    void unwritablePlaces_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<bool>("notText");
        QTest::newRow("1252: omega") << QByteArray("ab\xCE\xA9") << Encoding::Windows1252 << qint64(2) << false;
        QTest::newRow("1252: stray byte is itself") << QByteArray("a\xE9\xCE\xA9") << Encoding::Windows1252 << qint64(2)
                                                   << false;
        QTest::newRow("1252: lone surrogate") << QByteArray("a\xED\xA0\x80") << Encoding::Windows1252 << qint64(1)
                                             << false;
        QTest::newRow("UTF-16: stray byte") << QByteArray("\xCE\xA9z\xE9") << Encoding::Utf16LeBom << qint64(3) << true;
        QTest::newRow("UTF-16: emoji") << QByteArray("\xF0\x9F\x98\x80") << Encoding::Utf16BeBom << qint64(-1) << false;
        QTest::newRow("UTF-8: anything") << QByteArray("\xFF\xED\xA0\x80") << Encoding::Utf8 << qint64(-1) << false;
    }
    void unwritablePlaces() {
        QFETCH(QByteArray, text);
        QFETCH(Encoding, encoding);
        QFETCH(qint64, offset);
        QFETCH(bool, notText);
        const io::Unwritable at = io::firstUnwritable(text.constData(), text.size(), encoding);
        QCOMPARE(at.offset, offset);
        QCOMPARE(at.notText, notText);
    }

    void namesRoundTrip() {
        for (int e = 0; e <= int(Encoding::Utf16Be); ++e)
            QCOMPARE(io::encodingFromName(io::encodingName(Encoding(e))), Encoding(e));
        QVERIFY(!io::encodingFromName(u"utf-8"));
    }

    void checkerTakesCharactersSplitBetweenPieces() {
        const QByteArray text = "a\xE2\x82\xAC" "b\xF0\x9F\x98\x80";
        for (int cut = 0; cut <= text.size(); ++cut) {
            utf8::Checker check;
            QVERIFY(check.feed(text.constData(), cut));
            QVERIFY(check.feed(text.constData() + cut, text.size() - cut));
            QVERIFY(!check.cutOff() && check.multibyte());
        }
        utf8::Checker bad;
        QVERIFY(bad.feed("\xE2\x82", 2) && bad.cutOff());
        QVERIFY(!bad.feed("x", 1));
    }
};

QTEST_MAIN(EncodingTest)
#include "Encoding_test.moc"
