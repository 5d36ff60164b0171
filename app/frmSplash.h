#pragma once
// The splash screen shown at start-up when the settings ask for it. It goes away on the first
// timer tick at least a second after it was loaded, or at once when its background is clicked,
// and then runs what start-up gave it to do (show the frame).
#include <QElapsedTimer>
#include <QWidget>
#include <functional>

class QFrame;
class QLabel;
class QTimer;

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    ~frmSplash() override;

    // Creates, loads and shows the splash, centred on the screen; it runs 'onUnload' and deletes
    // itself on closing.
    static frmSplash* showSplash(std::function<void()> onUnload);

    // Notes the moment of loading and starts the timer.
    void Form_Load();

    // Milliseconds since Form_Load. A monotonic clock by default; tests put their own in place.
    using ElapsedSource = std::function<qint64()>;
    void setElapsedSource(ElapsedSource source) { elapsed_ = std::move(source); }
    // What closing does, once (nothing unless set).
    void setOnUnload(std::function<void()> action) { onUnload_ = std::move(action); }

    // How long the splash stays up at least, and the timer's interval.
    static constexpr int kIntervalMs = 1000;

    QFrame* Frame1 = nullptr;
    QLabel* Image1 = nullptr;    // banner across the top
    QLabel* imgLogo = nullptr;   // logo at the left
    QLabel* lblCredit = nullptr;
    QLabel* lblWeb = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblNotice = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void Timer1_Timer();
    void Frame1_Click();

protected:
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Form_Unload();

    QElapsedTimer clock_;
    ElapsedSource elapsed_;
    std::function<void()> onUnload_;
    bool unloaded_ = false;
    bool pressedOnBackground_ = false;
};
