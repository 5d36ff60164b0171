// The manual (help/readme.htm) lists every command of the menu bar with its key, in its table
// "commands": one row per command (menu, command, key). The rows are compared with the menu tree
// the frame builds, so a command added to the menu without its row, or a row left behind by a
// removed command, fails here with the rows to add or take out.
#include "app/MenuTree.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

QString plain(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QLatin1String("&lt;"), QLatin1String("<")).replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&nbsp;"), QLatin1String(" ")).replace(QLatin1String("&amp;"), QLatin1String("&"));
    return html.simplified();
}

QString withoutAccessKey(const char* caption) { return QString::fromLatin1(caption).remove(QLatin1Char('&')); }

// "Menu|Command|Key" for every command of the menu tree (submenus give the menu path).
QStringList menuRows() {
    QStringList rows, path;
    const auto& tree = menuTree();
    for (size_t i = 0; i < tree.size(); ++i) {
        const MenuEntry& e = tree[i];
        while (path.size() > e.level) path.removeLast();
        if (i + 1 < tree.size() && tree[i + 1].level > e.level) {
            path << withoutAccessKey(e.caption);
            continue;
        }
        if (QLatin1String(e.caption) == QLatin1String("-")) continue;
        rows << path.join(QLatin1String(" > ")) + QLatin1Char('|') + withoutAccessKey(e.caption) + QLatin1Char('|')
                    + QLatin1String(e.shortcut ? e.shortcut : "");
    }
    return rows;
}

QString htmlRow(const QString& row) {
    const QStringList cells = row.split(QLatin1Char('|'));
    auto esc = [](QString s) { return s.toHtmlEscaped().replace(QLatin1String("&quot;"), QLatin1String("\"")); };
    const QString key = cells[2].isEmpty() ? QString() : QLatin1String("<kbd>") + esc(cells[2]) + QLatin1String("</kbd>");
    return QLatin1String("  <tr><td>") + esc(cells[0]) + QLatin1String("</td><td>") + esc(cells[1])
           + QLatin1String("</td><td>") + key + QLatin1String("</td></tr>");
}

} // namespace

class ManualTest : public QObject {
    Q_OBJECT
private slots:
    void commandTableMatchesTheMenu() {
        QFile page(qEnvironmentVariable("TESSELPAD_SOURCE_DIR") + QLatin1String("/help/readme.htm"));
        QVERIFY2(page.open(QIODevice::ReadOnly), "help/readme.htm cannot be read (run the test through CTest)");
        const QString html = QString::fromUtf8(page.readAll());
        const QRegularExpression tableRe(QStringLiteral("<table id=\"commands\">(.*?)</table>"),
                                         QRegularExpression::DotMatchesEverythingOption);
        const QString table = tableRe.match(html).captured(1);
        QVERIFY2(!table.isEmpty(), "help/readme.htm has no <table id=\"commands\">");

        QStringList manual;
        const QRegularExpression rowRe(QStringLiteral("<tr>(.*?)</tr>"), QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpression cellRe(QStringLiteral("<td>(.*?)</td>"), QRegularExpression::DotMatchesEverythingOption);
        for (auto row = rowRe.globalMatch(table); row.hasNext();) {
            QStringList cells;
            for (auto cell = cellRe.globalMatch(row.next().captured(1)); cell.hasNext();) cells << plain(cell.next().captured(1));
            if (cells.size() >= 3) manual << cells.mid(0, 3).join(QLatin1Char('|'));
        }

        const QStringList menu = menuRows();
        QVERIFY(menu.size() > 40);
        const QSet<QString> inManual(manual.begin(), manual.end()), inMenu(menu.begin(), menu.end());
        QStringList missing, extra;
        for (const QString& r : menu) if (!inManual.contains(r)) missing << htmlRow(r);
        for (const QString& r : manual) if (!inMenu.contains(r)) extra << htmlRow(r);
        QVERIFY2(missing.isEmpty() && extra.isEmpty() && manual.size() == menu.size(),
                 qPrintable(QLatin1String("help/readme.htm, table \"commands\" (menu | command | key, as app/MenuTree.cpp has them)")
                            + QLatin1String("\nrows to add:\n") + missing.join(QLatin1Char('\n'))
                            + QLatin1String("\nrows to take out:\n") + extra.join(QLatin1Char('\n'))
                            + QStringLiteral("\nrows in the manual: %1, commands in the menu: %2").arg(manual.size()).arg(menu.size())));
    }
};

QTEST_GUILESS_MAIN(ManualTest)
#include "Manual_test.moc"
