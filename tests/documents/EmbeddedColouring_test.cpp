// CSS and JavaScript inside a page: the spans coloured as in a .css or .js file.
#include "documents/EmbeddedColouring.h"

#include <QTest>

namespace {
// "kind:text" for each span, kinds by their first letter (Comment, Selector, Property, Value,
// At-rule, String, Number, Keyword).
QString shown(const QByteArray& page, qint64 from = 0, qint64 to = -1) {
    const char letters[] = "cspvaSnk";
    QStringList out;
    for (const embedded::Span& s : embedded::pageSpans(page, 0, from, to < 0 ? page.size() : to))
        out << QStringLiteral("%1:%2").arg(QLatin1Char(letters[int(s.kind)])).arg(QString::fromUtf8(page.mid(s.from, s.to - s.from)));
    return out.join(QLatin1Char(' '));
}
} // namespace

class EmbeddedColouringTest : public QObject {
    Q_OBJECT
private slots:
    void spans_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("spans");
        QTest::newRow("style element") << QByteArray("<p>a:b</p><style>/*c*/ h1, .x > a:hover { color: #333; margin: 0 1.5em !important }</style>")
                                       << "c:/*c*/ s:h1 s:.x s:> s:a:hover p:color n:#333 p:margin n:0 n:1.5em k:!important ";
        QTest::newRow("at-rule block holds rules") << QByteArray("<STYLE type=x>@media (max-width: 6px) { b { top: auto; } } i { }</STYLE>")
                                                   << "a:@media v:(max-width: v:6px) s:b p:top v:auto s:i";
        QTest::newRow("a string and an unclosed element") << QByteArray("<style>a { font: \"x y\", serif")
                                                          << "s:a p:font S:\"x y\" v:serif";
        QTest::newRow("style and event attributes") << QByteArray("<h1 class=\"t\" style='color: red; top: 1px' onclick=\"if (x) return 'a'; // c\">x</h1>")
                                                    << "p:color v:red p:top n:1px k:if k:return S:'a' c:// c";
        QTest::newRow("not in text or other attributes") << QByteArray("<p title=\"color: red\">style=\"a: b\" onclick</p>") << "";
        QTest::newRow("a name beginning with style") << QByteArray("<stylesheet>a { b: c }</stylesheet>") << "";
    }
    void spans() {
        QFETCH(QByteArray, page);
        QFETCH(QString, spans);
        QCOMPARE(shown(page), spans.trimmed());
    }

    // Only what reaches into the range shown is given.
    void onlyTheRangeShown() {
        const QByteArray page = "<style>a { top: 1px }\nb { left: 2px }</style>";
        const qint64 second = page.indexOf('\n') + 1;
        QCOMPARE(shown(page, second, page.size()), QStringLiteral("s:b p:left n:2px"));
    }
};

QTEST_GUILESS_MAIN(EmbeddedColouringTest)
#include "EmbeddedColouring_test.moc"
