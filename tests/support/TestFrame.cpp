#include "support/TestFrame.h"

#include "documents/Recovery.h"
#include "search/SearchCommands.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <tuple>

namespace {
// Each test program keeps its recovery journals in a folder of its own (made when the first
// journal is written), gone when it ends.
struct JournalFolder {
    QString path = QDir::tempPath() + QStringLiteral("/tspd-journals-") + QString::number(QCoreApplication::applicationPid());
    JournalFolder() { recovery::useFolder(path); }
    ~JournalFolder() { QDir(path).removeRecursively(); }
} g_journalFolder;
} // namespace

ScratchDir::ScratchDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
ScratchDir::~ScratchDir() { QDir::setCurrent(previous_); }

std::unique_ptr<MDIForm1> makeFrame(bool show) {
    searchcmd::resetState();
    auto frame = std::make_unique<MDIForm1>();
    frame->MDIForm_Load();
    if (show) frame->show();
    settle();
    return frame;
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QByteArray aclWithUser(unsigned uid) {
    QByteArray acl;
    const auto put = [&acl](quint32 value, int bytes) { acl.append(reinterpret_cast<const char*>(&value), bytes); };
    put(2, 4);   // version
    const quint32 none = 0xFFFFFFFF;
    for (const auto& [tag, perm, id] : {std::tuple{0x01u, 6u, none}, {0x02u, 6u, quint32(uid)}, {0x04u, 6u, none},
                                        {0x10u, 6u, none}, {0x20u, 4u, none}}) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return acl;
}
