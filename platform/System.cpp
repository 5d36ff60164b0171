#include "platform/System.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>

namespace tp {

void SystemServices::beep() { QApplication::beep(); }
QDateTime SystemServices::now() { return QDateTime::currentDateTime(); }
bool SystemServices::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }
bool SystemServices::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

namespace {
SystemServices* g_services = nullptr;
SystemServices& realServices() {
    static SystemServices instance;
    return instance;
}
} // namespace

SystemServices& sys() { return g_services ? *g_services : realServices(); }
void setSystemServices(SystemServices* services) { g_services = services; }

} // namespace tp
