#include "platform/PathTitles.h"

#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPicture>
#include <QTest>

namespace {
const QString kPath = QStringLiteral("/HOME/USER/WEB/CUSTOMER-SITES/A-VERY-LONG-FOLDER-NAME/PROJECTS/INDEX.HTM");

// The texts a widget paints, as its picture records them.
QByteArray paintedTexts(QWidget& w) {
    QPicture picture;
    QPainter painter(&picture);
    w.render(&painter);
    painter.end();
    return QByteArray(picture.data(), picture.size());
}
QByteArray utf16(const QString& s) {   // as a picture stores text
    QByteArray out;
    for (QChar c : s) out.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
    return out;
}
} // namespace

class PathTitlesTest : public QObject {
    Q_OBJECT
private slots:
    void elidePath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("room");   // in widths of "M"
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("fits") << "/WEB/INDEX.HTM" << 40 << "/WEB/INDEX.HTM" << "/WEB/INDEX.HTM";
        QTest::newRow("folders cut") << kPath << 20 << "/HOME" << "/INDEX.HTM";
        QTest::newRow("folders cut short") << kPath << 9 << "/" << "/INDEX.HTM";
        QTest::newRow("backslashes") << "C:\\WEB\\SITES\\LONG FOLDER NAME\\PAGES\\INDEX.HTM" << 12 << "C:" << "\\INDEX.HTM";
        QTest::newRow("name alone too long") << "/A/VERY-LONG-FILE-NAME-INDEED.HTM" << 8 << "VERY" << "\u2026";
        QTest::newRow("no folder") << "DOCUMENT-WITH-A-LONG-NAME" << 8 << "DOC" << "\u2026";
    }
    void elidePath() {
        QFETCH(QString, path);
        QFETCH(int, room);
        QFETCH(QString, start);
        QFETCH(QString, end);
        const QFontMetrics fm{QFont()};
        const int width = room * fm.horizontalAdvance(QLatin1Char('M'));
        const QString shown = tp::elidePath(path, fm, width);
        QVERIFY2(shown.startsWith(start) && shown.endsWith(end), qPrintable(shown));
        QCOMPARE(shown.contains(QChar(0x2026)), shown != path);
        QVERIFY2(fm.horizontalAdvance(shown) <= width, qPrintable(shown));
    }

    // A narrow window's title bar shows the file name, not only the start of the path.
    void titleBarKeepsTheFileName() {
        QMdiArea area;
        area.resize(800, 600);
        auto* content = new QWidget;
        content->setWindowTitle(kPath);
        QMdiSubWindow* sub = area.addSubWindow(content);
        tp::elidePathTitles(*sub);
        sub->setGeometry(0, 0, 260, 200);
        area.show();
        const QByteArray painted = paintedTexts(*sub);
        QVERIFY(painted.contains(utf16(QStringLiteral("/INDEX.HTM"))));
        QVERIFY(painted.contains(utf16(QStringLiteral("\u2026"))));
        QCOMPARE(content->windowTitle(), kPath);   // the caption itself is whole
    }
};

QTEST_MAIN(PathTitlesTest)
#include "PathTitles_test.moc"
