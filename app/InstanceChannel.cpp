#include "app/InstanceChannel.h"

#include "io/UniqueFd.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Both headers are the same length and differ in their last character only.
constexpr char kHeaderText[] = "TESSELPAD 1";
const QByteArray kHeader = QByteArray(kHeaderText) + '\0';
const QByteArray kHeaderWithToken = QByteArrayLiteral("TESSELPAD 2") + '\0';
constexpr char kReceived = 'K';
// The longest hand-over: the header, the token and its NUL, the names, a NUL after each of them
// and the empty name. A longer message is not from Tesselpad.
constexpr qint64 kMaxMessage = sizeof kHeaderText + InstanceChannel::kMaxTokenBytes + 1 + InstanceChannel::kMaxNameBytes +
                               InstanceChannel::kMaxNames + 1;
constexpr int kConnectMs = 1000;
// A frame busy opening a large file answers late; after this, the launch opens its files itself.
constexpr int kAnswerMs = 10000;
constexpr int kIdleMs = 30000;

// The display the frames show on: the X display (":0" and ":0.0" are the same), the Wayland
// socket, or the platform alone for one without displays (offscreen).
QString displayKey() {
    const QString platform = QGuiApplication::platformName();
    QString display;
    if (platform == QLatin1String("xcb")) {
        display = qEnvironmentVariable("DISPLAY");
        const int colon = display.lastIndexOf(QLatin1Char(':'));
        const int dot = display.indexOf(QLatin1Char('.'), colon);
        if (colon >= 0 && dot > colon) display.truncate(dot);
    } else if (platform.startsWith(QLatin1String("wayland"))) {
        display = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    }
    QString key = platform + QLatin1Char('-') + display;
    for (QChar& c : key)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-')) c = QLatin1Char('_');
    return key;
}

// Held while a launch finds out whether a frame serves the display, so that two launches at once do
// not both serve. Taken without ever waiting on the file: anything but a regular file under its
// name (a pipe, a socket, a link) is removed, the folder being the user's own. A lock another
// launch holds is waited for up to 'ms'; without the lock the launch goes on all the same.
UniqueFd takeLaunchLock(const QString& path, int ms) {
    const QByteArray name = QFile::encodeName(path);
    for (int tries = 0; tries < 2; ++tries) {
        UniqueFd fd(::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
        struct stat st {};
        if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
            ::unlink(name.constData());
            continue;
        }
        QElapsedTimer waited;
        waited.start();
        while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || waited.elapsed() >= ms) return UniqueFd();
            QThread::msleep(20);
        }
        return fd;
    }
    return UniqueFd();
}

bool sameUser(const QLocalSocket& socket) {
    ucred cred{};
    socklen_t length = sizeof cred;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 &&
           cred.uid == ::getuid();
}

} // namespace

QString InstanceChannel::defaultName() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) return {};
    return runtime + QStringLiteral("/tesselpad-") + displayKey();
}

QByteArray InstanceChannel::launchToken() {
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const QByteArray token = qgetenv(name);
        if (validToken(token)) return token;
    }
    return {};
}

bool InstanceChannel::validToken(const QByteArray& token) {
    return !token.isEmpty() && token.size() <= kMaxTokenBytes &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 127; });
}

bool InstanceChannel::fits(const QList<QByteArray>& names) {
    qsizetype bytes = 0;
    for (const QByteArray& n : names) bytes += n.size();
    return names.size() <= kMaxNames && bytes <= kMaxNameBytes;
}

InstanceChannel::InstanceChannel(const QString& name, QObject* parent) : QObject(parent), name_(name) {}

InstanceChannel::~InstanceChannel() = default;

InstanceChannel::Outcome InstanceChannel::start(const QList<QByteArray>& files, const QByteArray& activationToken) {
    if (name_.isEmpty()) return Outcome::Alone;
    // A lock that cannot be had is not worth a failed start.
    const UniqueFd lock = takeLaunchLock(name_ + QStringLiteral(".lock"), 3000);

    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kConnectMs)) {
        if (files.isEmpty()) return Outcome::Alone;
        const QByteArray token = validToken(activationToken) ? activationToken : QByteArray();
        bool dropped = false;
        if (handOver(socket, files, token, Version::WithToken, dropped)) return Outcome::HandedOver;
        if (!dropped) return Outcome::Alone;
        // A frame of an older Tesselpad: the message it knows, without the token.
        QLocalSocket again;
        again.connectToServer(name_);
        if (again.waitForConnected(kConnectMs) && handOver(again, files, {}, Version::Old, dropped))
            return Outcome::HandedOver;
        return Outcome::Alone;
    }
    // Only a name that nobody listens on is taken over: no socket, or one left by a killed frame.
    if (socket.error() != QLocalSocket::ServerNotFoundError && socket.error() != QLocalSocket::ConnectionRefusedError)
        return Outcome::Alone;
    QLocalServer::removeServer(name_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        delete server_;
        server_ = nullptr;
        return Outcome::Alone;
    }
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    return Outcome::Serving;
}

bool InstanceChannel::handOver(QLocalSocket& socket, const QList<QByteArray>& files, const QByteArray& token,
                               Version version, bool& dropped) {
    QByteArray message = version == Version::WithToken ? kHeaderWithToken + token + '\0' : kHeader;
    for (const QByteArray& f : files) message += f + '\0';
    message += '\0';
    socket.write(message);
    const auto gone = [&] {
        dropped = socket.state() == QLocalSocket::UnconnectedState;
        return false;
    };
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(kAnswerMs)) return gone();
    if (!socket.waitForReadyRead(kAnswerMs)) return gone();
    return socket.read(1) == QByteArray(1, kReceived);
}

void InstanceChannel::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!sameUser(*socket)) {
            socket->abort();
            continue;
        }
        socket->setReadBufferSize(kMaxMessage + 1);
        auto pending = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, pending] { receive(socket, *pending); });
        // A launch that connects and then says nothing is not waited for.
        QTimer::singleShot(kIdleMs, socket, [socket] { socket->abort(); });
        receive(socket, *pending);
    }
}

void InstanceChannel::receive(QLocalSocket* socket, QByteArray& pending) {
    const qsizetype looked = pending.size();
    pending += socket->readAll();
    if (pending.size() > kMaxMessage) {
        socket->abort();
        return;
    }
    const bool withToken = pending.startsWith(kHeaderWithToken);
    if (!withToken && !pending.startsWith(kHeader)) {
        if (pending.size() >= kHeader.size() || !(kHeader.startsWith(pending) || kHeaderWithToken.startsWith(pending)))
            socket->abort();
        return;
    }
    QByteArray token;
    qsizetype names = kHeader.size();   // where the names begin
    if (withToken) {
        const qsizetype nul = pending.indexOf('\0', std::max(names, looked));
        if (nul < 0) {
            if (pending.size() - names > kMaxTokenBytes) socket->abort();
            return;
        }
        token = pending.mid(names, nul - names);
        if (!validToken(token)) token.clear();
        names = nul + 1;
    }
    // The names end in two NUL bytes (the end of the last name, or of what came before them, and
    // the empty name); only what came now is looked through, so a long message costs no more than
    // its length.
    const qsizetype end = pending.indexOf(QByteArrayView("\0\0", 2), std::max(names - 1, looked - 1));
    if (end < 0) return;
    QList<QByteArray> files = pending.mid(names, end + 1 - names).split('\0');
    files.removeAll(QByteArray());
    if (files.size() > kMaxNames) {
        socket->abort();
        return;
    }
    socket->disconnect(this);
    pending.clear();
    socket->write(&kReceived, 1);
    socket->flush();
    socket->disconnectFromServer();
    emit filesReceived(files, token);
}
