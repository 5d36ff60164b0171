#include "windows/HelpCommands.h"

#include "platform/Modal.h"
#include "platform/Product.h"
#include "platform/System.h"
#include "windows/frmAbout.h"

#include <QDir>

namespace helpcmd {
namespace {

// The address goes to the desktop's launcher as a URL, never through a shell, so no file name or
// address can run a command.
void launch(const QUrl& url) {
    if (tp::sys().openUrl(url)) return;
    const QString what = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                                           : url.toDisplayString();
    tp::MsgBox(QStringLiteral("Can't open ") + what);
}

} // namespace

QUrl readmeUrl() { return QUrl::fromLocalFile(QDir::current().absoluteFilePath(kReadmePath)); }

void Readme() { launch(readmeUrl()); }
void Comments() { launch(QUrl(product::kFeedbackPage)); }
// One feedback page serves comments and bug reports alike.
void Bugs() { launch(QUrl(product::kFeedbackPage)); }
void Web() { launch(QUrl(product::kHomePage)); }

void About(QWidget* parent) { frmAbout::showModal(parent); }

} // namespace helpcmd
