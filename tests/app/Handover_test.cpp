// The hand-over's activation token: it travels from the launch to the running frame with the files;
// the older message without it is still taken, and a frame that knows only that one still gets the
// files from a newer launch.
#include "app/Activation.h"
#include "app/InstanceChannel.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

// What a frame of an older Tesselpad does: the "TESSELPAD 1" message only, anything else dropped.
struct OldFrame {
    QLocalServer server;
    QList<QByteArray> files;
    explicit OldFrame(const QString& name) {
        server.listen(name);
        QObject::connect(&server, &QLocalServer::newConnection, [this] {
            QLocalSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QLocalSocket::readyRead, s, [this, s] {
                const QByteArray got = s->peek(1 << 20);
                if (!got.startsWith(QByteArray("TESSELPAD 1\0", 12))) return s->abort();
                if (!got.endsWith(QByteArray("\0\0", 2))) return;
                files = got.mid(12).split('\0');
                files.removeAll(QByteArray());
                s->write("K");
                s->flush();
            });
        });
    }
};

} // namespace

class HandoverTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    // Runs 'launch' on a thread of its own (it waits for the frame's answer) while this thread
    // serves; returns once it is done.
    template <typename F> bool whileServing(F launch) {
        bool done = false;
        std::thread t([&] { launch(), done = true; });
        const bool finished = QTest::qWaitFor([&] { return done; }, 15000);
        t.join();
        return finished;
    }

private slots:
    void tokenTravelsWithTheFiles_data() {
        QTest::addColumn<QByteArray>("message");   // empty: a launch through InstanceChannel
        QTest::addColumn<QByteArray>("token");     // the launch's token
        QTest::addColumn<QByteArray>("received");  // the token the frame gets
        const QByteArray x11 = "tesselpad-launch-42_TIME1234567", wl = "c2f1e0a9-1b2c";
        QTest::newRow("X11 startup id") << QByteArray() << x11 << x11;
        QTest::newRow("Wayland token") << QByteArray() << wl << wl;
        QTest::newRow("no token") << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("token with a blank is none") << QByteArray() << QByteArray("a b") << QByteArray();
        QTest::newRow("older launch") << QByteArray("TESSELPAD 1\0/f\0\0", 17) << QByteArray() << QByteArray();
        QTest::newRow("forged token in a raw message") << QByteArray("TESSELPAD 2\0a\x01z\0/f\0\0", 21) << QByteArray()
                                                       << QByteArray();
        QTest::newRow("raw message, token") << QByteArray("TESSELPAD 2\0tok\0/f\0\0", 20) << QByteArray() << QByteArray("tok");
    }
    void tokenTravelsWithTheFiles() {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, token);
        QFETCH(QByteArray, received);
        const QString name = dir_.filePath(QStringLiteral("channel-") + QString::fromLatin1(QTest::currentDataTag()));
        InstanceChannel frame(name);
        QCOMPARE(frame.start({}), InstanceChannel::Outcome::Serving);
        QList<QByteArray> gotFiles;
        QByteArray gotToken = "unset";
        connect(&frame, &InstanceChannel::filesReceived, this, [&](const QList<QByteArray>& f, const QByteArray& t) {
            gotFiles = f;
            gotToken = t;
        });
        QVERIFY(whileServing([&] {
            if (message.isEmpty()) {
                InstanceChannel launch(name);
                QCOMPARE(launch.start({"/f"}, token), InstanceChannel::Outcome::HandedOver);
                return;
            }
            QLocalSocket s;
            s.connectToServer(name);
            QVERIFY(s.waitForConnected(5000));
            s.write(message);
            QVERIFY(s.waitForReadyRead(5000));
            QCOMPARE(s.read(1), QByteArray("K"));
        }));
        QVERIFY(QTest::qWaitFor([&] { return !gotFiles.isEmpty(); }, 5000));
        QCOMPARE(gotFiles, QList<QByteArray>{"/f"});
        QCOMPARE(gotToken, received);
    }

    void olderFrameStillGetsTheFiles() {
        const QString name = dir_.filePath(QStringLiteral("old-frame"));
        OldFrame old(name);
        QVERIFY(whileServing([&] {
            InstanceChannel launch(name);
            QCOMPARE(launch.start({"/a", "/b"}, "id_TIME5"), InstanceChannel::Outcome::HandedOver);
        }));
        QCOMPARE(old.files, (QList<QByteArray>{"/a", "/b"}));
    }

    void startupTime() {
        QCOMPARE(activation::startupTime("kde-launch-1-2_TIME98765"), 98765u);
        QCOMPARE(activation::startupTime("no time here"), 0u);
        QCOMPARE(activation::startupTime("x_TIME99999999999"), 0u);
    }
};

QTEST_MAIN(HandoverTest)
#include "Handover_test.moc"
