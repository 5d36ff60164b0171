#pragma once
// The few services the program takes from the desktop besides windows: the beep, the clock, the
// document launcher and the program starter. Tests put their own in place to count beeps, set the
// time and see what would have been started.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <cstring>

namespace tp {

class SystemServices {
public:
    virtual ~SystemServices() = default;
    virtual void beep();
    virtual QDateTime now();
    // Hands a file or web address to the desktop's launcher; false when it could not be started.
    virtual bool openUrl(const QUrl& url);
    // Starts a program with these arguments, no shell between, and does not wait for it; false
    // when it could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments);
};

SystemServices& sys();

// The system's own words for an error number, for messages.
inline QString errnoText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }
void setSystemServices(SystemServices* services);   // nullptr restores the real one

} // namespace tp
