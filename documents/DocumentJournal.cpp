#include "documents/DocumentJournal.h"

#include "platform/RichTextBox.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <cstdlib>

using io::journal::Edit;

namespace {
DocumentJournal::Timing& timing() {
    static DocumentJournal::Timing t;
    return t;
}
// Pieces of text copied out of the control per turn of the event loop: about a millisecond.
constexpr qint64 kPiece = qint64(1) << 20;
// Edits beyond this size are not worth a record: the text is written afresh instead.
constexpr qint64 kMaxEditBytes = qint64(64) << 20;
qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }
} // namespace

void DocumentJournal::setTiming(const Timing& t) { timing() = t; }

DocumentJournal::DocumentJournal(RichTextBox& rtb, io::JournalWriter& writer, int number,
                                 std::function<bool()> changed, QObject* parent)
    : QObject(parent), rtb_(rtb), journal_(writer, number), changed_(std::move(changed)) {
    setObjectName(QStringLiteral("DocumentJournal"));
    flushTimer_.setSingleShot(true);
    idleTimer_.setSingleShot(true);
    connect(&flushTimer_, &QTimer::timeout, this, &DocumentJournal::flush);
    connect(&idleTimer_, &QTimer::timeout, this, &DocumentJournal::onIdle);
    connect(&copyTimer_, &QTimer::timeout, this, &DocumentJournal::copyPiece);
    connect(&rtb_, &RichTextBox::Change, this, &DocumentJournal::onChange);
    connect(&rtb_, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                const RichTextBox::Span at = rtb_.noticeSpan(position, length);
                onModified(at.position, type, at.length);
            });
}

DocumentJournal::~DocumentJournal() = default;

void DocumentJournal::setIdentity(const QString& caption, const QString& path) {
    const bool different = caption != caption_ || path != path_;
    caption_ = caption;
    path_ = path;
    // The journal's header names the document: a new name needs a new journal.
    if (different && state_ != State::Idle) startPieces();
}

void DocumentJournal::setEncoding(const QString& name, io::Decoder decode) {
    const bool different = name != encoding_;
    encoding_ = name;
    decode_ = std::move(decode);
    base_ = {};
    if (different && state_ != State::Idle) startPieces();
}

void DocumentJournal::loadedFrom(const QString& path, const io::FileStamp& stamp, std::optional<quint64> hash) {
    // The text is the file's again (a reload): what was kept of the text before is of no use.
    discard();
    base_ = {path, stamp, QByteArray(), hash};
    fileStamp_ = stamp;
}

void DocumentJournal::savedTo(const QString& path, const io::FileStamp& stamp, const QByteArray& tail,
                              std::optional<quint64> hash) {
    discard();
    base_ = {path, stamp, tail, hash};
    fileStamp_ = stamp;
}

void DocumentJournal::adopt(const QString& journalName, qint64 goodBytes, const io::FileStamp& fileStamp) {
    discard();
    fileStamp_ = fileStamp;
    posted_ = true;
    journal_.adopt(journalName, goodBytes);
    state_ = State::Live;
    flushTimer_.start(timing().flushMs);   // to see it taken over, or failed
}

void DocumentJournal::discard() {
    flushTimer_.stop();
    idleTimer_.stop();
    copyTimer_.stop();
    pending_ = {};
    edits_.clear();
    afterCopy_.clear();
    editBytes_ = 0;
    moves_ = 0;
    if (posted_) journal_.remove();
    posted_ = false;
    state_ = State::Idle;
    failures_ = 0;
    retryAt_ = 0;
}

void DocumentJournal::onModified(qint64 position, int type, qint64 length) {
    using S = QsciScintillaBase;
    if (type & (S::SC_MOD_BEFOREINSERT | S::SC_MOD_BEFOREDELETE)) {
        beforeSeen_ = true;
        finishInsert();
        const bool insert = type & S::SC_MOD_BEFOREINSERT;
        std::vector<Edit>* into = nullptr;
        if (state_ == State::Pieces) {
            if (position >= frontier_) return;   // in the part still to be copied
            if (!insert && position + length > frontier_) {
                startPieces();   // across the frontier: copy afresh
                return;
            }
            into = &afterCopy_;
            frontier_ += insert ? length : -length;
        } else if (state_ != State::Idle || base_.valid()) {
            into = &edits_;
        }
        if (!into) return;   // the first write will take the whole text
        if (insert) pending_ = {into, position, length};
        else record(*into, position, length, QByteArray());
    }
    if (type & S::SC_MOD_INSERTTEXT) finishInsert();
}

void DocumentJournal::onChange() {
    finishInsert();
    if (!beforeSeen_) {
        // The whole text was replaced without notices (a load): what the journal holds is stale.
        base_ = {};
        edits_.clear();
        editBytes_ = 0;
        if (state_ != State::Idle) startPieces();
    }
    beforeSeen_ = false;
    idleTimer_.start(timing().idleMs);
    scheduleFlush();
}

void DocumentJournal::finishInsert() {
    if (!pending_.into) return;
    const Pending p = pending_;
    pending_ = {};
    record(*p.into, p.position, 0, rtb_.bytes(p.position, p.length));
}

void DocumentJournal::record(std::vector<Edit>& into, qint64 position, qint64 removed, const QByteArray& inserted) {
    editBytes_ += inserted.size() + 20;
    moves_ += std::abs(position - lastPosition_);
    lastPosition_ = position + inserted.size();
    // Typing and deleting run together into one edit, as long as they continue one another.
    if (!into.empty()) {
        Edit& last = into.back();
        const qint64 lastEnd = last.position + last.inserted.size();
        if (removed == 0 && position == lastEnd) {
            last.inserted += inserted;   // typing on (or over the selection just removed)
            return;
        }
        if (inserted.isEmpty()) {
            if (position >= last.position && position + removed <= lastEnd) {
                last.inserted.remove(position - last.position, removed);   // taking back what was typed
                return;
            }
            if (last.inserted.isEmpty() && position + removed == last.position) {
                last.position = position;   // Backspace on
                last.removed += removed;
                return;
            }
            if (last.inserted.isEmpty() && position == last.position) {
                last.removed += removed;   // Delete on
                return;
            }
        }
    }
    into.push_back({position, removed, inserted});
}

void DocumentJournal::scheduleFlush() {
    if (!flushTimer_.isActive()) flushTimer_.start(timing().flushMs);
}

void DocumentJournal::flush() {
    flushTimer_.stop();
    finishInsert();
    if (!changed_()) {
        discard();
        edits_.clear();
        editBytes_ = 0;
        return;
    }
    if (state_ != State::Idle && checkFailure()) return;
    bool posted = !edits_.empty();
    switch (state_) {
    case State::Idle:
        if (nowMs() < retryAt_) {
            flushTimer_.start(int(retryAt_ - nowMs()));
            return;
        }
        if (!base_.valid() || !decode_) {
            startPieces();
            return;
        }
        posted_ = true;
        journal_.startFromFile(header(), base_.path, base_.stamp, decode_, base_.tail, base_.hash);
        journal_.append(edits_);
        state_ = State::FromFile;
        break;
    case State::FromFile:
    case State::Live:
        if (editBytes_ > kMaxEditBytes) {
            startPieces();
            return;
        }
        journal_.append(edits_);
        if (state_ == State::FromFile && journal_.installed()) {
            state_ = State::Live;
            failures_ = 0;
        }
        break;
    case State::Pieces:
        return;   // the edits go with the copy
    }
    edits_.clear();
    editBytes_ = 0;
    // Look again in a moment: the text from the file may not be in yet, and a write may fail.
    if (posted || state_ == State::FromFile) flushTimer_.start(timing().flushMs);
}

bool DocumentJournal::checkFailure() {
    if (!journal_.failed()) return false;
    const QString why = journal_.problem();
    if (why.isEmpty()) {
        // The file no longer is what the document was read from: the text comes from the control.
        base_ = {};
        startPieces();
        return true;
    }
    if (why != lastProblem_) {
        lastProblem_ = why;
        emit problem(why);
    }
    // Try again later, less often each time: the disk may be full for a while.
    ++failures_;
    const qint64 delay = std::min<qint64>(30000, qint64(1000) << std::min(failures_, 5));
    retryAt_ = nowMs() + delay;
    copyTimer_.stop();
    pending_ = {};
    base_ = {};
    edits_.clear();
    afterCopy_.clear();
    editBytes_ = 0;
    state_ = State::Idle;
    flushTimer_.start(int(delay));
    return true;
}

void DocumentJournal::startPieces() {
    finishInsert();
    posted_ = true;
    journal_.startFromPieces(header());
    state_ = State::Pieces;
    frontier_ = 0;
    afterCopy_.clear();
    edits_.clear();
    editBytes_ = 0;
    moves_ = 0;
    copyTimer_.start(0);
}

void DocumentJournal::copyPiece() {
    finishInsert();
    const qint64 n = rtb_.byteLength();
    // Pieces never span the control's gap, so that copying them never moves its text.
    const qint64 gap = std::clamp<qint64>(rtb_.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION), 0, n);
    const qint64 end = std::min(frontier_ < gap ? gap : n, frontier_ + kPiece);
    if (end > frontier_) {
        journal_.addPiece(rtb_.bytes(frontier_, end - frontier_));
        frontier_ = end;
    }
    if (frontier_ < n) return;
    copyTimer_.stop();
    journal_.endPieces(afterCopy_);
    afterCopy_.clear();
    state_ = State::Live;
    flushTimer_.start(timing().flushMs);   // to see it in, or failed
}

void DocumentJournal::onIdle() {
    if (state_ != State::Live || !journal_.installed()) return;
    // Rewritten as its text alone when its edits take much room or lie far apart (each costs a
    // move of the text between them when the text is rebuilt).
    const qint64 size = rtb_.byteLength();
    if (journal_.appendedBytes() > std::max(timing().compactBytes, size / 4) || moves_ > 4 * size + (qint64(64) << 20)) {
        journal_.compact();
        moves_ = 0;
    }
}

io::journal::Header DocumentJournal::header() const {
    io::journal::Header h;
    h.created = nowMs();
    h.pid = QCoreApplication::applicationPid();
    h.caption = caption_;
    h.path = path_;
    h.encoding = encoding_;
    h.file = fileStamp_;
    return h;
}
