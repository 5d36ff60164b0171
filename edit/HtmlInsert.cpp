#include "edit/EditCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"

namespace editcmd {

QString htmlTagText(HtmlTagKind kind) {
    switch (kind) {
    case HtmlTagKind::Head: return QStringLiteral("<Head> </Head>");
    case HtmlTagKind::Title: return QStringLiteral("<Title> </Title>");
    case HtmlTagKind::Body: return QStringLiteral("<Body>\r\n\r\n</Body>");
    case HtmlTagKind::Br: return QStringLiteral("<BR>");
    case HtmlTagKind::Hr: return QStringLiteral("<HR>");
    case HtmlTagKind::Center: return QStringLiteral("<Center> </Center>");
    }
    return QString();
}

QString htmlSkeleton() {
    return QStringLiteral("<html>\r\n"
                          "\r\n"
                          "<head>\r\n"
                          "<title></title>\r\n"
                          "</head>\r\n"
                          "\r\n"
                          "<body>\r\n"
                          "</body>\r\n"
                          "\r\n"
                          "</html>\r\n");
}

void HtmlTag(DocumentFrame& frame, HtmlTagKind kind) {
    RichTextBox* rtb = activeEditor(frame);
    if (!rtb) return;
    putText(*rtb, htmlTagText(kind));
}

void HtmlInsertFrame(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) {
        // Works without a document: it starts one, as File > New does.
        form = documents::NewDocument(frame);
        if (!form) return;   // no slot left; New has said so
        form->RTB1->SetText(htmlSkeleton());
    } else {
        putText(*form->RTB1, htmlSkeleton());
    }
    // A fresh window counts its text as loaded; this one must ask before its skeleton is lost.
    form->setChanged(true);
}

} // namespace editcmd
