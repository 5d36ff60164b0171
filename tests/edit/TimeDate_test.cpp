#include "app/MDIForm1.h"
#include "documents/Form1.h"
#include "edit/EditCommands.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"
#include "support/TestFrame.h"

#include <QLocale>
#include <QTest>

namespace {
// A clock that shows whatever the test sets.
struct FixedClock : tp::SystemServices {
    FixedClock() { tp::setSystemServices(this); }
    ~FixedClock() override { tp::setSystemServices(nullptr); }
    void beep() override { ++beeps; }
    QDateTime now() override { return time; }
    QDateTime time;
    int beeps = 0;
};

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}
} // namespace

class TimeDateTest : public QObject {
    Q_OBJECT
private slots:
    void stamp_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("00:15") << at(2026, 3, 1, 0, 15) << " 0:15 AM 03-01-2026";
        QTest::newRow("midnight") << at(2026, 3, 1, 0, 0) << " 0:00 AM 03-01-2026";
        QTest::newRow("09:05") << at(2026, 12, 6, 9, 5) << " 9:05 AM 12-06-2026";
        QTest::newRow("10:30:59") << at(2026, 1, 31, 10, 30, 59) << " 10:30 AM 01-31-2026";
        QTest::newRow("11:59") << at(2026, 3, 1, 11, 59, 59) << " 11:59 AM 03-01-2026";
        QTest::newRow("12:00") << at(2026, 3, 1, 12, 0) << " 0:00 PM 03-01-2026";
        QTest::newRow("12:45") << at(2026, 3, 1, 12, 45, 10) << " 0:45 PM 03-01-2026";
        QTest::newRow("13:00") << at(2026, 3, 1, 13, 0) << " 1:00 PM 03-01-2026";
        QTest::newRow("14:07") << at(2026, 12, 6, 14, 7, 33) << " 2:07 PM 12-06-2026";
        QTest::newRow("22:00") << at(2026, 3, 1, 22, 0) << " 10:00 PM 03-01-2026";
        QTest::newRow("23:59") << at(2026, 3, 1, 23, 59, 59) << " 11:59 PM 03-01-2026";
        QTest::newRow("end of month") << at(2026, 4, 30, 23, 59, 59) << " 11:59 PM 04-30-2026";
        QTest::newRow("start of month") << at(2026, 5, 1, 0, 0) << " 0:00 AM 05-01-2026";
        QTest::newRow("leap day") << at(2028, 2, 29, 12, 1) << " 0:01 PM 02-29-2028";
        QTest::newRow("end of year") << at(2026, 12, 31, 23, 59, 59) << " 11:59 PM 12-31-2026";
        QTest::newRow("new year") << at(2027, 1, 1, 0, 0, 1) << " 0:00 AM 01-01-2027";
        QTest::newRow("short year") << at(999, 7, 4, 8, 9) << " 8:09 AM 07-04-0999";
    }
    void stamp() {
        QFETCH(QDateTime, when);
        QFETCH(QString, stamp);
        QCOMPARE(editcmd::timeDateStamp(when), stamp);
    }

    // The stamp has its own form: month first, ASCII digits, whatever the regional settings.
    void stampIgnoresTheLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("ar_EG") << QLocale(QLocale::Arabic, QLocale::Egypt);
        QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan);
    }
    void stampIgnoresTheLocale() {
        QFETCH(QLocale, locale);
        const QLocale previous;
        QLocale::setDefault(locale);
        const QString stamp = editcmd::timeDateStamp(at(2026, 12, 6, 14, 7, 33));
        QLocale::setDefault(previous);
        QCOMPARE(stamp, QStringLiteral(" 2:07 PM 12-06-2026"));
    }

    void commandWritesAtTheCaretFromTheClock() {
        ScratchDir dir;
        FixedClock clock;
        clock.time = at(2026, 12, 6, 9, 5, 42);
        auto frame = makeFrame();
        RichTextBox* rtb = frame->ActiveForm()->RTB1;
        rtb->SetText(QStringLiteral("ab"));
        rtb->SetSelStart(1);
        frame->table().DocumentStates[1].Changed = 0;

        frame->mnuEditTimeDate_Click();
        frame->mnuEditTimeDate_Click();   // a second stamp directly after the first
        const QString stamp = QStringLiteral(" 9:05 AM 12-06-2026");
        QCOMPARE(rtb->Text(), QStringLiteral("a") + stamp + stamp + QStringLiteral("b"));
        QCOMPARE(rtb->SelStart(), 1 + 2 * stamp.size());
        QCOMPARE(rtb->SelLength(), 0);
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);
        QCOMPARE(clock.beeps, 0);
    }

    void commandReplacesTheSelection() {
        ScratchDir dir;
        FixedClock clock;
        clock.time = at(2026, 1, 31, 10, 30, 59);
        auto frame = makeFrame();
        RichTextBox* rtb = frame->ActiveForm()->RTB1;
        rtb->SetText(QStringLiteral("date: XXXX."));
        rtb->SetSelStart(6);
        rtb->SetSelLength(4);
        frame->mnuEditTimeDate_Click();
        QCOMPARE(rtb->Text(), QStringLiteral("date:  10:30 AM 01-31-2026."));
        QCOMPARE(rtb->SelStart(), 26);
    }
};

QTEST_MAIN(TimeDateTest)
#include "TimeDate_test.moc"
