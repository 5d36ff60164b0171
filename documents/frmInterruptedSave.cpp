#include "documents/frmInterruptedSave.h"

#include "platform/Modal.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

frmInterruptedSave::frmInterruptedSave(const io::InterruptedSave& save, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmInterruptedSave"));
    setWindowTitle(tp::kAppTitle);
    auto* layout = new QVBoxLayout(this);
    const QLocale locale;
    auto* text = new QLabel(
        QCoreApplication::translate("frmInterruptedSave", "A save of %1 was interrupted; the file may hold part of the new text.\n\n"
                       "Its old content (%2 bytes) was kept whole when the save began, %3.\n\n"
                       "Restore the Old Content writes it back to the file. Keep the File as It Is leaves "
                       "the file as it is now and deletes the kept copy. Decide Later asks again at the "
                       "next start.")
            .arg(save.file, locale.toString(save.oldSize), locale.toString(save.began, QLocale::ShortFormat)));
    text->setObjectName(QStringLiteral("lblText"));
    text->setTextFormat(Qt::PlainText);   // a file name is never markup
    text->setWordWrap(true);
    layout->addWidget(text);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdRestore = new QPushButton(QCoreApplication::translate("frmInterruptedSave", "&Restore the Old Content"));
    cmdKeep = new QPushButton(QCoreApplication::translate("frmInterruptedSave", "&Keep the File as It Is"));
    cmdLater = new QPushButton(QCoreApplication::translate("frmInterruptedSave", "Decide &Later"));
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdKeep->setObjectName(QStringLiteral("cmdKeep"));
    cmdLater->setObjectName(QStringLiteral("cmdLater"));
    // Enter makes the file whole again; deleting the only whole copy takes its own button.
    cmdRestore->setDefault(true);
    cmdKeep->setAutoDefault(false);
    cmdLater->setAutoDefault(false);
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdKeep);
    buttons->addWidget(cmdLater);
    layout->addLayout(buttons);
    connect(cmdRestore, &QPushButton::clicked, this, [this] { done(Restore); });
    connect(cmdKeep, &QPushButton::clicked, this, [this] { done(Keep); });
    connect(cmdLater, &QPushButton::clicked, this, [this] { done(Later); });
    resize(560, 200);
}

namespace documents {

void offerInterruptedSaves() {
    io::InterruptedSaves saves;
    for (std::size_t i = 0; i < saves.found().size(); ++i) {
        const io::InterruptedSave& save = saves.found()[i];
        frmInterruptedSave dialog(save);
        const int answer = tp::modal().exec(dialog);
        if (answer == frmInterruptedSave::Keep) {
            saves.remove(i);
        } else if (answer == frmInterruptedSave::Restore) {
            const io::WriteResult written = saves.restore(i);
            if (!written.ok)
                tp::MsgBox(QCoreApplication::translate("frmInterruptedSave", "The old content of %1 could not be written back:\r\n%2\r\n\r\nIt is still "
                                          "kept in %3, and you will be asked again at the next start.")
                               .arg(save.file, written.reason, save.copy),
                           tp::MsgButtons::OK, tp::MsgIcon::Exclamation);
        }
    }
}

} // namespace documents
