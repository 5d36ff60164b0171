#include "search/GoToLine.h"
#include "search/Matcher.h"
#include "search/Replacement.h"

#include <QElapsedTimer>
#include <QTest>

using search::Match;
using search::Matcher;
using search::Query;

namespace {

// Options as letters: c match case, w whole word, r regular expression.
Query query(const QString& text, const QString& options) {
    return {text, options.contains(QLatin1Char('c')), options.contains(QLatin1Char('w')), options.contains(QLatin1Char('r'))};
}

Matcher prepared(const QString& text, const QString& options) {
    Matcher m;
    search::QueryError error;
    if (!m.prepare(query(text, options), &error)) qWarning() << error.text(text);
    return m;
}

// Every match of a Replace All in [from, to), applied to a copy of the text as the editor would.
QByteArray replaced(const QByteArray& text, const QString& find, const QString& options, const QString& with,
                    qint64 from = 0, qint64 to = -1, qint64* count = nullptr, qint64 chunk = 1 << 20) {
    const Matcher m = prepared(find, options);
    search::Replacement r;
    if (!r.prepare(with, m)) return "(bad replacement)";
    const search::ReplacePlan plan =
        search::planReplaceAll(m, r, text.constData(), text.size(), from, to < 0 ? text.size() : to, chunk);
    QByteArray out = text;
    qint64 shift = 0;
    for (const search::ReplaceChunk& c : plan.chunks) {
        out.replace(c.from + shift, c.to - c.from, c.text);
        shift += c.text.size() - (c.to - c.from);
    }
    if (count) *count = plan.count;
    return out;
}

} // namespace

class MatcherTest : public QObject {
    Q_OBJECT
private slots:
    // Finding down from a byte, or up before it: the match as [start, end) in bytes, or -1.
    void find_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("down");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end");
        QTest::newRow("word at the start") << QByteArray("cat catalog cat") << "cat" << "w" << true << qint64(0) << qint64(0) << qint64(3);
        QTest::newRow("word at the end, up") << QByteArray("cat catalog cat") << "cat" << "w" << false << qint64(15) << qint64(12) << qint64(15);
        QTest::newRow("inside a word skipped") << QByteArray("catalog cat") << "cat" << "w" << true << qint64(0) << qint64(8) << qint64(11);
        QTest::newRow("accented letters are word characters") << QByteArray("caf\xc3\xa9 cafe") << "caf" << "w" << true << qint64(0) << qint64(-1) << qint64(-1);
        QTest::newRow("a letter before") << QByteArray("\xc3\xa9" "clat clat") << "clat" << "w" << true << qint64(0) << qint64(7) << qint64(11);
        QTest::newRow("a letter before, up") << QByteArray("clat \xc3\xa9" "clat") << "clat" << "w" << false << qint64(11) << qint64(0) << qint64(4);
        QTest::newRow("regex word, a letter before") << QByteArray("\xc3\xa9" "clat clat") << "cl.t" << "wr" << true << qint64(0) << qint64(7) << qint64(11);
        QTest::newRow("underscore is a word character") << QByteArray("a_b b") << "b" << "w" << true << qint64(0) << qint64(4) << qint64(5);
        QTest::newRow("regex word, other alternative") << QByteArray("foobar foo") << "foo|foobar" << "wr" << true << qint64(0) << qint64(0) << qint64(6);
        QTest::newRow("regex word, open \\Q") << QByteArray("xa.b a.b") << "\\Qa.b" << "wr" << true << qint64(0) << qint64(5) << qint64(8);
        QTest::newRow("regex word, open # comment") << QByteArray("ab a") << "(?x)a # one letter" << "wr" << true << qint64(0) << qint64(3) << qint64(4);
        QTest::newRow("regex word, leading verb") << QByteArray("ab a") << "(*NO_JIT)a" << "wr" << true << qint64(0) << qint64(3) << qint64(4);
        QTest::newRow("regex without case") << QByteArray("x CAF\xc3\x89") << "caf\xc3\xa9" << "r" << true << qint64(0) << qint64(2) << qint64(7);
        QTest::newRow("regex ^ after CR LF") << QByteArray("a\r\nb") << "^b" << "r" << true << qint64(0) << qint64(3) << qint64(4);
        QTest::newRow("regex $ before a lone CR") << QByteArray("a\rb") << "a$" << "r" << true << qint64(0) << qint64(0) << qint64(1);
        QTest::newRow("regex . stops at a line end") << QByteArray("a\nb") << "a.b" << "r" << true << qint64(0) << qint64(-1) << qint64(-1);
        QTest::newRow("regex over raw bytes") << QByteArray("\xff\xfe" "ab\x80" "ab") << "ab" << "r" << true << qint64(3) << qint64(5) << qint64(7);
        QTest::newRow("regex up, nearest start") << QByteArray("aXa aXa") << "a.a" << "r" << false << qint64(7) << qint64(4) << qint64(7);
        QTest::newRow("regex up, match may reach past") << QByteArray("abcd") << "b.." << "r" << false << qint64(2) << qint64(1) << qint64(4);
        QTest::newRow("regex up, look-behind sees before") << QByteArray("xa ya") << "(?<=x)a" << "r" << false << qint64(5) << qint64(1) << qint64(2);
        QTest::newRow("regex look-ahead before ^") << QByteArray("ab1\nab") << "(?=a)^a" << "r" << true << qint64(1) << qint64(4) << qint64(5);
        QTest::newRow("regex empty match") << QByteArray("abc") << "x*" << "r" << true << qint64(1) << qint64(1) << qint64(1);
        QTest::newRow("regex up, far away") << QByteArray("zz").append(QByteArray(300000, 'a')) << "z" << "r" << false << qint64(300002) << qint64(1) << qint64(2);
    }
    void find() {
        QFETCH(QByteArray, text);
        QFETCH(QString, find);
        QFETCH(QString, options);
        QFETCH(bool, down);
        QFETCH(qint64, from);
        const Matcher m = prepared(find, options);
        QVERIFY(m.ready());
        const Match hit = down ? m.findForward(text.constData(), text.size(), from)
                               : m.findBackward(text.constData(), text.size(), from);
        QTEST(hit.start, "start");
        QTEST(hit.end, "end");
    }

    void invalidExpression() {
        Matcher m;
        search::QueryError e;
        QVERIFY(!m.prepare(query(QStringLiteral("é(ab"), QStringLiteral("r")), &e));
        QCOMPARE(e.text(QStringLiteral("é(ab")),
                 QStringLiteral("Invalid regular expression \"é(ab\": missing closing parenthesis at position 5."));
        QVERIFY(!m.prepare(query(QStringLiteral("a)"), QStringLiteral("rw")), &e));
        QCOMPARE(e.position, 1);
    }

    void catastrophicExpressionGivesUp() {
        const QByteArray text = QByteArray(5000, 'a') + "!";
        const Matcher m = prepared(QStringLiteral("(a|aa)+$"), QStringLiteral("r"));
        QElapsedTimer t;
        t.start();
        QVERIFY(!m.findForward(text.constData(), text.size(), 0));
        QVERIFY(m.gaveUp());
        QVERIFY(t.elapsed() < 10000);
    }

    void replaceAll_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("with");
        QTest::addColumn<QByteArray>("want");
        QTest::addColumn<qint64>("count");
        QTest::newRow("plain, not overlapping") << QByteArray("aaaa") << "aa" << "" << "b" << QByteArray("bb") << qint64(2);
        QTest::newRow("plain takes $1 literally") << QByteArray("a") << "a" << "" << "$1\\n" << QByteArray("$1\\n") << qint64(1);
        QTest::newRow("whole words at both ends") << QByteArray("cat cats cat") << "cat" << "w" << "dog" << QByteArray("dog cats dog") << qint64(2);
        QTest::newRow("empty matches") << QByteArray("abc") << "x*" << "r" << "-" << QByteArray("-a-b-c-") << qint64(4);
        QTest::newRow("empty after a match") << QByteArray("baaac") << "a*" << "r" << "-" << QByteArray("-b--c-") << qint64(4);
        QTest::newRow("line starts") << QByteArray("a\r\nb\nc") << "^" << "r" << "> " << QByteArray("> a\r\n> b\n> c") << qint64(3);
        QTest::newRow("groups") << QByteArray("John Smith") << "(\\w+) (?<last>\\w+)" << "r" << "${last}, $1 [$&] $$ \\t\\\\"
                                << QByteArray("Smith, John [John Smith] $ \t\\") << qint64(1);
        QTest::newRow("group 10 and 1 then 0") << QByteArray("abcdefghijk") << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)" << "r"
                                               << "$10$1${1}0\\10" << QByteArray("jaa0a0") << qint64(1);
        QTest::newRow("exactly ten groups") << QByteArray("abcdefghij") << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)" << "r"
                                            << "$10|$11|${10}" << QByteArray("j|a1|j") << qint64(1);
        QTest::newRow("unset group gives nothing") << QByteArray("b") << "(a)?b" << "r" << "<$1>" << QByteArray("<>") << qint64(1);
        QTest::newRow("look-behind sees the original") << QByteArray("aab") << "(?<=a)[ab]" << "r" << "x" << QByteArray("axx") << qint64(2);
    }
    void replaceAll() {
        QFETCH(QByteArray, text);
        QFETCH(QString, find);
        QFETCH(QString, options);
        QFETCH(QString, with);
        qint64 count = 0, count1 = 0;
        QTEST(replaced(text, find, options, with, 0, -1, &count), "want");
        QTEST(count, "count");
        // Stretches of any size give the same text.
        QTEST(replaced(text, find, options, with, 0, -1, &count1, 1), "want");
    }

    void replaceAllInRange() {
        // Only matches wholly inside; the word rule still looks outside the range.
        QCOMPARE(replaced("cat cat cat", QStringLiteral("cat"), QStringLiteral("w"), QStringLiteral("dog"), 2, 7),
                 QByteArray("cat dog cat"));
        QCOMPARE(replaced("xcat cat", QStringLiteral("cat"), QStringLiteral("w"), QStringLiteral("dog"), 1, 4),
                 QByteArray("xcat cat"));
        QCOMPARE(replaced("ab\nab", QStringLiteral("$"), QStringLiteral("r"), QStringLiteral(";"), 0, 2),
                 QByteArray("ab;\nab"));
    }

    void badReplacement() {
        const Matcher m = prepared(QStringLiteral("(a)"), QStringLiteral("r"));
        search::Replacement r;
        QString error;
        QVERIFY(!r.prepare(QStringLiteral("$2"), m, &error));
        QCOMPARE(error, QStringLiteral("The replacement refers to $2, which the regular expression does not have (it has 1 group)."));
        QVERIFY(!r.prepare(QStringLiteral("${nope}"), m, &error));
    }

    void goToLine_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("line");
        QTest::addColumn<qint64>("column");   // -1: not a line number
        // The document: three lines of 5, 0 and 3 characters.
        QTest::newRow("a line") << " 2 " << qint64(2) << qint64(1);
        QTest::newRow("line and column") << "1:4" << qint64(1) << qint64(4);
        QTest::newRow("comma") << "3, 2" << qint64(3) << qint64(2);
        QTest::newRow("past the last line") << "99" << qint64(3) << qint64(1);
        QTest::newRow("past the line's end") << "3:99" << qint64(3) << qint64(4);
        QTest::newRow("huge") << "99999999999999999999999:7" << qint64(3) << qint64(4);
        QTest::newRow("zero and below") << "0:-5" << qint64(1) << qint64(1);
        QTest::newRow("words") << "ten" << qint64(-1) << qint64(-1);
        QTest::newRow("empty") << "" << qint64(-1) << qint64(-1);
        QTest::newRow("trailing colon") << "4:" << qint64(-1) << qint64(-1);
    }
    void goToLine() {
        QFETCH(QString, typed);
        const auto t = gotoline::parse(typed);
        QFETCH(qint64, column);
        if (column < 0) {
            QVERIFY(!t);
            return;
        }
        QVERIFY(t);
        const qint64 lengths[] = {5, 0, 3};
        const gotoline::Target where = gotoline::clamp(*t, 3, [&](qint64 line) { return lengths[line - 1]; });
        QTEST(where.line, "line");
        QCOMPARE(where.column, column);
    }
};

QTEST_GUILESS_MAIN(MatcherTest)
#include "Matcher_test.moc"
