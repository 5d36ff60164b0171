#include "platform/Modal.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

#include <sys/stat.h>

namespace tp {
namespace {

// Qt's file dialog keeps its last folder and view in the user's QtProject.conf, read through
// QSettings, which opens the file and its lock file and waits for them: a pipe under either name
// would hang Open and Save As for good. Where either is not a regular file (or is far larger than
// those few lines), Qt's settings go to a place that cannot exist, so the dialog starts from its
// defaults and remembers nothing, and the user's files are left alone.
void keepFileDialogSettingsSafe() {
    static bool redirected = false;
    if (redirected) return;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/QtProject.conf");
    for (const QString& name : {base, base + QStringLiteral(".lock")}) {
        struct stat st {};
        // stat() never opens the file; a name that is missing is fine.
        if (::stat(QFile::encodeName(name).constData(), &st) != 0) continue;
        if (S_ISREG(st.st_mode) && st.st_size <= (qint64(1) << 20)) continue;
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null/tesselpad"));
        redirected = true;
        return;
    }
}

// A message box is only as wide as its text, and a short text leaves no room on the title bar for
// the title beside the window's icon and buttons ("Te… ad"): widen the box until the title fits,
// up to two thirds of the screen.
void makeRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics title(bold);
    int width = title.horizontalAdvance(box.windowTitle()) + 8 * title.height();
    if (const QScreen* screen = box.screen()) width = std::min(width, screen->availableGeometry().width() * 2 / 3);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

class ScreenModal final : public ModalSeam {
public:
    MsgResult message(const MessageRequest& r) override {
        QMessageBox box(QApplication::activeWindow());
        box.setTextFormat(Qt::PlainText);   // file names and captions are never markup
        box.setText(r.text);
        box.setWindowTitle(r.title);
        switch (r.icon) {
        case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        switch (r.buttons) {
        case MsgButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        if (r.buttons != MsgButtons::OK) {
            const QMessageBox::StandardButton preferred[] = {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No,
                                                              QMessageBox::Cancel};
            if (QAbstractButton* b = box.button(preferred[static_cast<int>(r.defaultButton)]))
                box.setDefaultButton(qobject_cast<QPushButton*>(b));
        }
        makeRoomForTitle(box);
        switch (box.exec()) {
        case QMessageBox::Yes: return MsgResult::Yes;
        case QMessageBox::No: return MsgResult::No;
        case QMessageBox::Cancel: return MsgResult::Cancel;
        default: return r.buttons == MsgButtons::YesNoCancel ? MsgResult::Cancel : MsgResult::OK;
        }
    }

    QString fileDialog(const FileDialogRequest& r) override {
        keepFileDialogSettingsSafe();
        QFileDialog dialog(QApplication::activeWindow());
        if (!r.title.isEmpty()) dialog.setWindowTitle(r.title);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        if (r.kind == FileDialogKind::Save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            // Any name may be typed: a missing file is reported by the command itself.
            dialog.setFileMode(QFileDialog::AnyFile);
        }
        dialog.setNameFilters(r.nameFilters);
        if (r.selectedFilter >= 0 && r.selectedFilter < r.nameFilters.size())
            dialog.selectNameFilter(r.nameFilters.at(r.selectedFilter));
        if (!r.folder.isEmpty()) dialog.setDirectory(r.folder);
        if (!r.fileName.isEmpty()) dialog.selectFile(r.fileName);
        if (dialog.exec() != QDialog::Accepted) return {};
        const QStringList files = dialog.selectedFiles();
        return files.isEmpty() ? QString() : files.first();
    }

    bool printDialog(const PrintDialogRequest& r, QPrinter& printer) override {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        if (!r.title.isEmpty()) dialog.setWindowTitle(r.title);
        QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
        options.setFlag(QAbstractPrintDialog::PrintPageRange, !r.noPageNumbers);
        options.setFlag(QAbstractPrintDialog::PrintSelection, r.selection);
        dialog.setOptions(options);
        if (r.selection) dialog.setPrintRange(QAbstractPrintDialog::Selection);
        return dialog.exec() == QDialog::Accepted;
    }

    int exec(QDialog& dialog) override { return dialog.exec(); }
};

ScreenModal& screenModal() {
    static ScreenModal instance;
    return instance;
}

ModalSeam* g_seam = nullptr;

} // namespace

ModalSeam& modal() { return g_seam ? *g_seam : screenModal(); }

void setModal(ModalSeam* seam) { g_seam = seam; }

MsgResult MsgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon, const QString& title,
                 MsgResult defaultButton) {
    return modal().message({prompt, title.isEmpty() ? kAppTitle : title, buttons, icon, defaultButton});
}

} // namespace tp
