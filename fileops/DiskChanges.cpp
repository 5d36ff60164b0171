#include "fileops/DiskChanges.h"

#include "platform/Modal.h"

namespace fileops {

OverwriteAnswer askBeforeOverwrite(const QString& path, const io::FileIdentity& recorded) {
    const io::DiskChange change = io::diskChange(recorded, io::FileIdentity::of(path));
    if (change == io::DiskChange::None) return OverwriteAnswer::Write;
    const QString what = change == io::DiskChange::Deleted
                             ? QStringLiteral("has been deleted or moved by another program since it was opened or last saved.\r\n\r\n"
                                              "Do you want to write the text of this window to it again?")
                             : QStringLiteral("has been changed by another program since it was opened or last saved.\r\n\r\n"
                                              "Do you want to replace it with the text of this window?");
    switch (tp::MsgBox(QStringLiteral("The file ") + path + QLatin1Char(' ') + what +
                           QStringLiteral("\r\n\r\nYes writes the file; No saves the text under another name; "
                                          "Cancel writes nothing."),
                       tp::MsgButtons::YesNoCancel, tp::MsgIcon::Exclamation)) {
    case tp::MsgResult::Yes: return OverwriteAnswer::Write;
    case tp::MsgResult::No: return OverwriteAnswer::SaveAs;
    default: return OverwriteAnswer::Cancel;
    }
}

bool askAboutChange(const QString& path, const io::FileIdentity& recorded, io::FileIdentity& told, bool unsaved) {
    const io::FileIdentity now = io::FileIdentity::of(path);
    const io::DiskChange change = io::diskChange(recorded, now);
    // Nothing new: unchanged since opened or saved, or the user already chose to keep the text.
    if (change == io::DiskChange::None || now == told) return false;
    told = now;
    if (change == io::DiskChange::Deleted) {
        tp::MsgBox(QStringLiteral("The file ") + path +
                       QStringLiteral(" has been deleted or moved by another program.\r\n\r\n"
                                      "The text stays in this window; Save writes it to the file again."),
                   tp::MsgButtons::OK, tp::MsgIcon::Exclamation);
        return false;
    }
    return tp::MsgBox(QStringLiteral("The file ") + path +
                          QStringLiteral(" has been changed by another program.\r\n\r\n"
                                         "Do you want to reload it? Yes shows the file as it is now") +
                          (unsaved ? QStringLiteral(" and discards the changes made in this window") : QString()) +
                          QStringLiteral("; No keeps the text of this window."),
                      tp::MsgButtons::YesNo, tp::MsgIcon::Exclamation) == tp::MsgResult::Yes;
}

} // namespace fileops
