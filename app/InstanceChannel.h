#pragma once
// One frame per user and display: the private channel through which a launch with files hands
// them to the frame that already runs, which opens them.
//
// The channel is a local socket in the user's runtime folder ($XDG_RUNTIME_DIR, which only the
// user may enter), readable and writable by the user alone; a connection from another user is
// refused all the same. The message is "TESSELPAD 2", then the launch's activation token (the
// desktop's permission to bring a window to the front; may be empty), then each absolute name as
// the system spells it (bytes, never decoded on the way), each of them followed by a NUL byte, and
// an empty name at the end; the frame answers one byte once it has the whole list. A frame also
// takes the older "TESSELPAD 1" message, the same without a token; a frame that takes only that
// one drops the newer message unanswered, and the launch sends it the older one.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // The channel of this user on this display (the application object must exist); empty when
    // the user has no runtime folder.
    static QString defaultName();

    // The most one launch takes: more names, or longer ones, are refused before anything is handed
    // over (the launch says so and exits), and a frame refuses a longer message unread.
    static constexpr qsizetype kMaxNames = 10000;
    static constexpr qsizetype kMaxNameBytes = 1024 * 1024;   // of all the names together
    static bool fits(const QList<QByteArray>& names);

    explicit InstanceChannel(const QString& name, QObject* parent = nullptr);
    ~InstanceChannel() override;

    enum class Outcome {
        HandedOver,   // a running frame took the files: this launch is done
        Serving,      // no frame ran: this one serves the channel from now on
        Alone,        // a frame runs but took no files (there were none, or it did not answer)
    };
    // At start-up: hands the files to the frame serving the channel, if one does and takes them;
    // when none does, serves the channel, taking over the socket a killed frame left behind.
    // Two launches at the same moment are put in turn by a lock file beside the socket.
    // 'activationToken' goes with the files (see launchToken()).
    Outcome start(const QList<QByteArray>& files, const QByteArray& activationToken = {});

    // The desktop's activation token of this launch: XDG_ACTIVATION_TOKEN (Wayland), else
    // DESKTOP_STARTUP_ID (X11). Read before the application object exists, which takes them out of
    // the environment. A token that is not a short line of visible ASCII is no token.
    static QByteArray launchToken();
    static bool validToken(const QByteArray& token);
    static constexpr qsizetype kMaxTokenBytes = 1024;

signals:
    // A launch handed these files over, in its order, with its activation token (empty when it
    // had none, or sent the older message).
    void filesReceived(const QList<QByteArray>& files, const QByteArray& activationToken);

private:
    enum class Version { Old, WithToken };
    // False when the frame did not take the files; 'dropped' tells that it closed the connection
    // without an answer (a frame that does not know the message).
    bool handOver(QLocalSocket& socket, const QList<QByteArray>& files, const QByteArray& token, Version version,
                  bool& dropped);
    void accept();
    // 'pending' holds what the launch has sent so far.
    void receive(QLocalSocket* socket, QByteArray& pending);

    QString name_;
    QLocalServer* server_ = nullptr;
};
