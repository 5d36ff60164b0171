#include "edit/ProblemMarks.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "documents/Theme.h"
#include "edit/CheckQueue.h"
#include "platform/Indicators.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QMainWindow>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolTip>

namespace editcmd {
namespace {
using Sci = QsciScintillaBase;

constexpr int kProblemIndicator = tp::indicator::kProblem;
constexpr int kWarningIndicator = tp::indicator::kWarning;
// The margin of the marks (0 holds the line numbers, 2 the fold marks) and their markers (the
// fold marks take 25..31).
constexpr int kMarkMargin = 1;
constexpr int kProblemMarker = tp::marker::kProblemLine;
constexpr int kWarningMarker = tp::marker::kWarningLine;
constexpr int kDwellMs = 500;

// Every live one, to apply the switches to (no ownership).
QList<ProblemMarks*>& all() {
    static QList<ProblemMarks*> list;
    return list;
}

// Each text posted gets a number of its own, never reused in the run: an outcome is matched to
// the text it is of, whatever window it went to.
quint64 nextGeneration() {
    static quint64 n = 0;
    return ++n;
}

} // namespace

ProblemMarks::ProblemMarks(Form1& form) : QObject(&form), form_(form), rtb_(*form.RTB1) {
    all().append(this);
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &ProblemMarks::post);
    connect(&rtb_, &RichTextBox::Change, this, &ProblemMarks::textChanged);
    if (DocumentView* view = form.view()) connect(view, &DocumentView::settingsChanged, this, &ProblemMarks::settingsChanged);
    connect(&rtb_, &Sci::SCN_DWELLSTART, this, &ProblemMarks::showTip);
    connect(&rtb_, &Sci::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
    settingsChanged();
}

ProblemMarks::~ProblemMarks() {
    // No outcome is delivered to this object from here on.
    htmlcheck::forget(this);
    all().removeOne(this);
}

ProblemMarks* ProblemMarks::of(const Form1* form) {
    for (ProblemMarks* m : all())
        if (&m->form_ == form) return m;
    return nullptr;
}

std::optional<htmlcheck::Language> ProblemMarks::language() const {
    if (!DocumentView::preferences().checkMarkup) return std::nullopt;
    const DocumentView* view = form_.view();
    if (!view) return std::nullopt;
    switch (view->syntaxKind()) {
    case syntax::Kind::Html: return htmlcheck::Language::Html;
    case syntax::Kind::Xml: return htmlcheck::Language::Xml;
    default: return std::nullopt;
    }
}

void ProblemMarks::textChanged() {
    generation_ = nextGeneration();
    checked_ = false;
    running_ = refused_ = false;   // a check of the text before is abandoned
    if (language()) startPause();
}

void ProblemMarks::settingsChanged() {
    applyStyles();
    if (!language()) {
        pause_.stop();
        generation_ = nextGeneration();   // an outcome on its way is no longer wanted
        result_ = {};
        checked_ = running_ = tooLarge_ = false;
        clearMarks();
        emit changed();
        return;
    }
    // Checked anew under the new settings.
    generation_ = nextGeneration();
    startPause();
}

void ProblemMarks::startPause() {
    // A page just opened (or just turned into a page) is not being typed: its first check goes at
    // once, so that its marks come soon after it shows.
    pause_.start(delivered_ ? kPauseMs : kFirstPauseMs);
}

void ProblemMarks::post() {
    const std::optional<htmlcheck::Language> lang = language();
    if (!lang) return;
    if (rtb_.byteLength() > htmlcheck::kAutoLimit) {
        tooLarge_ = true;
        emit changed();
        return;
    }
    // A text not on screen (a window behind others, a tab not in front) is checked when it is
    // drawn: two hundred pages opened at once would each hold a copy of their text in the queue
    // and keep the check thread busy with pages nobody looks at.
    if (rtb_.viewport()->visibleRegion().isEmpty()) {
        if (!awaitingScreen_) {
            awaitingScreen_ = true;
            rtb_.viewport()->installEventFilter(this);
        }
        return;
    }
    send(false);
}

bool ProblemMarks::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Paint && awaitingScreen_ && watched == rtb_.viewport()) {
        awaitingScreen_ = false;
        rtb_.viewport()->removeEventFilter(this);
        // After this paint, not in it.
        if (language() && !checked_ && !running_) pause_.start(0);
    }
    return QObject::eventFilter(watched, e);
}

void ProblemMarks::checkNow() { send(true); }

void ProblemMarks::send(bool asked) {
    const std::optional<htmlcheck::Language> lang = language();
    if (!lang) return;
    pause_.stop();
    tooLarge_ = false;
    refused_ = rtb_.byteLength() > htmlcheck::kAskedLimit;
    if (refused_) {
        emit changed();
        return;
    }
    running_ = true;
    htmlcheck::Job job;
    job.generation = generation_;
    // A copy: the check thread never reads the control, whose text the user goes on changing.
    job.text = rtb_.bytes(0, rtb_.byteLength());
    job.language = *lang;
    job.all = DocumentView::preferences().checkAllReports;
    job.asked = asked;
    htmlcheck::post(this, std::move(job), [this](quint64 generation, const htmlcheck::Result& result) {
        deliver(generation, result);
    });
    emit changed();
}

void ProblemMarks::deliver(quint64 generation, const htmlcheck::Result& result) {
    // Of a text that has changed since (or of settings since changed): its positions would be wrong.
    if (generation != generation_ || !language()) return;
    running_ = false;
    checked_ = delivered_ = true;
    result_ = result;
    applyMarks();
    emit changed();
}

QString ProblemMarks::state() const {
    if (!language()) return tr("Not checked: the checks are off or the document is not HTML or XML.");
    if (refused_) return tr("Not checked: the page is over 32 MB.");
    if (tooLarge_)
        return tr("Not checked as you type: the page is over 5 MB. View > Check Page Now checks it.");
    if (running_) return tr("Checking...");
    if (result_.leftOpen > 0)
        return tr("Not checked as you type: %1 elements are left open at once, which would take the "
                  "check minutes. View > Check Page Now checks it.")
            .arg(result_.leftOpen);
    if (!checked_ && result_.problems.empty()) return QString();
    const qint64 n = qint64(result_.problems.size()) + result_.more;
    QString s = n == 1 ? tr("1 problem") : tr("%1 problems").arg(n);
    if (result_.more > 0) s += tr(" (the first %1 listed)").arg(result_.problems.size());
    s += tr(", checked in %1 ms").arg(result_.elapsedMs);
    return s;
}

void ProblemMarks::applyStyles() {
    const theme::Colours c = theme::fromPalette(rtb_.palette());
    rtb_.SendScintilla(Sci::SCI_INDICSETSTYLE, kProblemIndicator, Sci::INDIC_SQUIGGLEPIXMAP);
    rtb_.SendScintilla(Sci::SCI_INDICSETFORE, kProblemIndicator, c.problem);
    rtb_.SendScintilla(Sci::SCI_INDICSETSTYLE, kWarningIndicator, Sci::INDIC_SQUIGGLEPIXMAP);
    rtb_.SendScintilla(Sci::SCI_INDICSETFORE, kWarningIndicator, c.warning);
    rtb_.SendScintilla(Sci::SCI_MARKERDEFINE, kProblemMarker, Sci::SC_MARK_CIRCLE);
    rtb_.SendScintilla(Sci::SCI_MARKERSETFORE, kProblemMarker, c.problem);
    rtb_.SendScintilla(Sci::SCI_MARKERSETBACK, kProblemMarker, c.problem);
    rtb_.SendScintilla(Sci::SCI_MARKERDEFINE, kWarningMarker, Sci::SC_MARK_SHORTARROW);
    rtb_.SendScintilla(Sci::SCI_MARKERSETFORE, kWarningMarker, c.warning);
    rtb_.SendScintilla(Sci::SCI_MARKERSETBACK, kWarningMarker, c.warning);
    // The margin shows while the window is checked, so that the text does not shift as marks come
    // and go.
    const int width = language() ? rtb_.fontMetrics().height() * 3 / 4 + 4 : 0;
    if (width != marginWidth_) {
        rtb_.SendScintilla(Sci::SCI_SETMARGINTYPEN, kMarkMargin, Sci::SC_MARGIN_SYMBOL);
        rtb_.SendScintilla(Sci::SCI_SETMARGINMASKN, kMarkMargin, (1 << kProblemMarker) | (1 << kWarningMarker));
        rtb_.SendScintilla(Sci::SCI_SETMARGINWIDTHN, kMarkMargin, width);
        rtb_.SendScintilla(Sci::SCI_SETMOUSEDWELLTIME, width ? kDwellMs : Sci::SC_TIME_FOREVER);
        marginWidth_ = width;
    }
}

void ProblemMarks::clearMarks() {
    const qint64 length = rtb_.byteLength();
    for (int indicator : {kProblemIndicator, kWarningIndicator}) {
        rtb_.SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicator);
        rtb_.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0, length);
    }
    rtb_.SendScintilla(Sci::SCI_MARKERDELETEALL, kProblemMarker);
    rtb_.SendScintilla(Sci::SCI_MARKERDELETEALL, kWarningMarker);
}

void ProblemMarks::applyMarks() {
    applyStyles();
    clearMarks();
    const qint64 length = rtb_.byteLength();
    long lastLine = -1;
    int lastMarker = -1;
    for (size_t i = 0; i < result_.problems.size(); ++i) {
        const problems::Problem& p = result_.problems[i];
        const bool error = p.severity == problems::Severity::Error;
        const qint64 from = std::min(p.from, length), to = std::min(p.to, length);
        if (to > from) {
            rtb_.SendScintilla(Sci::SCI_SETINDICATORCURRENT, error ? kProblemIndicator : kWarningIndicator);
            // The value names the problem, for its tooltip.
            rtb_.SendScintilla(Sci::SCI_SETINDICATORVALUE, static_cast<unsigned long>(i + 1));
            rtb_.SendScintilla(Sci::SCI_INDICATORFILLRANGE, from, to - from);
        }
        const long line = long(rtb_.lineOfByte(from));
        const int marker = error ? kProblemMarker : kWarningMarker;
        // One mark a line: an error's when the line has one.
        if (line == lastLine && (lastMarker == kProblemMarker || marker == lastMarker)) continue;
        rtb_.SendScintilla(Sci::SCI_MARKERADD, line, marker);
        lastLine = line;
        lastMarker = marker;
    }
}

void ProblemMarks::showTip(int position, int x, int y) {
    if (position < 0) return;
    QStringList messages;
    for (int indicator : {kProblemIndicator, kWarningIndicator}) {
        const long value = rtb_.SendScintilla(Sci::SCI_INDICATORVALUEAT, indicator, position);
        if (value > 0 && size_t(value) <= result_.problems.size()) messages << result_.problems[size_t(value) - 1].message;
    }
    // As plain text: a message names tags ("<img> lacks ..."), which a tooltip would take for markup.
    if (!messages.isEmpty())
        QToolTip::showText(rtb_.mapToGlobal(QPoint(x, y)),
                           Qt::convertFromPlainText(messages.join(QLatin1Char('\n')), Qt::WhiteSpaceNormal), &rtb_);
}

void attachProblemMarks(Form1& form) { new ProblemMarks(form); }

void mnuViewChecks(DocumentFrame& frame) {
    const prefs::Editor p = DocumentView::preferences();
    if (QAction* a = frame.item("mnuViewCheckMarkup")) {
        a->setCheckable(true);
        a->setChecked(p.checkMarkup);
    }
    if (QAction* a = frame.item("mnuViewCheckAllReports")) {
        a->setCheckable(true);
        a->setChecked(p.checkAllReports);
        a->setEnabled(p.checkMarkup);
    }
    const ProblemMarks* marks = ProblemMarks::of(frame.ActiveForm());
    frame.setItemsEnabled({"mnuViewCheckNow"}, marks && marks->language());
}

void ToggleCheckMarkup() {
    prefs::Editor p = DocumentView::preferences();
    p.checkMarkup = !p.checkMarkup;
    DocumentView::setPreferences(p);
}

void ToggleCheckAllReports() {
    prefs::Editor p = DocumentView::preferences();
    p.checkAllReports = !p.checkAllReports;
    DocumentView::setPreferences(p);
}

void CheckPageNow(DocumentFrame& frame) {
    ProblemMarks* marks = ProblemMarks::of(frame.ActiveForm());
    if (!marks || !marks->language()) return;
    // The time and the count go to the status bar once the check is in.
    if (auto* window = qobject_cast<QMainWindow*>(frame.frameWidget())) {
        QStatusBar* bar = window->statusBar();
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = QObject::connect(marks, &ProblemMarks::changed, bar, [marks, bar, once] {
            if (marks->running()) return;
            QObject::disconnect(*once);
            bar->showMessage(marks->state(), 10000);
        });
    }
    marks->checkNow();
}

} // namespace editcmd
