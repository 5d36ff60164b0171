#include "edit/SpellCheck.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "documents/Theme.h"
#include "edit/Spelling.h"
#include "io/AtomicFile.h"
#include "io/SmallFile.h"
#include "platform/Indicators.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>
#include <QStatusBar>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace editcmd {
namespace {
using Sci = QsciScintillaBase;
constexpr int kIndicator = tp::indicator::kMisspelt;
// The pause after a key before the words shown are checked again.
constexpr int kPauseMs = 300;
// Lines checked above and below what is shown, so that a little scrolling shows marks at once.
constexpr long kMarginLines = 5;
// The most suggestions a right click offers.
constexpr int kMostSuggestions = 7;
// The user's word list is a few thousand short lines; more is not ours.
constexpr qint64 kMostPersonalBytes = qint64(2) << 20;


// The dictionaries and the words the user accepted, for the whole run. GUI thread only (workers
// hand a loaded dictionary over through a queued call).
struct Registry {
    bool installedRead = false;
    QStringList installed;
    QStringList installedFrom;        // the folders they were found in
    QHash<QString, std::shared_ptr<spelling::Dictionary>> loaded;
    QSet<QString> loading;
    QHash<QString, QString> failed;   // name: why
    QSet<QString> noted;              // notes shown once
    QSet<QString> ignored;            // Ignore, this session
    QSet<QString> personal;           // Add to Dictionary, kept in the user's word list
    bool personalRead = false;
};
Registry& registry() {
    static Registry r;
    return r;
}

const QStringList& installedDictionaries() {
    Registry& r = registry();
    const QStringList folders = spelling::systemFolders();
    if (!r.installedRead || folders != r.installedFrom) {
        r.installed = spelling::installed(folders);
        r.installedFrom = folders;
        r.installedRead = true;
    }
    return r.installed;
}

// A word of the user's list: one line, no blanks, not too long, valid UTF-8.
bool plausibleWord(const QString& w) {
    if (w.isEmpty() || w.size() > spelling::kLongestWord || w.contains(QChar::ReplacementCharacter)) return false;
    return std::none_of(w.begin(), w.end(), [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; });
}

const QSet<QString>& personalWords() {
    Registry& r = registry();
    if (!r.personalRead) {
        r.personalRead = true;
        QByteArray text;
        // Never waits on a pipe; a garbled or oversized file gives what its lines give.
        if (io::readSmallFile(QFile::encodeName(personalWordsPath()), kMostPersonalBytes, text)) {
            for (const QByteArray& line : text.split('\n')) {
                const QString w = QString::fromUtf8(line.trimmed());
                if (plausibleWord(w)) r.personal.insert(w);
            }
        }
    }
    return r.personal;
}

// A word the user accepted, also with a capital first letter (at a sentence's start).
bool accepted(const QSet<QString>& words, const QString& word) {
    if (words.isEmpty()) return false;
    if (words.contains(word)) return true;
    return !word.isEmpty() && word.front().isUpper() && words.contains(word.front().toLower() + word.mid(1));
}

class SpellChecker;
QList<SpellChecker*>& checkers() {
    static QList<SpellChecker*> list;
    return list;
}
void recheckAll();

// The loaded dictionary, or nullptr while it loads (in a worker; every window checks again when
// it is in) or when it could not be loaded.
spelling::Dictionary* dictionary(const QString& name) {
    Registry& r = registry();
    if (const auto it = r.loaded.constFind(name); it != r.loaded.constEnd()) return it->get();
    if (r.failed.contains(name) || r.loading.contains(name)) return nullptr;
    const QString folder = spelling::folderOf(name, spelling::systemFolders());
    r.loading.insert(name);
    QThreadPool::globalInstance()->start([name, folder] {
        QString why;
        std::shared_ptr<spelling::Dictionary> d(spelling::Dictionary::load(folder, name, &why).release());
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(app, [name, d, why] {
                Registry& r = registry();
                r.loading.remove(name);
                if (d) r.loaded.insert(name, d);
                else r.failed.insert(name, why.isEmpty() ? name : why);
                recheckAll();
            }, Qt::QueuedConnection);
        }
    });
    return nullptr;
}

// The spelling check of one window; it lives and works on the GUI thread, as its window does.
class SpellChecker : public QObject {
public:
    explicit SpellChecker(Form1& form) : QObject(&form), form_(form), rtb_(*form.RTB1) {
        checkers().append(this);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, &SpellChecker::check);
        rtb_.SendScintilla(Sci::SCI_INDICSETSTYLE, kIndicator, Sci::INDIC_SQUIGGLEPIXMAP);
        rtb_.SendScintilla(Sci::SCI_INDICSETUNDER, kIndicator, 1);
        applyTheme();
        rtb_.installEventFilter(this);
        // Where the change leaves the caret (typed keys announce only the notices before a change).
        connect(&rtb_, &Sci::SCN_MODIFIED, this,
                [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                    if (type & (Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_INSERTTEXT)) typedAt_ = qint64(position) + length;
                    else if (type & (Sci::SC_MOD_BEFOREDELETE | Sci::SC_MOD_DELETETEXT)) typedAt_ = position;
                });
        connect(&rtb_, &RichTextBox::Change, this, [this] {
            stale_ = true;
            typing_ = true;
            timer_.start(kPauseMs);
        });
        connect(&rtb_, &Sci::SCN_UPDATEUI, this, [this](int updated) {
            // What is shown changed: at once (queued, so that a burst of scrolling costs one check),
            // unless the keys scrolled it: then once they pause.
            if (updated & (Sci::SC_UPDATE_V_SCROLL | Sci::SC_UPDATE_H_SCROLL)) {
                if (!typing_) timer_.start(0);
            }
            // Coloured as another kind of file: other words are prose.
            else if ((updated & Sci::SC_UPDATE_CONTENT) && DocumentView::of(&form_) &&
                     DocumentView::of(&form_)->syntaxKind() != kind_ && !timer_.isActive())
                timer_.start(0);
            // The caret left the word being typed: that word is checked now.
            else if ((updated & Sci::SC_UPDATE_SELECTION) && waiting_.to > waiting_.from && !timer_.isActive() &&
                     rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS) != waiting_.to)
                timer_.start(0);
        });
        connect(&form, &Form1::fileAssigned, this, [this] { schedule(); });
        schedule();
    }
    ~SpellChecker() override { checkers().removeAll(this); }

    Form1& form() const { return form_; }
    spelling::Dictionary* dictionaryInUse() const { return inUse_; }
    void schedule() {
        stale_ = true;
        timer_.start(0);
    }
    int marks() const { return int(marks_.size()); }

    void check() {
        timer_.stop();
        typing_ = false;
        inUse_ = nullptr;
        const prefs::Editor p = DocumentView::preferences();
        const DocumentView* view = DocumentView::of(&form_);
        kind_ = view ? view->syntaxKind() : syntax::Kind::Plain;
        const spelling::Mode mode = p.spelling && view ? spelling::modeFor(kind_) : spelling::Mode::None;
        if (mode == spelling::Mode::None || (mode == spelling::Mode::Code && !p.spellCode)) return lay({}, 0, 0);
        const QStringList& installed = installedDictionaries();
        if (installed.isEmpty()) {
            note(QStringLiteral("none"), QCoreApplication::translate("Spelling", "Spelling: no dictionary is installed (Debian's hunspell-en-us, "
                                            "hunspell-fr, hunspell-de-de ... packages have them)."));
            return lay({}, 0, 0);
        }
        const qint64 length = rtb_.byteLength();
        QString page;
        if (mode == spelling::Mode::Html) page = spelling::pageLanguage(rtb_.bytes(0, std::min<qint64>(length, 16 << 10)));
        const QString name = spelling::chooseDictionary(page, p.spellingLanguage, QLocale().name(), installed);
        spelling::Dictionary* dict = dictionary(name);
        if (!dict) {
            const Registry& r = registry();
            if (r.failed.contains(name)) {
                note(name, QCoreApplication::translate("Spelling", "Spelling: the dictionary %1 could not be read (%2).").arg(name, r.failed.value(name)));
                return lay({}, 0, 0);
            }
            return;   // loading: every window checks again once it is in
        }
        inUse_ = dict;

        // What is shown, a few lines around it, and at most kMostChecked of it.
        const long firstShown = rtb_.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
        const long shown = rtb_.SendScintilla(Sci::SCI_LINESONSCREEN) + 1;
        const long first = rtb_.SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, std::max(0L, firstShown - kMarginLines));
        const long last = rtb_.SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, firstShown + shown + kMarginLines);
        qint64 from = rtb_.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
        qint64 to = rtb_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last));
        if (to - from > spelling::kMostChecked) {
            // Of a long line, the part around what the window shows across.
            const qint64 x = rtb_.SendScintilla(Sci::SCI_POSITIONFROMPOINT, 0UL, 0L);
            from = std::max(from, x - spelling::kMostChecked / 16);
            to = std::min(to, from + spelling::kMostChecked);
        }
        const qint64 start = std::max<qint64>(0, from - (mode == spelling::Mode::Plain ? 1024 : spelling::kLookBack));
        const qint64 end = std::min(length, to + 1024);
        const QByteArray text = rtb_.bytes(start, end - start);
        const std::vector<spelling::Word> words = spelling::words(text, start, from, to, mode, p.spellCode);

        const Registry& r = registry();
        const QSet<QString>& personal = personalWords();
        const qint64 caret = rtb_.SendScintilla(Sci::SCI_GETCURRENTPOS);
        std::vector<spelling::Word> bad;
        waiting_ = {};
        for (const spelling::Word& w : words) {
            // The word being typed is checked once the caret leaves it.
            if (w.to == caret && typedAt_ == caret) {
                waiting_ = w;
                continue;
            }
            const QString s = QString::fromUtf8(text.constData() + (w.from - start), w.to - w.from);
            if (accepted(r.ignored, s) || accepted(personal, s) || dict->knows(s)) continue;
            bad.push_back(w);
        }
        lay(std::move(bad), from, to);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == &rtb_) {
            switch (e->type()) {
            case QEvent::PaletteChange:
            case QEvent::ApplicationPaletteChange:
                QMetaObject::invokeMethod(this, [this] { applyTheme(); }, Qt::QueuedConnection);
                break;
            case QEvent::Resize:
            case QEvent::Show:
                timer_.start(0);
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, e);
    }

private:
    void applyTheme() {
        rtb_.SendScintilla(Sci::SCI_INDICSETFORE, kIndicator, theme::fromPalette(rtb_.palette()).misspelt);
    }

    void note(const QString& key, const QString& text) {
        Registry& r = registry();
        if (r.noted.contains(key)) return;
        r.noted.insert(key);
        if (auto* frame = qobject_cast<QMainWindow*>(form_.window())) frame->statusBar()->showMessage(text, 15000);
    }

    // Lays the marks; nothing is redrawn when they are the ones laid already on unchanged text.
    void lay(std::vector<spelling::Word> bad, qint64 from, qint64 to) {
        if (!stale_ && from == from_ && to == to_ && bad == marks_) return;
        stale_ = false;
        const qint64 length = rtb_.byteLength();
        rtb_.SendScintilla(Sci::SCI_SETINDICATORCURRENT, kIndicator);
        // Marks are only ever laid on what was shown: clearing the whole text costs what they are.
        if (!marks_.empty() || !cleared_) rtb_.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, static_cast<long>(length));
        cleared_ = true;
        for (const spelling::Word& w : bad)
            rtb_.SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(w.from), static_cast<long>(w.to - w.from));
        from_ = from;
        to_ = to;
        marks_ = std::move(bad);
    }

    Form1& form_;
    RichTextBox& rtb_;
    QTimer timer_;
    spelling::Dictionary* inUse_ = nullptr;   // the one the last check used (owned by the registry)
    qint64 typedAt_ = -1;                     // where the last change left the caret
    spelling::Word waiting_;                  // the word being typed, not checked yet
    bool stale_ = true;                       // the text changed since the marks were laid
    bool typing_ = false;                     // changed since the last check: it waits for a pause
    bool cleared_ = false;
    syntax::Kind kind_ = syntax::Kind::Plain;  // the colouring the last check read the text as
    qint64 from_ = 0, to_ = 0;                // the range the marks were laid for
    std::vector<spelling::Word> marks_;
};

void recheckAll() {
    for (SpellChecker* c : checkers()) c->schedule();
}

SpellChecker* checkerOf(const Form1& form) {
    for (SpellChecker* c : checkers())
        if (&c->form() == &form) return c;
    return nullptr;
}

void check(const DocumentFrame& frame, const char* name, bool on) {
    if (QAction* a = frame.item(name)) {
        a->setCheckable(true);
        a->setChecked(on);
    }
}

// The items a right click added, gone once the menu has closed (and its choice has run).
QPointer<QObject>& addedItems() {
    static QPointer<QObject> items;
    return items;
}

void addToPersonal(const QString& word) {
    Registry& r = registry();
    personalWords();
    r.personal.insert(word);
    QStringList all(r.personal.begin(), r.personal.end());
    all.sort();
    const QString path = personalWordsPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const io::WriteResult written = io::writeAtomically(path, (all.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8(),
                                                        /*allowInPlace=*/false);
    if (!written.ok)
        tp::MsgBox(QCoreApplication::translate("Spelling", "The word was not added to %1: %2\r\nIt is known for this session only.").arg(path, written.reason),
                   tp::MsgButtons::OK, tp::MsgIcon::Exclamation);
}

} // namespace

void attachSpelling(Form1& form) { new SpellChecker(form); }

QString personalWordsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/words.txt");
}

int checkSpellingNow(Form1& form, int waitMs) {
    SpellChecker* c = checkerOf(form);
    if (!c) return 0;
    c->schedule();
    c->check();
    const QDeadlineTimer deadline(waitMs);
    while (!c->dictionaryInUse() && !deadline.hasExpired() && !registry().loading.isEmpty()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        c->check();
    }
    return c->marks();
}

void addSpellingItems(Form1& form, QMenu& menu, const QPoint& globalPos) {
    delete addedItems();
    SpellChecker* c = checkerOf(form);
    spelling::Dictionary* dict = c ? c->dictionaryInUse() : nullptr;
    if (!dict) return;
    RichTextBox& rtb = *form.RTB1;
    const QPoint at = rtb.mapFromGlobal(globalPos);
    long pos = rtb.SendScintilla(Sci::SCI_POSITIONFROMPOINTCLOSE, static_cast<unsigned long>(at.x()), static_cast<long>(at.y()));
    // A click on the right half of a word's last letter gives the position after it.
    if (pos > 0 && !rtb.SendScintilla(Sci::SCI_INDICATORVALUEAT, kIndicator, pos)) --pos;
    if (pos < 0 || !rtb.SendScintilla(Sci::SCI_INDICATORVALUEAT, kIndicator, pos)) return;
    const qint64 from = rtb.SendScintilla(Sci::SCI_INDICATORSTART, kIndicator, pos);
    const qint64 to = rtb.SendScintilla(Sci::SCI_INDICATOREND, kIndicator, pos);
    const QByteArray spelt = rtb.bytes(from, to - from);
    if (to <= from || to - from > 4 * spelling::kLongestWord) return;
    const QString word = QString::fromUtf8(spelt);

    auto* items = new QObject(&menu);
    addedItems() = items;
    const auto add = [&](const QString& caption) {
        auto* a = new QAction(caption, items);
        menu.addAction(a);
        return a;
    };
    auto* bar = new QAction(items);
    bar->setSeparator(true);
    menu.addAction(bar);
    const QStringList suggestions = dict->suggest(word, kMostSuggestions);
    const QPointer<RichTextBox> guard(&rtb);
    for (const QString& s : suggestions) {
        // The suggestion replaces the word as one undoable edit, if the word is still there.
        QObject::connect(add(QString(s).replace(QLatin1Char('&'), QStringLiteral("&&"))), &QAction::triggered,
                         [guard, from, to, spelt, s] {
            if (!guard || guard->bytes(from, to - from) != spelt) return;
            const QByteArray utf8 = s.toUtf8();
            guard->editInOneStep([&] { guard->replaceBytes(from, to, utf8); });
            guard->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(from + utf8.size()));
        });
    }
    if (suggestions.isEmpty()) add(QCoreApplication::translate("Spelling", "(no suggestions)"))->setEnabled(false);
    auto* bar2 = new QAction(items);
    bar2->setSeparator(true);
    menu.addAction(bar2);
    QObject::connect(add(QCoreApplication::translate("Spelling", "Ignore")), &QAction::triggered, [word] {
        registry().ignored.insert(word);
        recheckAll();
    });
    QObject::connect(add(QCoreApplication::translate("Spelling", "Add to Dictionary")), &QAction::triggered, [word] {
        addToPersonal(word);
        recheckAll();
    });
    // Deleted once the menu has closed and the chosen item has run.
    QObject::connect(&menu, &QMenu::aboutToHide, items, [items] { items->deleteLater(); }, Qt::SingleShotConnection);
}

void mnuViewSpelling(DocumentFrame& frame) {
    const prefs::Editor p = DocumentView::preferences();
    check(frame, "mnuViewSpelling", p.spelling);
    check(frame, "mnuViewSpellCode", p.spellCode);
}

void fillSpellingLanguages(DocumentFrame& frame) {
    QMenu* menu = frame.menu("mnuViewSpellingLanguage");
    if (!menu) return;
    const QString chosen = DocumentView::preferences().spellingLanguage;
    // Rebuilt each time it opens: the first item (the locale's) stays.
    const QList<QAction*> actions = menu->actions();
    for (qsizetype i = 1; i < actions.size(); ++i) delete actions[i];
    check(frame, "mnuViewSpellingLanguageSystem", chosen.isEmpty() || !installedDictionaries().contains(chosen));
    // One choice of them all.
    auto* group = menu->findChild<QActionGroup*>();
    if (!group) group = new QActionGroup(menu);
    group->addAction(actions.first());
    for (const QString& name : installedDictionaries()) {
        const QLocale locale(name);
        const QString language = locale.language() == QLocale::C ? QString()
                                 : QLocale::languageToString(locale.language()) +
                                       (name.contains(QLatin1Char('_')) ? QStringLiteral(" (") + QLocale::territoryToString(locale.territory()) + QLatin1Char(')') : QString());
        QAction* a = menu->addAction(language.isEmpty() ? name : language + QStringLiteral(" - ") + name);
        a->setObjectName(QStringLiteral("mnuViewSpellingLanguage_") + name);
        a->setCheckable(true);
        a->setChecked(name == chosen);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, [name] { ChooseSpellingLanguage(name); });
    }
    if (installedDictionaries().isEmpty()) menu->addAction(QCoreApplication::translate("Spelling", "(no dictionary installed)"))->setEnabled(false);
}

void ToggleSpelling() {
    prefs::Editor p = DocumentView::preferences();
    p.spelling = !p.spelling;
    DocumentView::setPreferences(p);
    recheckAll();
}

void ToggleSpellCode() {
    prefs::Editor p = DocumentView::preferences();
    p.spellCode = !p.spellCode;
    DocumentView::setPreferences(p);
    recheckAll();
}

void ChooseSpellingLanguage(const QString& name) {
    prefs::Editor p = DocumentView::preferences();
    p.spellingLanguage = name;
    DocumentView::setPreferences(p);
    recheckAll();
}

} // namespace editcmd
