#include "windows/HelpCommands.h"

#include "platform/Modal.h"
#include "platform/Product.h"
#include "platform/System.h"
#include "windows/frmAbout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace helpcmd {
namespace {

void cannotOpen(const QUrl& url) {
    const QString what = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                                           : url.toDisplayString();
    tp::MsgBox(QCoreApplication::translate("HelpCommands", "Can't open ") + what);
}

// The address goes to the desktop's launcher as a URL, never through a shell, so no file name or
// address can run a command.
void launch(const QUrl& url) {
    if (!tp::sys().openUrl(url)) cannotOpen(url);
}

} // namespace

QString readmeFile() {
    const QString here = QDir::current().absoluteFilePath(kReadmePath);
    if (QFileInfo(here).isFile()) return here;
    const QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation, kInstalledReadmePath);
    return installed.isEmpty() ? here : installed;
}

// The launcher reports success as soon as it starts, whether or not the file is there: a missing
// read-me is found here.
void Readme() {
    const QUrl url = QUrl::fromLocalFile(readmeFile());
    if (QFileInfo(url.toLocalFile()).isFile()) launch(url);
    else cannotOpen(url);
}
void Comments() { launch(QUrl(product::kFeedbackPage)); }
// One feedback page serves comments and bug reports alike.
void Bugs() { launch(QUrl(product::kFeedbackPage)); }
void Web() { launch(QUrl(product::kHomePage)); }

void About(QWidget* parent) { frmAbout::showModal(parent); }

} // namespace helpcmd
