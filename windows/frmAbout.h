#pragma once
// The About box: a borderless white panel with the product banner, the credit line, the contact
// address and the version, closed with its one button.
#include <QDialog>
#include <QLine>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Help > About: shows a fresh About box modally over the frame; returns when it is closed.
    static void showModal(QWidget* parent);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;   // version
    QLabel* Label2 = nullptr;   // where to send comments
    QLabel* Label3 = nullptr;   // platform
    QLabel* Label4 = nullptr;   // credit line
    QPushButton* Command1 = nullptr;
    // The thin rectangle drawn along the edges in place of a border: bottom and top, left and right.
    QLine Line1[2];
    QLine Line2[2];

public slots:
    void Command1_Click();

protected:
    void paintEvent(QPaintEvent* e) override;
};
