// help/readme.htm's table "commands" has one row (menu, command, key) per command of the menu tree
// the frame builds: a failure lists the rows to add and to take out, ready to paste.
#include "app/MenuTree.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

class ManualTest : public QObject {
    Q_OBJECT
private slots:
    void commandTableMatchesTheMenu() {
        QStringList menu, path, manual;
        const auto& tree = menuTree();
        for (size_t i = 0; i < tree.size(); ++i) {
            path.resize(tree[i].level);
            const QString caption = QString::fromLatin1(tree[i].caption).remove(QLatin1Char('&'));
            if (i + 1 < tree.size() && tree[i + 1].level > tree[i].level) path << caption;
            else if (caption != QLatin1String("-"))
                menu << QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>").arg(path.join(QLatin1String(" > ")).toHtmlEscaped(), caption.toHtmlEscaped(),
                          tree[i].shortcut ? QStringLiteral("<kbd>%1</kbd>").arg(QString::fromLatin1(tree[i].shortcut).toHtmlEscaped()) : QString());
        }
        QFile page(qEnvironmentVariable("TESSELPAD_SOURCE_DIR") + QLatin1String("/help/readme.htm"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        const qsizetype start = html.indexOf(QLatin1String("<table id=\"commands\">")), end = html.indexOf(QLatin1String("</table>"), start);
        QVERIFY2(start >= 0, "no <table id=\"commands\"> in help/readme.htm");
        const QRegularExpression row(QStringLiteral("^ *<tr><td>.*</td></tr>$"), QRegularExpression::MultilineOption);
        for (auto it = row.globalMatch(html.mid(start, end - start)); it.hasNext();) manual << it.next().captured(0).trimmed();
        QStringList missing, extra;
        for (const QString& r : menu) if (!manual.contains(r)) missing << r;
        for (const QString& r : manual) if (!menu.contains(r)) extra << r;
        QVERIFY2(missing.isEmpty() && extra.isEmpty() && menu.size() > 40,
                 qPrintable(QStringLiteral("help/readme.htm, table \"commands\", against app/MenuTree.cpp\nrows to add:\n%1\nrows to take out:\n%2")
                                .arg(missing.join(QLatin1Char('\n')), extra.join(QLatin1Char('\n')))));
    }
};

QTEST_GUILESS_MAIN(ManualTest)
#include "Manual_test.moc"
