#pragma once
// Helpers shared by the tests: a loaded frame in a scratch working directory, and small file tools.
#include "app/MDIForm1.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class Form1;

// A scratch folder that is the current directory while the object lives.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// A frame as the program shows it: loaded, with the first window "Document" in slot 1.
std::unique_ptr<MDIForm1> makeFrame(bool show = true);

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// Runs pending events (deferred deletions included).
void settle();

// The binary form of an access control list (system.posix_acl_access) that gives the owner,
// the group and the user 'uid' read and write, and others read: a file's mode 0664 plus one entry.
QByteArray aclWithUser(unsigned uid);
