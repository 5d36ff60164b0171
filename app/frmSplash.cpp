#include "app/frmSplash.h"

#include "platform/Artwork.h"
#include "platform/Product.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QPainter>
#include <QTimer>
#include <qdrawutil.h>


frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(product::kName);
    setFixedSize(artwork::px(7380), artwork::px(4245));

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    Frame1->setGeometry(artwork::twips(120, 60, 7080, 4050));
    Frame1->installEventFilter(this);

    // The contents, in pixels inside the frame (472 by 270 as drawn, grown as the layout grows).
    Image1 = new QLabel(Frame1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(artwork::picture(QStringLiteral("splash-banner")));
    Image1->setGeometry(artwork::scaled(QRect(8, 8, 456, 92)));

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(artwork::picture(QStringLiteral("logo")));
    imgLogo->setGeometry(artwork::scaled(QRect(14, 114, 96, 96)));

    const QFont body = artwork::font(9);
    lblCredit = new QLabel(Frame1);
    lblCredit->setObjectName(QStringLiteral("lblCredit"));
    lblCredit->setTextFormat(Qt::RichText);
    lblCredit->setTextInteractionFlags(Qt::NoTextInteraction);
    lblCredit->setText(QCoreApplication::translate("frmSplash", "Designed and Programmed by <b>") + product::kAuthor.toHtmlEscaped() +
                       QStringLiteral("</b>"));
    lblCredit->setGeometry(artwork::scaled(QRect(124, 122, 336, 18)));
    lblCredit->setFont(body);
    lblWeb = artwork::makeLabel(Frame1, "lblWeb", product::kHomePage,
                       artwork::scaled(QRect(124, 144, 210, 16)), artwork::font(8.25));
    lblEmail = artwork::makeLabel(Frame1, "lblEmail", product::kContactEmail,
                         artwork::scaled(QRect(124, 162, 210, 16)), artwork::font(8.25));
    lblVersion = artwork::makeLabel(Frame1, "lblVersion", QCoreApplication::translate("frmSplash", "Version ") + product::shownVersion(), artwork::scaled(QRect(316, 150, 144, 24)),
                           artwork::font(13.5, true), Qt::AlignRight | Qt::AlignVCenter);
    lblPlatform = artwork::makeLabel(Frame1, "lblPlatform", QStringLiteral("Win95/98"), artwork::scaled(QRect(316, 176, 144, 18)),
                            artwork::font(9.75), Qt::AlignRight | Qt::AlignVCenter);

    auto* rule = new QFrame(Frame1);
    rule->setObjectName(QStringLiteral("Line1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(artwork::scaled(QRect(14, 222, 444, 2)));

    lblNotice = artwork::makeLabel(Frame1, "lblNotice",
                          QCoreApplication::translate("frmSplash", "Copyright © The Tesselpad developers. Free to use and to share."),
                          artwork::scaled(QRect(14, 234, 444, 18)), artwork::font(8.25), Qt::AlignCenter);
    QPalette muted = lblNotice->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    lblNotice->setPalette(muted);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kIntervalMs);
    // A precise timer never fires before its interval is up, so the first tick is the one that
    // closes the splash.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);

    elapsed_ = [this] { return clock_.isValid() ? clock_.elapsed() : 0; };

    // Centred on the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

frmSplash::~frmSplash() = default;

frmSplash* frmSplash::showSplash(std::function<void()> onUnload) {
    auto* splash = new frmSplash;
    splash->setOnUnload(std::move(onUnload));
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->Form_Load();
    splash->show();
    return splash;
}

void frmSplash::Form_Load() {
    clock_.start();
    Timer1->start();
}

void frmSplash::Timer1_Timer() {
    if (unloaded_) return;
    // Any tick a second or more after loading closes the splash, however late it comes.
    if (elapsed_() >= kIntervalMs) close();
}

void frmSplash::Frame1_Click() {
    if (unloaded_) return;
    close();
}

void frmSplash::closeEvent(QCloseEvent* e) {
    Form_Unload();
    QWidget::closeEvent(e);
}

void frmSplash::Form_Unload() {
    // Closing can be asked for more than once (a click and a tick close together); the closing
    // action runs only the first time.
    if (unloaded_) return;
    unloaded_ = true;
    Timer1->stop();
    if (onUnload_) onUnload_();
}

void frmSplash::paintEvent(QPaintEvent*) {
    // No title bar, but a raised dialog edge, so the splash stands out from what lies behind it.
    QPainter p(this);
    qDrawWinPanel(&p, rect(), palette(), /*sunken=*/false);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* e) {
    if (watched != Frame1) return QWidget::eventFilter(watched, e);
    // Only the frame's own background answers a click; the pictures and texts on it do not
    // (their presses reach here too, since they leave mouse presses to their parent).
    if (e->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(e);
        pressedOnBackground_ =
            me->button() == Qt::LeftButton && Frame1->childAt(me->position().toPoint()) == nullptr;
        return true;
    }
    if (e->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint at = me->position().toPoint();
        const bool click = pressedOnBackground_ && me->button() == Qt::LeftButton &&
                           Frame1->rect().contains(at) && Frame1->childAt(at) == nullptr;
        pressedOnBackground_ = false;
        if (click) Frame1_Click();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}
