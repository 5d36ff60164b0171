#include "app/frmOptions.h"

#include "platform/Artwork.h"
#include "io/Settings.h"
#include "platform/Modal.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>



frmOptions::frmOptions(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QCoreApplication::translate("frmOptions", "Options"));
    setFixedSize(artwork::px(5655), artwork::px(1290));
    setSizeGripEnabled(false);

    OKButton = new QPushButton(QCoreApplication::translate("frmOptions", "OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(artwork::twips(4320, 240, 1215, 375));
    OKButton->setDefault(true);

    CancelButton = new QPushButton(QCoreApplication::translate("frmOptions", "Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(artwork::twips(4320, 720, 1215, 375));
    CancelButton->setAutoDefault(false);

    Frame1 = new QGroupBox(QCoreApplication::translate("frmOptions", "When Starting"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(artwork::twips(240, 120, 3855, 975));
    // The caption sits on the frame's top line, leaving the space below it to the boxes.
    const int gap = qRound(7 * artwork::layoutScale());
    Frame1->setStyleSheet(QStringLiteral(
        "QGroupBox#Frame1 { border: 1px solid palette(mid); border-radius: 3px; margin-top: %1px; }"
        "QGroupBox#Frame1::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: %1px; padding: 0px 3px; }").arg(gap));

    Check1 = new QCheckBox(QCoreApplication::translate("frmOptions", "Display &Splash Screen"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(artwork::twips(120, 240, 3495, 255));

    Check2 = new QCheckBox(QCoreApplication::translate("frmOptions", "&Maximize Document Windows"), Frame1);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setGeometry(artwork::twips(120, 600, 3255, 255));

    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, Check1);
    setTabOrder(Check1, Check2);

    connect(OKButton, &QPushButton::clicked, this, &frmOptions::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmOptions::CancelButton_Click);
}

void frmOptions::Form_Load() {
    const settings::Flags flags = settings::read();
    if (flags.splash) Check1->setChecked(*flags.splash == 1);
    if (flags.maximize) Check2->setChecked(*flags.maximize == 1);
}

void frmOptions::OKButton_Click() {
    // The file is replaced whole or not at all; a failure is not reported.
    settings::write(Check1->isChecked() ? 1 : 0, Check2->isChecked() ? 1 : 0);
    accept();
}

void frmOptions::CancelButton_Click() { reject(); }

void frmOptions::showModal(QWidget* parent) {
    frmOptions dialog(parent);
    dialog.Form_Load();
    tp::modal().exec(dialog);
}
