#include "windows/frmAbout.h"

#include "platform/Artwork.h"
#include "platform/Modal.h"
#include "platform/Product.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

using artwork::px;



frmAbout::frmAbout(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QCoreApplication::translate("frmAbout", "About ") + product::kName);   // never shown: the box has no title bar
    setFixedSize(px(6510), px(3375));

    // The background is the system's title-bar text colour (white in the usual schemes): the
    // closest role is the text colour on highlighted items. The text takes whichever of black and
    // white stands out on it.
    QPalette pal = palette();
    const QColor background = pal.color(QPalette::Active, QPalette::HighlightedText);
    const QColor text = background.lightness() >= 128 ? QColor(Qt::black) : QColor(Qt::white);
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    setPalette(pal);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(artwork::picture(QStringLiteral("about-banner")));
    Image1->setGeometry(artwork::twips(240, 120, 6120, 1770));

    // Laid over the top of the banner, where the picture leaves room for it.
    Label4 = artwork::makeLabel(this, "Label4", QCoreApplication::translate("frmAbout", "Designed and Programmed by ") + product::kAuthor,
                       artwork::twips(2160, 360, 3855, 255), artwork::font(8.25, true), Qt::AlignLeft | Qt::AlignTop);
    Label2 = artwork::makeLabel(this, "Label2", QCoreApplication::translate("frmAbout", "Send Comments and  Suggestions to ") + product::kContactEmail,
                       artwork::twips(240, 1920, 4215, 615), artwork::font(12), Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);
    // Two lines of its font, however tall the face that stands in for the one it is laid out for.
    Label2->resize(Label2->width(), std::max(Label2->height(), 2 * Label2->fontMetrics().lineSpacing() + 2));
    Label1 = artwork::makeLabel(this, "Label1", QCoreApplication::translate("frmAbout", "Version ") + product::shownVersion(), artwork::twips(4560, 1920, 1695, 375),
                       artwork::font(13.5, true), Qt::AlignLeft | Qt::AlignTop);
    Label3 = artwork::makeLabel(this, "Label3", QStringLiteral("Win 95/98"), artwork::twips(4560, 2400, 1815, 255),
                       artwork::font(9.75), Qt::AlignLeft | Qt::AlignTop);

    Command1 = new QPushButton(QCoreApplication::translate("frmAbout", "&Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(artwork::twips(2280, 2760, 1815, 375));
    Command1->setDefault(true);
    Command1->setFocus();
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    Line1[0] = QLine(px(0), px(3360), px(6480), px(3360));
    Line1[1] = QLine(px(0), px(0), px(6480), px(0));
    Line2[0] = QLine(px(0), px(0), px(0), px(3360));
    Line2[1] = QLine(px(6480), px(0), px(6480), px(3360));
}

void frmAbout::Command1_Click() { accept(); }

void frmAbout::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    for (const QLine& line : Line1) p.drawLine(line);
    for (const QLine& line : Line2) p.drawLine(line);
}

void frmAbout::showModal(QWidget* parent) {
    frmAbout box(parent);
    tp::modal().exec(box);
}
