#include "io/Charsets.h"
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
        // Other declared encodings, when the bytes come back from their text.
        const QByteArray polish = "Za\xbf\xf3\xb3\xe6 g\xea\xb6l\xb1 ja\xbc\xf1";
        QTest::newRow("meta ISO-8859-2") << "<meta charset=\"iso-8859-2\">" + polish << Encoding::Iso8859_2;
        QTest::newRow("meta latin2, ASCII only") << QByteArray("<meta charset=latin2>") << Encoding::Iso8859_2;
        QTest::newRow("meta latin1") << "<meta charset=latin1>" + polish << Encoding::Windows1252;
        QTest::newRow("http-equiv Shift_JIS") << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                                            "charset=Shift_JIS\">\x82\xb1\x83\\ab\x7f\x95\\")
                                              << Encoding::ShiftJis;
        QTest::newRow("XML EUC-JP") << QByteArray("<?xml version=\"1.0\" encoding=\"EUC-JP\"?>\xa4\xb3\xa4\xf3")
                                    << Encoding::EucJp;
        QTest::newRow("ISO-2022-JP") << QByteArray("<meta charset=iso-2022-jp>\x1b$B$3$s\x1b(B\n") << Encoding::Iso2022Jp;
        QTest::newRow("ISO-2022-JP, escape not exact") << QByteArray("<meta charset=iso-2022-jp>\x1b(Jx\n")
                                                       << Encoding::Windows1252;
        QTest::newRow("CSS @charset KOI8-R") << QByteArray("@charset \"koi8-r\";\n\xf0\xd2\xc9") << Encoding::Koi8R;
        QTest::newRow("GB18030, four bytes") << QByteArray("<meta charset=gb18030>\xd6\xd0\x95\x32\x82\x36")
                                             << Encoding::Gb18030;
        QTest::newRow("Big5") << QByteArray("<meta charset=big5>\xa4\xa4\xa4\xe5") << Encoding::Big5;
        QTest::newRow("EUC-KR") << QByteArray("<meta charset=euc-kr>\xc7\xd1\xb1\xb9") << Encoding::EucKr;
        QTest::newRow("Shift_JIS, lead byte at the end") << QByteArray("<meta charset=sjis>ab\x82") << Encoding::Windows1252;
        QTest::newRow("Shift_JIS, invalid pair") << QByteArray("<meta charset=sjis>\x81\x20") << Encoding::Windows1252;
        QTest::newRow("ISO-8859-7 unassigned byte") << QByteArray("<meta charset=greek>\xae") << Encoding::Windows1252;
        QTest::newRow("declared, but UTF-8") << QByteArray("<meta charset=iso-8859-2>Caf\xc3\xa9") << Encoding::Utf8;
        QTest::newRow("utf-16 label in ASCII") << QByteArray("<meta charset=utf-16>caf\xe9") << Encoding::Utf8;
        // What changes nothing.
        QTest::newRow("in a comment") << "<!-- <meta charset=\"iso-8859-2\"> -->" + polish << Encoding::Windows1252;
        QTest::newRow("after a comment") << "<!-- x --><meta charset=\"iso-8859-2\">" + polish << Encoding::Iso8859_2;
        QTest::newRow("unknown label") << "<meta charset=\"latin-2\">" + polish << Encoding::Windows1252;
        QTest::newRow("no ISO-8859-16 here") << "<meta charset=\"iso-8859-16\">" + polish << Encoding::Windows1252;
        QTest::newRow("tag not closed") << "<meta charset=\"iso-8859-2\"" + pad << Encoding::Windows1252;
        QTest::newRow("metadata is not meta") << "<metadata charset=\"iso-8859-2\">" + polish << Encoding::Windows1252;
        QTest::newRow("past 1024 bytes") << pad + "<meta charset=\"iso-8859-2\">" + polish << Encoding::Windows1252;
        QTest::newRow("XML declaration not closed") << "<?xml encoding=\"iso-8859-2\"" + polish << Encoding::Windows1252;
        QTest::newRow("CSS without quotes") << "@charset iso-8859-2;" + polish << Encoding::Windows1252;
    }
    void detection() {
        QFETCH(QByteArray, bytes);
        QFETCH(Encoding, expected);
        QCOMPARE(io::detectEncoding(bytes), expected);
        // Whatever the decision, the bytes come back as they were.
        QCOMPARE(roundTrip(bytes, expected), bytes);
    }

    // Plain ASCII without a declaration opens in the encoding of new documents, as far as it can.
    void asciiFollowsNewDocuments() {
        const struct {
            Encoding preferred;
            const char* bytes;
            Encoding expected;
        } cases[] = {
            {Encoding::Utf8, "<p>plain</p>", Encoding::Utf8},         {Encoding::Utf8Bom, "plain", Encoding::Utf8},
            {Encoding::Utf16LeBom, "plain", Encoding::Utf8},          {Encoding::Iso8859_2, "plain", Encoding::Iso8859_2},
            {Encoding::Iso2022Jp, "plain", Encoding::Iso2022Jp},      {Encoding::Iso2022Jp, "\x1b$B", Encoding::Windows1252},
            {Encoding::Utf8, "caf\xe9", Encoding::Windows1252},        {Encoding::Utf8, "<meta charset=l2>", Encoding::Iso8859_2},
        };
        for (const auto& c : cases) QCOMPARE(io::detectEncoding(c.bytes, c.preferred), c.expected);
    }

    // Labels as the Encoding Standard maps them.
    void labels() {
        const struct {
            const char* label;
            std::optional<Encoding> encoding;
        } cases[] = {{" Latin1 ", Encoding::Windows1252}, {"ASCII", Encoding::Windows1252},
                     {"iso-8859-1", Encoding::Windows1252}, {"iso-8859-9", Encoding::Windows1254},
                     {"sjis", Encoding::ShiftJis},          {"gb2312", Encoding::Gbk},
                     {"ks_c_5601-1987", Encoding::EucKr},   {"tis-620", Encoding::Windows874},
                     {"x-mac-ukrainian", Encoding::MacCyrillic}, {"utf-16", Encoding::Utf16Le},
                     {"iso-8859-16", std::nullopt},        {"latin-2", std::nullopt}, {"", std::nullopt}};
        for (const auto& c : cases) QCOMPARE(io::encodingForLabel(c.label), c.encoding);
    }

    // Text and bytes each way; a character the encoding lacks is found where it is.
    void charsetsBothWays_data() {
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ISO-8859-2") << Encoding::Iso8859_2 << QByteArray("Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87")
                                    << QByteArray("Za\xbf\xf3\xb3\xe6");
        QTest::newRow("Windows-1250") << Encoding::Windows1250 << QByteArray("Pokorn\xC3\xBD") << QByteArray("Pokorn\xfd");
        QTest::newRow("KOI8-R") << Encoding::Koi8R << QByteArray("\xD0\x9F\xD1\x80\xD0\xB8") << QByteArray("\xf0\xd2\xc9");
        QTest::newRow("IBM866, ASCII controls") << Encoding::Ibm866 << QByteArray("\xD0\x9F\x1a\x1c\x7f")
                                                << QByteArray("\x8f\x1a\x1c\x7f");
        QTest::newRow("Windows-1255") << Encoding::Windows1255 << QByteArray("\xD7\xA9\xD7\x9C") << QByteArray("\xf9\xec");
        QTest::newRow("Windows-874") << Encoding::Windows874 << QByteArray("\xE0\xB9\x84") << QByteArray("\xe4");
        QTest::newRow("Shift_JIS, trail bytes in ASCII") << Encoding::ShiftJis
                                                         << QByteArray("\xE3\x82\xBD\xE8\xA1\xA8 a\x7f\x1a 12345678\x1c")
                                                         << QByteArray("\x83\\\x95\\ a\x7f\x1a 12345678\x1c");
        QTest::newRow("EUC-JP") << Encoding::EucJp << QByteArray("\xE3\x81\x93\xE3\x82\x93") << QByteArray("\xa4\xb3\xa4\xf3");
        QTest::newRow("ISO-2022-JP") << Encoding::Iso2022Jp << QByteArray("\xE3\x81\x93\xE3\x82\x93\n")
                                     << QByteArray("\x1b$B$3$s\x1b(B\n");
        QTest::newRow("GB18030") << Encoding::Gb18030 << QByteArray("\xE4\xB8\xAD\xF0\xA0\x80\x80")
                                 << QByteArray("\xd6\xd0\x95\x32\x82\x36");
        QTest::newRow("Big5") << Encoding::Big5 << QByteArray("\xE4\xB8\xAD\xE6\x96\x87") << QByteArray("\xa4\xa4\xa4\xe5");
        QTest::newRow("EUC-KR") << Encoding::EucKr << QByteArray("\xED\x95\x9C\xEA\xB5\xAD") << QByteArray("\xc7\xd1\xb1\xb9");
    }
    void charsetsBothWays() {
        QFETCH(Encoding, encoding);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, bytes);
        QByteArray scratch;
        bool exact = false;
        QCOMPARE(io::textOf(bytes, encoding, scratch, nullptr, &exact), QByteArrayView(text));
        QVERIFY(exact);
        QCOMPARE(roundTrip(bytes, encoding), bytes);
        const QByteArray lacking = text + "x\xF0\x9F\x98\x80" + text;   // an emoji
        const io::Unwritable at = io::firstUnwritable(lacking.constData(), lacking.size(), encoding);
        QCOMPARE(at.offset, encoding == Encoding::Gb18030 ? -1 : text.size() + 1);   // GB18030 holds all
        QCOMPARE(at.character, char32_t(encoding == Encoding::Gb18030 ? 0 : 0x1F600));
        QCOMPARE(io::firstUnwritable("a\xE9", 2, encoding).notText, true);
    }

    // Decoded in two pieces, cut anywhere, the text is the same as decoded whole.
    void charsetsInPieces() {
        const QByteArray bytes = "\x83\\" + QByteArray(40, 'a') + "\x82\xb1\x83" + QByteArray(20, '\\') + "\x95\\z";
        QByteArray whole;
        const QByteArrayView text = io::textOf(bytes, Encoding::ShiftJis, whole);
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
            io::CharsetDecoder decoder(Encoding::ShiftJis);
            QByteArray out(io::CharsetDecoder::room(bytes.size()) * 2, '\0');
            qint64 n = decoder.feed(bytes.constData(), cut, out.data());
            n += decoder.feed(bytes.constData() + cut, bytes.size() - cut, out.data() + n);
            QVERIFY(decoder.finish());
            QCOMPARE(out.left(n), text.toByteArray());
        }
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
        for (int e = 0; e <= int(Encoding::EucKr); ++e) {
            QVERIFY2(io::available(Encoding(e)), qPrintable(io::encodingName(Encoding(e))));
            QCOMPARE(io::encodingFromName(io::encodingName(Encoding(e))), Encoding(e));
        }
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

QTEST_GUILESS_MAIN(EncodingTest)
#include "Encoding_test.moc"
