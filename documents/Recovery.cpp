#include "documents/Recovery.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentJournal.h"
#include "documents/Form1.h"
#include "documents/frmInterruptedSave.h"
#include "documents/frmRecover.h"
#include "io/TextLoader.h"
#include "io/Encoding.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QMetaObject>
#include <QCoreApplication>

#include <algorithm>

namespace recovery {
namespace {

std::vector<std::unique_ptr<Service>>& services() {
    // Reachable for the whole run, never destroyed (see Service).
    static auto* list = new std::vector<std::unique_ptr<Service>>;
    return *list;
}

// The text a journal may rebuild, from the memory the editor may still take.
qint64 textLimit() {
    const qint64 available = io::availableMemory();
    constexpr qint64 kMax = qint64(4) << 30;
    return available >= 0 ? std::min(kMax, available / 3) : kMax;
}

qint64 countCharacters(const QByteArray& utf8) {
    return std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

qint64 countLines(const QByteArray& text) {
    qint64 lines = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines;
    }
    return lines;
}

} // namespace

Service::Service(const QString& folder)
    : store_(std::make_unique<io::JournalStore>(folder)), writer_(std::make_unique<io::JournalWriter>(*store_)) {}

Service& service() {
    if (services().empty()) services().push_back(std::make_unique<Service>(io::JournalStore::defaultFolder()));
    return *services().back();
}

void useFolder(const QString& folder) { services().push_back(std::make_unique<Service>(folder)); }

namespace {
bool g_enabled = true;
bool g_problemTold = false;
} // namespace

bool journalsEnabled() { return g_enabled; }
void setJournalsEnabled(bool enabled) { g_enabled = enabled; }

void reportProblem(const QString& reason) {
    if (g_problemTold) return;
    g_problemTold = true;
    // After the edit or timer that found it has finished.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [reason] {
            tp::MsgBox(QCoreApplication::translate("Recovery", "Tesselpad cannot keep your unsaved work safe against a crash:\r\n") + reason +
                           QCoreApplication::translate("Recovery", "\r\n\r\nYour documents are not affected: save them to keep your changes."),
                       tp::MsgButtons::OK, tp::MsgIcon::Exclamation);
        },
        Qt::QueuedConnection);
}

void endSession(int timeoutMs) {
    if (services().empty()) return;
    Service& s = service();
    s.writer().drain(timeoutMs);
    s.store().endSession();
}

Offer::Offer(Service& service) : service_(service) {
    io::JournalStore& store = service.store();
    sessions_ = store.claimOrphans();
    io::journal::Limits limits;
    limits.maxText = textLimit();
    const qint64 maxFile = 2 * limits.maxText + (qint64(256) << 20);
    for (const io::OrphanSession& session : sessions_) {
        for (const QString& name : session.journals) {
            io::JournalRead r = store.read(name, maxFile, limits);
            if (!r.refusal.isEmpty()) {
                Refused refused{name, r.refusal, false};
                QString why;
                refused.keptAside = store.keepAside(name, why);
                refused_.push_back(refused);
                continue;
            }
            Found f;
            f.journal = name;
            f.header = r.result.header;
            f.text = std::move(r.result.text);
            f.lastChange = r.result.lastChange;
            f.goodBytes = r.result.goodBytes;
            f.damagedEnd = r.result.droppedBytes() > 0;
            if (!f.header.path.isEmpty() && f.header.file.valid()) {
                const io::FileStamp now = io::stampOfPath(f.header.path);
                f.fileMissing = !now.valid();
                f.fileChanged = now.valid() && !now.sameContents(f.header.file);
            }
            found_.push_back(std::move(f));
        }
    }
    // Newest first; work changed in the same moment in the order it was begun, whatever order the
    // folder lists it in.
    std::sort(found_.begin(), found_.end(), [](const Found& a, const Found& b) {
        if (a.lastChange != b.lastChange) return a.lastChange > b.lastChange;
        if (a.header.created != b.header.created) return a.header.created < b.header.created;
        return a.journal < b.journal;
    });
    settled_.assign(found_.size(), false);
}

Offer::~Offer() {
    // Taken-over journals are renamed by the writer: let that happen before the sessions go, so
    // that no other program finds them under their old names.
    service_.writer().drain(2000);
    for (io::OrphanSession& session : sessions_) {
        bool open = false;
        for (std::size_t i = 0; i < found_.size(); ++i)
            if (!settled_[i] && session.journals.contains(found_[i].journal)) open = true;
        service_.store().releaseOrphan(session, !open);
    }
}

void Offer::recovered(std::size_t index) {
    if (index < settled_.size()) settled_[index] = true;
}

void Offer::discard(std::size_t index) {
    if (index >= settled_.size()) return;
    service_.store().remove(found_[index].journal);
    settled_[index] = true;
}

QString describeWhen(const Found& f) {
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(f.lastChange), QLocale::ShortFormat);
}

QString describeSize(const Found& f) {
    const QLocale locale;
    const qint64 chars = countCharacters(f.text), lines = countLines(f.text);
    return QStringLiteral("%1 %2, %3 %4")
        .arg(locale.toString(chars), chars == 1 ? QCoreApplication::translate("Recovery", "character") : QCoreApplication::translate("Recovery", "characters"),
             locale.toString(lines), lines == 1 ? QCoreApplication::translate("Recovery", "line") : QCoreApplication::translate("Recovery", "lines"));
}

QString describeNote(const Found& f) {
    QStringList notes;
    if (f.fileMissing) notes << QCoreApplication::translate("Recovery", "The file no longer exists.");
    else if (f.fileChanged) notes << QCoreApplication::translate("Recovery", "The file has changed on disk since this work began.");
    if (f.damagedEnd) notes << QCoreApplication::translate("Recovery", "The last changes were damaged: this is the text from before them.");
    return notes.join(QLatin1Char(' '));
}

bool ask(const Offer& offer, std::vector<Choice>& choices) {
    choices.clear();
    if (!offer.refused().empty()) {
        QString text = QCoreApplication::translate("Recovery", "Some unsaved work kept from an earlier run cannot be recovered:\r\n");
        for (const Refused& r : offer.refused())
            text += QStringLiteral("\r\n") + r.journal + QStringLiteral(": ") + r.reason;
        const bool allAside = std::all_of(offer.refused().begin(), offer.refused().end(),
                                          [](const Refused& r) { return r.keptAside; });
        if (allAside) text += QCoreApplication::translate("Recovery", "\r\n\r\nThe files were set aside in ") + offer.folder() +
                              QStringLiteral("/kept.");
        tp::MsgBox(text, tp::MsgButtons::OK, tp::MsgIcon::Exclamation);
    }
    if (offer.found().empty()) return !offer.refused().empty();
    frmRecover dialog(offer.found());
    const int result = tp::modal().exec(dialog);
    for (int i = 0; i < int(offer.found().size()); ++i) {
        Choice c = Choice::Later;
        if (dialog.isChecked(i) && result == frmRecover::Recover) c = Choice::Recover;
        else if (dialog.isChecked(i) && result == frmRecover::Discard) c = Choice::Discard;
        choices.push_back(c);
    }
    return true;
}

} // namespace recovery

namespace recovery {

Form1* openRecovered(DocumentFrame& frame, const Found& found) {
    const int i = frame.claimSlot();
    if (i == 0) return nullptr;
    Form1* form = frame.loadDocumentWindow(i);
    QString caption = QStringLiteral("Document ") + QString::number(i);
    if (!found.header.path.isEmpty())
        caption = found.header.caption.isEmpty() ? found.header.path.toUpper() : found.header.caption;
    form->setCaption(caption);
    form->document().recovered(found.header.path, caption, io::FileIdentity::of(found.header.file),
                               io::encodingFromName(found.header.encoding).value_or(io::Encoding::Windows1252),
                               found.text, found.journal, found.goodBytes, found.header.file);
    frame.showDocumentWindow(form);
    return form;
}

void offerAtStart(DocumentFrame& frame) {
    // First the files whose save did not end, so that recovered work meets them whole.
    documents::offerInterruptedSaves();
    Offer offer(service());
    std::vector<Choice> choices;
    if (!ask(offer, choices)) return;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == Choice::Recover) {
            // Without a journal of its own (journals off) the window cannot take the found one over.
            const Form1* form = openRecovered(frame, offer.found()[i]);
            if (form && form->journal()) offer.recovered(i);
        }
        if (choices[i] == Choice::Discard) offer.discard(i);
    }
}

} // namespace recovery
