#include "app/MDIForm1.h"
#include "io/Settings.h"
#include "app/frmOptions.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "io/AtomicFile.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include <cerrno>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

struct Boxes {
    bool check1 = false;
    bool check2 = false;
};

// Opens the dialog as File > Options does and lets `act` play the user; returns what the boxes
// showed when the dialog came up.
Boxes runOptions(ScriptedModal& modal, const std::function<void(frmOptions&)>& act) {
    Boxes shown;
    modal.answerDialog([&](QDialog& d) {
        auto& dialog = static_cast<frmOptions&>(d);
        shown = {dialog.Check1->isChecked(), dialog.Check2->isChecked()};
        act(dialog);
        return d.result();
    });
    frmOptions::showModal(nullptr);
    return shown;
}

void setBoxes(frmOptions& d, bool check1, bool check2) {
    d.Check1->setChecked(check1);
    d.Check2->setChecked(check2);
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Makes a folder read-only while it lives: by its permissions, or, for a user whom permissions do
// not stop (root), by a read-only bind mount in a private mount namespace. The folder is the
// current directory again afterwards.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path) {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner);
        if (::access(qPrintable(path_), W_OK) != 0) {
            ok_ = true;
            return;
        }
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray p = QFile::encodeName(path_);
        if (::unshare(CLONE_NEWNS) != 0) return;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
        if (::mount(p.constData(), p.constData(), nullptr, MS_BIND, nullptr) != 0) return;
        mounted_ = true;
        if (::mount(nullptr, p.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) return;
        QDir::setCurrent(path_);   // step onto the read-only mount
        ok_ = ::access(p.constData(), W_OK) != 0;
    }
    ~ReadOnlyFolder() {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (mounted_) {
            QDir::setCurrent(QStringLiteral("/"));
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
            QDir::setCurrent(path_);
        }
    }
    bool ok() const { return ok_; }

private:
    QString path_;
    bool ok_ = false;
    bool mounted_ = false;
};

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAsLaidOut() {
        frmOptions d;
        QCOMPARE(d.objectName(), QStringLiteral("frmOptions"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Options"));
        // 5655 by 1290 twips, and it cannot be resized.
        QCOMPARE(d.size(), QSize(377, 86));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QVERIFY(!(d.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(d.windowFlags() & Qt::WindowCloseButtonHint);

        struct Control {
            QWidget* widget;
            const char* name;
            QString caption;
            QRect geometry;
        };
        const Control controls[] = {
            {d.OKButton, "OKButton", d.OKButton->text(), QRect(288, 16, 81, 25)},
            {d.CancelButton, "CancelButton", d.CancelButton->text(), QRect(288, 48, 81, 25)},
            {d.Frame1, "Frame1", d.Frame1->title(), QRect(16, 8, 257, 65)},
            {d.Check1, "Check1", d.Check1->text(), QRect(8, 16, 233, 17)},
            {d.Check2, "Check2", d.Check2->text(), QRect(8, 40, 217, 17)},
        };
        const QString captions[] = {"OK", "Cancel", "When Starting", "Display &Splash Screen",
                                    "&Maximize Document Windows"};
        for (size_t i = 0; i < std::size(controls); ++i) {
            QCOMPARE(controls[i].widget->objectName(), QString::fromLatin1(controls[i].name));
            QCOMPARE(controls[i].caption, captions[i]);
            QCOMPARE(controls[i].widget->geometry(), controls[i].geometry);
            QCOMPARE(d.findChild<QWidget*>(QString::fromLatin1(controls[i].name)), controls[i].widget);
        }
        QCOMPARE(d.Check1->parentWidget(), d.Frame1);
        QCOMPARE(d.Check2->parentWidget(), d.Frame1);
        QVERIFY(!d.Check1->isChecked() && !d.Check2->isChecked());

        // Tab order: OK, Cancel, then the two boxes.
        QList<QWidget*> order;
        QWidget* w = d.OKButton;
        do {
            if (w->focusPolicy() & Qt::TabFocus) order << w;
            w = w->nextInFocusChain();
        } while (w != d.OKButton);
        QCOMPARE(order, (QList<QWidget*>{d.OKButton, d.CancelButton, d.Check1, d.Check2}));
    }

    void loadShowsWhatTheFileSays_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("check1");
        QTest::addColumn<bool>("check2");
        QTest::newRow("no file") << false << QByteArray() << false << false;
        QTest::newRow("written form 1 0") << true << QByteArray(" 1 , 0 ") << true << false;
        QTest::newRow("written form 0 1") << true << QByteArray(" 0 , 1 ") << false << true;
        QTest::newRow("bare digits") << true << QByteArray("1,1") << true << true;
        QTest::newRow("two lines") << true << QByteArray("1\r\n1\r\n") << true << true;
        QTest::newRow("field 1 invalid hides field 2") << true << QByteArray("2,1") << false << false;
        QTest::newRow("field 1 only") << true << QByteArray("1") << true << false;
        QTest::newRow("field 2 invalid") << true << QByteArray(" 1 , yes ") << true << false;
        QTest::newRow("empty file") << true << QByteArray() << false << false;
    }
    void loadShowsWhatTheFileSays() {
        QFETCH(bool, exists);
        QFETCH(QByteArray, content);
        QFETCH(bool, check1);
        QFETCH(bool, check2);
        ScratchDir dir;
        if (exists) writeBytes(settings::kFileName, content);
        ScriptedModal modal;
        const Boxes shown = runOptions(modal, [](frmOptions& d) { d.CancelButton->click(); });
        QCOMPARE(modal.dialogs, QStringList{QStringLiteral("frmOptions")});
        QCOMPARE(shown.check1, check1);
        QCOMPARE(shown.check2, check2);
        QCOMPARE(QFile::exists(settings::kFileName), exists);
        QVERIFY(modal.messages.isEmpty());
    }

    void okWritesTheWrittenForm_data() {
        QTest::addColumn<QByteArray>("before");   // "<none>": no file
        QTest::addColumn<bool>("check1");
        QTest::addColumn<bool>("check2");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("first use, both cleared") << QByteArray("<none>") << false << false << QByteArray(" 0 , 0 ");
        QTest::newRow("splash only") << QByteArray("<none>") << true << false << QByteArray(" 1 , 0 ");
        QTest::newRow("maximize only") << QByteArray(" 1 , 1 ") << false << true << QByteArray(" 0 , 1 ");
        QTest::newRow("both") << QByteArray("0,0") << true << true << QByteArray(" 1 , 1 ");
        QTest::newRow("garbled file rewritten whole") << QByteArray("2,1\r\nrubbish") << false << false
                                                      << QByteArray(" 0 , 0 ");
        QTest::newRow("field 1 only gets both fields") << QByteArray("1") << true << false << QByteArray(" 1 , 0 ");
    }
    void okWritesTheWrittenForm() {
        QFETCH(QByteArray, before);
        QFETCH(bool, check1);
        QFETCH(bool, check2);
        QFETCH(QByteArray, after);
        ScratchDir dir;
        if (before != "<none>") writeBytes(settings::kFileName, before);
        ScriptedModal modal;
        int result = -1;
        runOptions(modal, [&](frmOptions& d) {
            setBoxes(d, check1, check2);
            d.OKButton->click();
            result = d.result();
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(readBytes(settings::kFileName), after);
        QCOMPARE(filesIn(dir.path()), QStringList{settings::kFileName});   // no temporary left behind

        // Reopening shows the boxes as they were confirmed.
        const Boxes shown = runOptions(modal, [](frmOptions& d) { d.CancelButton->click(); });
        QCOMPARE(shown.check1, check1);
        QCOMPARE(shown.check2, check2);
        QVERIFY(modal.messages.isEmpty());
    }

    void cancelAndCloseBoxLeaveTheFileAlone_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("exists");
        QTest::newRow("cancel") << "cancel" << true;
        QTest::newRow("close box") << "close" << true;
        QTest::newRow("escape") << "escape" << true;
        QTest::newRow("cancel, no file") << "cancel" << false;
        QTest::newRow("close box, no file") << "close" << false;
    }
    void cancelAndCloseBoxLeaveTheFileAlone() {
        QFETCH(QString, how);
        QFETCH(bool, exists);
        ScratchDir dir;
        const QByteArray before("1\n0");   // not the written form: any rewrite would show
        if (exists) writeBytes(settings::kFileName, before);
        ScriptedModal modal;
        int result = -1;
        runOptions(modal, [&](frmOptions& d) {
            setBoxes(d, false, true);
            if (how == "cancel") d.CancelButton->click();
            else if (how == "close") {
                d.show();   // the close box belongs to a window on screen
                d.close();
            }
            else QTest::keyClick(&d, Qt::Key_Escape);
            result = d.result();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        if (exists) QCOMPARE(readBytes(settings::kFileName), before);
        QCOMPARE(QFile::exists(settings::kFileName), exists);
        QCOMPARE(filesIn(dir.path()).size(), exists ? 1 : 0);
    }

    void failedWriteKeepsTheOldFileAndSaysNothing() {
        ScratchDir dir;
        writeBytes(settings::kFileName, " 1 , 1 ");
        io::setWriteFaultInjector([](qint64) { return ENOSPC; });
        ScriptedModal modal;
        int result = -1;
        runOptions(modal, [&](frmOptions& d) {
            setBoxes(d, false, false);
            d.OKButton->click();
            result = d.result();
        });
        io::setWriteFaultInjector(nullptr);
        QCOMPARE(result, int(QDialog::Accepted));   // the dialog closes all the same
        QVERIFY(modal.messages.isEmpty());
        QCOMPARE(readBytes(settings::kFileName), QByteArray(" 1 , 1 "));
        QCOMPARE(filesIn(dir.path()), QStringList{settings::kFileName});
    }

    // A read-only settings file in a read-only folder (a writable one is rewritten in place).
    void readOnlyFolderKeepsTheOldFile() {
        ScratchDir dir;
        writeBytes(settings::kFileName, " 0 , 1 ");
        QFile::setPermissions(settings::kFileName, QFile::ReadOwner);
        ReadOnlyFolder readOnly(dir.path());
        if (!readOnly.ok()) QSKIP("no way to make a folder read-only for this user");
        ScriptedModal modal;
        int result = -1;
        runOptions(modal, [&](frmOptions& d) {
            setBoxes(d, true, false);
            d.OKButton->click();
            result = d.result();
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(modal.messages.isEmpty());
        QCOMPARE(readBytes(settings::kFileName), QByteArray(" 0 , 1 "));
        QCOMPARE(filesIn(dir.path()), QStringList{settings::kFileName});
    }

    void settingsFileThatIsAFolder() {
        // Neither readable nor replaceable: boxes cleared, OK closes quietly, the folder stays.
        ScratchDir dir;
        QVERIFY(QDir().mkdir(settings::kFileName));
        ScriptedModal modal;
        const Boxes shown = runOptions(modal, [](frmOptions& d) {
            setBoxes(d, true, true);
            d.OKButton->click();
        });
        QVERIFY(!shown.check1 && !shown.check2);
        QVERIFY(QFileInfo(settings::kFileName).isDir());
        QVERIFY(modal.messages.isEmpty());
    }

    void menuItemOpensTheDialogAndMaximizeAppliesToLaterWindows() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        modal.answerDialog([](QDialog& d) {
            auto& dialog = static_cast<frmOptions&>(d);
            dialog.Check2->setChecked(true);
            dialog.OKButton->click();
            return d.result();
        });
        frame->item("mnuEditOptions")->trigger();
        QCOMPARE(modal.dialogs, QStringList{QStringLiteral("frmOptions")});
        QCOMPARE(readBytes(settings::kFileName), QByteArray(" 0 , 1 "));

        Form1* first = frame->ActiveForm();
        QVERIFY(first);
        Form1* second = documents::NewDocument(*frame);
        settle();
        QVERIFY(second);
        QVERIFY(second->subWindow()->windowState() & Qt::WindowMaximized);
        QVERIFY(!(first->subWindow()->windowState() & Qt::WindowMaximized));
        QCOMPARE(frame->ActiveForm(), second);
    }
};

QTEST_MAIN(OptionsTest)
#include "Options_test.moc"
