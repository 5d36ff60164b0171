// The launch's activation token travels to the running frame with the files; the older message
// without it is still taken, and a frame that knows only that one still gets the files.
#include "app/InstanceChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

class HandoverTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    // Runs a launch on a thread of its own (it waits for the answer) while this thread serves.
    template <typename F> void launch(F f) {
        std::atomic<bool> done = false;
        std::thread t([&] { f(), done = true; });
        QVERIFY(QTest::qWaitFor([&] { return done.load(); }, 15000));
        t.join();
    }

private slots:
    void tokenTravels_data() {
        QTest::addColumn<QByteArray>("raw");       // a message written as it is; empty: a launch's own
        QTest::addColumn<QByteArray>("token");     // the launch's token
        QTest::addColumn<QByteArray>("received");  // what the frame gets
        QTest::newRow("X11 id") << QByteArray() << QByteArray("launch-42_TIME1234") << QByteArray("launch-42_TIME1234");
        QTest::newRow("none") << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("blank is none") << QByteArray() << QByteArray("a b") << QByteArray();
        QTest::newRow("older launch") << QByteArray("TESSELPAD 1\0/f\0\0", 17) << QByteArray() << QByteArray();
        QTest::newRow("forged") << QByteArray("TESSELPAD 2\0a\x01z\0/f\0\0", 21) << QByteArray() << QByteArray();
    }
    void tokenTravels() {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, token);
        QFETCH(QByteArray, received);
        const QString name = dir_.filePath(QLatin1String(QTest::currentDataTag()));
        InstanceChannel frame(name);
        QCOMPARE(frame.start({}), InstanceChannel::Outcome::Serving);
        QList<QByteArray> files{"unset"};
        QByteArray got;
        connect(&frame, &InstanceChannel::filesReceived, this, [&](auto f, auto t) { files = f, got = t; });
        launch([&] {
            if (raw.isEmpty()) return void(InstanceChannel(name).start({"/f"}, token));
            QLocalSocket s;
            s.connectToServer(name);
            s.waitForConnected(5000) && s.write(raw) && s.waitForReadyRead(5000);
        });
        QVERIFY(QTest::qWaitFor([&] { return files != QList<QByteArray>{"unset"}; }, 5000));
        QCOMPARE(files, QList<QByteArray>{"/f"});
        QCOMPARE(got, received);
    }

    void olderFrameGetsTheFiles() {
        // An older frame: the "TESSELPAD 1" message only, anything else dropped.
        QLocalServer old;
        QVERIFY(old.listen(dir_.filePath(QStringLiteral("old"))));
        QByteArray got;
        connect(&old, &QLocalServer::newConnection, this, [&] {
            QLocalSocket* s = old.nextPendingConnection();
            connect(s, &QLocalSocket::readyRead, s, [&, s] {
                got = s->peek(1 << 16);
                if (!got.startsWith(QByteArray("TESSELPAD 1\0", 12))) s->abort();
                else if (got.endsWith(QByteArray("\0\0", 2))) s->write("K");
            });
        });
        launch([&] { QCOMPARE(InstanceChannel(old.fullServerName()).start({"/a"}, "id_TIME5"), InstanceChannel::Outcome::HandedOver); });
        QCOMPARE(got, QByteArray("TESSELPAD 1\0/a\0\0", 16));
    }
};

QTEST_MAIN(HandoverTest)
#include "Handover_test.moc"
