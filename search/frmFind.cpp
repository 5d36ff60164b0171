#include "search/frmFind.h"

#include "documents/DocumentFrame.h"
#include "platform/Modal.h"
#include "search/FindInDocument.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace {

// The layout is given in twips: at 96 dots per inch 15 twips make a pixel, for a font smaller
// than most desktops use today. The whole layout grows evenly until every caption fits.
QRect twips(int left, int top, int width, int height, double scale) {
    const auto px = [scale](int t) { return int(t * scale / 15.0 + 0.5); };
    return QRect(px(left), px(top), px(left + width) - px(left), px(top + height) - px(top));
}

} // namespace

frmFind::frmFind(DocumentFrame& frame)
    : QDialog(frame.frameWidget(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      frame_(frame) {
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QCoreApplication::translate("frmFind", "Find"));
    setModal(true);
    setSizeGripEnabled(false);

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(std::numeric_limits<int>::max());   // a long selection is taken whole

    cmdFind = new QPushButton(QCoreApplication::translate("frmFind", "&Find"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));

    Label1 = new QLabel(QCoreApplication::translate("frmFind", "Find what:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(Text1);   // a screen reader names the field by it

    cmdcancel = new QPushButton(QCoreApplication::translate("frmFind", "&Cancel"), this);
    cmdcancel->setObjectName(QStringLiteral("cmdcancel"));

    chkCase = new QCheckBox(QCoreApplication::translate("frmFind", "Match &case"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));

    Frame1 = new QGroupBox(QCoreApplication::translate("frmFind", "Direction"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));

    // The two direction buttons lie over the frame, "&Up" left of "&Down".
    const char* captions[2] = {QT_TRANSLATE_NOOP("frmFind", "&Up"), QT_TRANSLATE_NOOP("frmFind", "&Down")};
    for (int i = 0; i < 2; ++i) {
        auto* opt = new QRadioButton(QCoreApplication::translate("frmFind", captions[i]), Frame1);
        opt->setObjectName(QStringLiteral("optDirection%1").arg(i));
        optDirection[i] = opt;
        connect(opt, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optDirection_Click(i);
        });
    }

    layOut();

    // Neither button answers Enter or Esc on its own.
    for (QPushButton* b : {cmdFind, cmdcancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    setTabOrder(Text1, cmdFind);
    setTabOrder(cmdFind, cmdcancel);
    setTabOrder(cmdcancel, chkCase);
    setTabOrder(chkCase, optDirection[0]);
    setTabOrder(optDirection[0], optDirection[1]);

    connect(Text1, &QLineEdit::textChanged, this, &frmFind::Text1_Change);
    connect(cmdFind, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connect(cmdcancel, &QPushButton::clicked, this, &frmFind::cmdcancel_Click);
    connect(chkCase, &QCheckBox::toggled, this, &frmFind::chkCase_Click);
    Label1->installEventFilter(this);

    Form_Load();
    Text1->setFocus();
}

const QList<frmFind::Placement>& frmFind::design() {
    static const QList<Placement> places = {
        {"frmFind", {0, 0, 5250, 1380}},       {"Text1", {1080, 240, 2775, 285}},
        {"cmdFind", {4080, 120, 1095, 375}},   {"Label1", {120, 240, 735, 255}},
        {"cmdcancel", {4080, 600, 1095, 375}}, {"chkCase", {120, 960, 1455, 255}},
        {"optDirection0", {2040, 960, 615, 255}}, {"Frame1", {1920, 720, 1815, 615}},
        {"optDirection1", {2760, 960, 735, 255}},
    };
    return places;
}

QRect frmFind::scaled(const QRect& twipsRect) const {
    return twips(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height(), scale_);
}

void frmFind::layOut() {
    // How much the design has to grow for every caption and box to fit the font in use.
    const auto need = [this](QWidget* w, int twipsWidth, int twipsHeight) {
        const QSize hint = w->sizeHint();
        if (twipsWidth > 0) scale_ = std::max(scale_, hint.width() * 15.0 / twipsWidth);
        scale_ = std::max(scale_, hint.height() * 15.0 / twipsHeight);
    };
    scale_ = 1.0;
    for (const Placement& p : design()) {
        if (QWidget* w = findChild<QWidget*>(QLatin1String(p.name))) {
            if (w == Text1) need(w, 0, p.twips.height());   // any width will do for the text box
            else if (w != Frame1) need(w, p.twips.width(), p.twips.height());
        }
    }
    scale_ = std::min(scale_, 3.0);

    const QRect frameRect = scaled(design().at(7).twips);
    for (const Placement& p : design()) {
        QRect r = scaled(p.twips);
        if (p.name == QLatin1String("frmFind")) {
            setFixedSize(r.size());
            continue;
        }
        QWidget* w = findChild<QWidget*>(QLatin1String(p.name));
        if (w->parentWidget() == Frame1) r.translate(-frameRect.topLeft());
        w->setGeometry(r);
    }
}

void frmFind::Form_Load() {
    cmdFind->setEnabled(false);
    // A direction other than Up or Down selects neither button.
    const int direction = searchcmd::state().intSearchDirection;
    if (direction == 0 || direction == 1) optDirection[direction]->setChecked(true);
}

void frmFind::Text1_Change() {
    searchcmd::state().blnNewSearch = true;
    cmdFind->setEnabled(!Text1->text().isEmpty());
}

void frmFind::cmdFind_Click() {
    searchcmd::state().strSearchText = Text1->text();
    if (searchcmd::FindInDocument(frame_)) done(QDialog::Accepted);
}

void frmFind::cmdcancel_Click() {
    searchcmd::SearchState& s = searchcmd::state();
    s.strSearchText = Text1->text();
    s.intMatchCase = chkCase->isChecked() ? 1 : 0;
    reject();
}

void frmFind::chkCase_Click() { searchcmd::state().intMatchCase = chkCase->isChecked() ? 1 : 0; }

void frmFind::optDirection_Click(int Index) { searchcmd::state().intSearchDirection = std::int16_t(Index); }

void frmFind::Label1_DblClick() {
    tp::MsgBox(QCoreApplication::translate("frmFind", "Booooooooooooooh!"), tp::MsgButtons::OK, tp::MsgIcon::Critical,
               QCoreApplication::translate("frmFind", "Easter Egg! ;o)"));
}

bool frmFind::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Label1 && e->type() == QEvent::MouseButtonDblClick) {
        Label1_DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void frmFind::keyPressEvent(QKeyEvent* e) {
    // Esc does not close the dialog: no button is bound to it.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void frmFind::closeEvent(QCloseEvent* e) {
    // The close box unloads the dialog and stores neither the text nor the case box.
    reject();
    e->accept();
}
