#include "search/frmReplace.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "search/FindInDocument.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <limits>

namespace {
frmReplace* g_loaded = nullptr;

template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
} // namespace

frmReplace::frmReplace(DocumentFrame& frame)
    : QDialog(frame.frameWidget(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      frame_(frame) {
    setObjectName(QStringLiteral("frmReplace"));
    setWindowTitle(QCoreApplication::translate("frmReplace", "Replace"));
    setAttribute(Qt::WA_DeleteOnClose);

    txtFind = named(new QLineEdit(this), "txtFind");
    txtReplace = named(new QLineEdit(this), "txtReplace");
    for (QLineEdit* t : {txtFind, txtReplace}) {
        t->setMaxLength(std::numeric_limits<int>::max());
        t->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
    }
    auto* lblFind = named(new QLabel(QCoreApplication::translate("frmReplace", "Fi&nd what:"), this), "lblFind");
    auto* lblReplace = named(new QLabel(QCoreApplication::translate("frmReplace", "Re&place with:"), this), "lblReplace");
    lblFind->setBuddy(txtFind);
    lblReplace->setBuddy(txtReplace);

    chkCase = named(new QCheckBox(QCoreApplication::translate("frmReplace", "Match &case"), this), "chkCase");
    chkWord = named(new QCheckBox(QCoreApplication::translate("frmReplace", "&Whole word"), this), "chkWord");
    chkRegex = named(new QCheckBox(QCoreApplication::translate("frmReplace", "Regular e&xpression"), this), "chkRegex");

    auto* direction = named(new QGroupBox(QCoreApplication::translate("frmReplace", "Direction"), this), "fraDirection");
    optUp = named(new QRadioButton(QCoreApplication::translate("frmReplace", "&Up"), direction), "optUp");
    optDown = named(new QRadioButton(QCoreApplication::translate("frmReplace", "&Down"), direction), "optDown");
    auto* directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(optUp);
    directionRow->addWidget(optDown);

    auto* scope = named(new QGroupBox(QCoreApplication::translate("frmReplace", "Replace All in"), this), "fraScope");
    optSelection = named(new QRadioButton(QCoreApplication::translate("frmReplace", "the &selection"), scope), "optSelection");
    optDocument = named(new QRadioButton(QCoreApplication::translate("frmReplace", "the documen&t"), scope), "optDocument");
    optAllDocuments = named(new QRadioButton(QCoreApplication::translate("frmReplace", "all &open documents"), scope), "optAllDocuments");
    auto* scopeColumn = new QVBoxLayout(scope);
    for (QRadioButton* o : {optSelection, optDocument, optAllDocuments}) scopeColumn->addWidget(o);

    cmdFindNext = named(new QPushButton(QCoreApplication::translate("frmReplace", "&Find Next"), this), "cmdFindNext");
    cmdReplace = named(new QPushButton(QCoreApplication::translate("frmReplace", "&Replace"), this), "cmdReplace");
    cmdReplaceAll = named(new QPushButton(QCoreApplication::translate("frmReplace", "Replace &All"), this), "cmdReplaceAll");
    cmdClose = named(new QPushButton(QCoreApplication::translate("frmReplace", "Close"), this), "cmdClose");
    cmdFindNext->setDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(lblFind, 0, 0);
    fields->addWidget(txtFind, 0, 1);
    fields->addWidget(lblReplace, 1, 0);
    fields->addWidget(txtReplace, 1, 1);
    auto* options = new QVBoxLayout;
    for (QCheckBox* c : {chkCase, chkWord, chkRegex}) options->addWidget(c);
    options->addStretch();
    auto* groups = new QHBoxLayout;
    groups->addLayout(options);
    groups->addWidget(direction, 0, Qt::AlignTop);
    groups->addWidget(scope, 0, Qt::AlignTop);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(groups);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdFindNext, cmdReplace, cmdReplaceAll, cmdClose}) buttons->addWidget(b);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);

    connect(txtFind, &QLineEdit::textChanged, this, &frmReplace::updateButtons);
    connect(cmdFindNext, &QPushButton::clicked, this, &frmReplace::cmdFindNext_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &frmReplace::cmdReplace_Click);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &frmReplace::cmdReplaceAll_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    g_loaded = this;
    fill();
}

frmReplace::~frmReplace() {
    if (g_loaded == this) g_loaded = nullptr;
}

frmReplace* frmReplace::loaded() { return g_loaded; }

frmReplace* frmReplace::open(DocumentFrame& frame) {
    frmReplace* dialog = g_loaded;
    if (dialog) dialog->fill();
    else dialog = new frmReplace(frame);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->txtFind->setFocus();
    dialog->txtFind->selectAll();
    return dialog;
}

void frmReplace::fill() {
    const searchcmd::SearchState& s = searchcmd::state();
    const searchcmd::SearchExtras& x = searchcmd::extras();
    // A selection within one line is what to find; one over several lines is where to replace.
    QString selected;
    if (Form1* form = frame_.ActiveForm()) selected = form->RTB1->SelText();
    const bool lines = selected.contains(QLatin1Char('\n')) || selected.contains(QLatin1Char('\r'));
    txtFind->setText(!selected.isEmpty() && !lines ? selected : s.strSearchText);
    txtReplace->setText(x.replaceText);
    chkCase->setChecked(s.intMatchCase != 0);
    chkWord->setChecked(x.wholeWord);
    chkRegex->setChecked(x.regex);
    (s.intSearchDirection == 1 ? optDown : optUp)->setChecked(true);
    (lines ? optSelection : optDocument)->setChecked(true);
    updateButtons();
}

void frmReplace::updateButtons() {
    const bool any = !txtFind->text().isEmpty();
    for (QPushButton* b : {cmdFindNext, cmdReplace, cmdReplaceAll}) b->setEnabled(any);
}

replacecmd::ReplaceQuery frmReplace::query() const {
    return {txtFind->text(),       txtReplace->text(),    chkCase->isChecked(),
            chkWord->isChecked(),  chkRegex->isChecked(), optDown->isChecked()};
}

replacecmd::Scope frmReplace::scope() const {
    if (optSelection->isChecked()) return replacecmd::Scope::Selection;
    return optAllDocuments->isChecked() ? replacecmd::Scope::AllDocuments : replacecmd::Scope::Document;
}

void frmReplace::cmdFindNext_Click() { replacecmd::findNext(frame_, query()); }

void frmReplace::cmdReplace_Click() { replacecmd::replaceCurrent(frame_, query()); }

void frmReplace::cmdReplaceAll_Click() { replacecmd::replaceAll(frame_, query(), scope()); }
