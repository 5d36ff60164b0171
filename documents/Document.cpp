#include "documents/Document.h"

#include "documents/DocumentJournal.h"
#include "documents/DocumentTable.h"
#include "documents/Recovery.h"
#include "io/EncodingPreference.h"
#include "io/TextLoader.h"
#include "platform/RichTextBox.h"

namespace documents {

Document::Document(DocumentTable& table, std::function<int()> slot, RichTextBox& text, QObject* parent)
    : QObject(parent), table_(table), slot_(std::move(slot)), text_(text), encoding_(io::defaultEncoding()) {
    setObjectName(QStringLiteral("Document"));
    // The unsaved text, kept for recovery after a crash while the document is changed.
    if (recovery::journalsEnabled()) {
        recovery::Service& service = recovery::service();
        journal_ = new DocumentJournal(text, service.writer(), service.nextNumber(), [this] { return isChanged(); }, this);
        journal_->setIdentity(caption_, QString());
        journal_->setEncoding(io::encodingName(encoding_), io::pieceDecoder(encoding_));
        connect(journal_, &DocumentJournal::problem, this, &recovery::reportProblem);
    }
}

void Document::setCaption(const QString& caption) {
    caption_ = caption;
    if (journal_) journal_->setIdentity(caption, filePath_);
}

void Document::setFile(const QString& path, const QString& caption) {
    const bool changed = path != filePath_;
    filePath_ = path;
    fileCaption_ = caption;
    if (journal_) journal_->setIdentity(caption_, path);
    if (!changed) return;
    diskRecord_.reset();
    diskTold.reset();
    changedOnlyByGoneFile_ = false;
    emit fileAssigned(path);
}

QString Document::fileFor(const QString& name) const {
    if (!filePath_.isEmpty() && name == fileCaption_) return filePath_;
    return name;
}

bool Document::isChanged() const {
    const int i = slot_();
    return table_.valid(i) && table_.DocumentStates[i].Changed != 0;
}

void Document::setChanged(bool changed) {
    const int i = slot_();
    if (table_.valid(i)) table_.DocumentStates[i].Changed = changed ? -1 : 0;
}

void Document::edited() {
    changedOnlyByGoneFile_ = false;
    setChanged(true);
}

void Document::markFileGone() {
    const int i = slot_();
    if (!table_.valid(i)) return;
    if (!isChanged()) changedOnlyByGoneFile_ = true;
    setChanged(true);
}

bool Document::onlyFileGone() const { return changedOnlyByGoneFile_ && !io::FileIdentity::of(filePath_).exists; }

void Document::setEncoding(io::Encoding encoding) {
    if (encoding == encoding_) return;
    encoding_ = encoding;
    encodingNote_.clear();
    if (journal_) journal_->setEncoding(io::encodingName(encoding), io::pieceDecoder(encoding));
    emit encodingChanged();
}

void Document::setFileEncoding(io::Encoding encoding, const QString& note) {
    setEncoding(encoding);
    fileEncoding_ = encoding;
    if (note == encodingNote_) return;
    encodingNote_ = note;
    emit encodingChanged();
}

void Document::recordDisk(std::optional<quint64> hash) { recordDisk(io::DiskRecord::now(filePath_, hash)); }

void Document::recordDisk(const io::DiskRecord& record) {
    diskRecord_ = record;
    diskTold.reset();
    changedOnlyByGoneFile_ = false;
    emit diskRecorded();
}

void Document::recordDiskHash(std::optional<quint64> hash) {
    if (diskRecord_) diskRecord_->hash = hash;
}

void Document::forgetDisk() {
    if (diskRecord_) diskRecord_ = io::DiskRecord{};
}

std::optional<io::DiskRecord> Document::readingFile() {
    const std::optional<io::DiskRecord> before = diskRecord_;
    recordDisk();
    return before;
}

void Document::loaded(const io::TextLoader& file) {
    recordDiskHash(file.contentHash());
    setFileEncoding(file.encoding(), file.note());
    setChanged(false);
    // The file's text is at hand should the document's unsaved changes need keeping.
    if (journal_) journal_->loadedFrom(filePath_, file.stamp(), file.contentHash());
}

void Document::notLoaded(const std::optional<io::DiskRecord>& before) {
    if (before) recordDisk(*before);
}

void Document::recovered(const QString& path, const QString& caption, const io::FileIdentity& fileThen,
                         io::Encoding encoding, const QByteArray& text, const QString& journalName,
                         qint64 goodBytes, const io::FileStamp& journalFile) {
    if (!path.isEmpty()) {
        setFile(path, caption);
        // The text is based on the file as it was when the work began: a save asks first when it
        // has changed since (the list said so already, so the document does not say it again).
        io::DiskRecord record;
        record.file = fileThen;
        recordDisk(record);
        diskTold = io::FileIdentity::of(path);
    }
    setEncoding(encoding);
    text_.SetTextUtf8(text);
    setChanged(true);
    if (journal_) journal_->adopt(journalName, goodBytes, journalFile);
}

void Document::saved(const QString& target, io::Encoding encoding, const QByteArray& tail, std::optional<quint64> hash) {
    setFileEncoding(encoding, encodingNote_);
    setChanged(false);
    // Saved: the recovery journal goes; the file now holds the text (and the line end added).
    if (journal_) journal_->savedTo(target, io::stampOfPath(target), tail, hash);
    if (target == filePath_) recordDisk(hash);
}

void Document::saveFailed(const QString& target) {
    if (diskRecord_ && target == filePath_) recordDisk();
}

} // namespace documents
