#include "platform/PathTitles.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPicture>
#include <QTest>

namespace {
const QString kPath = QStringLiteral("/HOME/USER/WEB/CUSTOMER-SITES/A-VERY-LONG-FOLDER-NAME/PROJECTS/INDEX.HTM");

// Whether the widget paints the text, as a picture of it records it (UTF-16, high byte first).
bool paints(QWidget& w, const QString& text) {
    QPicture picture;
    QPainter painter(&picture);
    w.render(&painter);
    painter.end();
    QByteArray utf16;
    for (QChar c : text) utf16.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
    return QByteArray(picture.data(), picture.size()).contains(utf16);
}
} // namespace

class PathTitlesTest : public QObject {
    Q_OBJECT
private slots:
    void elidePath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("room");   // in widths of "M"
        QTest::addColumn<QString>("end");
        QTest::newRow("fits") << "/WEB/INDEX.HTM" << 40 << "/WEB/INDEX.HTM";
        QTest::newRow("folders cut") << kPath << 12 << "/INDEX.HTM";
        QTest::newRow("backslashes") << "C:\\WEB\\SITES\\LONG FOLDER NAME\\INDEX.HTM" << 12 << "\\INDEX.HTM";
        QTest::newRow("name alone too long") << "/A/VERY-LONG-FILE-NAME-INDEED.HTM" << 8 << "\u2026";
    }
    void elidePath() {
        QFETCH(QString, path);
        QFETCH(int, room);
        QFETCH(QString, end);
        const QFontMetrics fm{QFont()};
        const int width = room * fm.horizontalAdvance(QLatin1Char('M'));
        const QString shown = tp::elidePath(path, fm, width);
        QVERIFY2(shown.endsWith(end) && fm.horizontalAdvance(shown) <= width, qPrintable(shown));
        QCOMPARE(shown.contains(QChar(0x2026)), shown != path);
    }

    // A narrow window's title bar shows the file name, not only the start of the path.
    void titleBarKeepsTheFileName() {
        QMdiArea area;
        auto* content = new QWidget;
        content->setWindowTitle(kPath);
        QMdiSubWindow* sub = area.addSubWindow(content);
        tp::elidePathTitles(*sub);
        sub->setGeometry(0, 0, 260, 200);
        area.show();
        QVERIFY(paints(*sub, QStringLiteral("\u2026")));
        QVERIFY(paints(*sub, QStringLiteral("/INDEX.HTM")));
    }
};

QTEST_MAIN(PathTitlesTest)
#include "PathTitles_test.moc"
