#pragma once
// The Find dialog: the text to find, match case, direction. It keeps nothing itself: each control
// hands its value to the shared search state, and Find runs the search; a hit closes the dialog.
#include <QDialog>
#include <QList>
#include <QRect>

class DocumentFrame;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmFind : public QDialog {
    Q_OBJECT
public:
    // Loading the dialog runs its load step: Find disabled, the stored direction selected.
    explicit frmFind(DocumentFrame& frame);

    // The dialog's layout, in twips (the dialog's client area first).
    struct Placement {
        const char* name;
        QRect twips;
    };
    static const QList<Placement>& design();
    // The factor the design is shown at (at least 1: 15 twips to the pixel, grown to fit the font).
    double layoutScale() const { return scale_; }
    // A rectangle of the layout (in twips) in this dialog's pixels.
    QRect scaled(const QRect& twipsRect) const;

    QLineEdit* Text1 = nullptr;
    QPushButton* cmdFind = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdcancel = nullptr;
    QCheckBox* chkCase = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* optDirection[2] = {};

public slots:
    void Text1_Change();
    void cmdFind_Click();
    void cmdcancel_Click();
    void chkCase_Click();
    void optDirection_Click(int Index);
    void Label1_DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void layOut();
    void Form_Load();

    double scale_ = 1.0;

    DocumentFrame& frame_;
};
