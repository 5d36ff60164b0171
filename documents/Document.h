#pragma once
// What a document is apart from its text and its window: the file it came from and goes to, its
// caption, its encoding, the file as it was last read or written (to notice what other programs
// do to it), the journal that keeps its unsaved text, and Changed, which the document table keeps.
// Every road a text takes between the file and the window ends in one transition here (loaded,
// recovered, saved) that does all its after-effects, once.
#include "io/DiskWatch.h"
#include "io/Encoding.h"
#include "io/FileStamp.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class DocumentJournal;
class DocumentTable;
class RichTextBox;

namespace io {
class TextLoader;
}

namespace documents {

class Document : public QObject {
    Q_OBJECT
public:
    // 'slot' tells the document's slot in the table as it is now; 'text' is the control that
    // holds its text (watched by the journal, when journals are on).
    Document(DocumentTable& table, std::function<int()> slot, RichTextBox& text, QObject* parent);

    // ---- The file and the caption
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // The file behind the caption as it really is on disk (captions of opened files are upper
    // case, file names are not). Recorded together with the caption it belongs to.
    void setFile(const QString& path, const QString& caption);
    // The file that a save to 'name' must write: the recorded file when 'name' is the caption
    // it was recorded with, else 'name' itself.
    QString fileFor(const QString& name) const;
    // The file on disk; empty while there is none.
    QString filePath() const { return filePath_; }

    // ---- Changed: the document table's flag of the document's slot
    bool isChanged() const;
    void setChanged(bool changed);
    // The text was edited.
    void edited();
    // The file was deleted: the document now counts as changed, so that its text is not lost
    // unasked; closing asks whether to save it again (unless it was edited too).
    void markFileGone();
    // Changed only because the file went (markFileGone()), and the file is still gone.
    bool onlyFileGone() const;

    // ---- The encoding
    // The encoding the document was read in and that its next save writes. A new document starts
    // with the user's default for new documents (Windows-1252 unless chosen).
    io::Encoding encoding() const { return encoding_; }
    void setEncoding(io::Encoding encoding);
    // After the file was read or written: the encoding of the text and of the file alike, and why
    // it is not the one the file declares, if so.
    void setFileEncoding(io::Encoding encoding, const QString& note = QString());
    std::optional<io::Encoding> fileEncoding() const { return fileEncoding_; }
    QString encodingNote() const { return encodingNote_; }

    // ---- The file as last read or written
    io::DiskRecord* diskRecord() { return diskRecord_ ? &*diskRecord_ : nullptr; }
    // Records the file as it is now; 'hash' is that of the bytes read or written, when known.
    void recordDisk(std::optional<quint64> hash = std::nullopt);
    void recordDisk(const io::DiskRecord& record);
    void recordDiskHash(std::optional<quint64> hash);
    // The change on disk the user was last told of; none since the last record.
    std::optional<io::FileIdentity> diskTold;
    // The forgotten record: a save writes the file anew without asking (the user knows it is gone).
    void forgetDisk();

    // The journal that keeps the unsaved text, or nullptr when journals are off.
    DocumentJournal* journal() const { return journal_; }

    // ---- The roads
    // Open, Reload and Reopen with Encoding are about to read the file: it is recorded as it is
    // now, so that a change made while reading is noticed too. Returns the record it had.
    std::optional<io::DiskRecord> readingFile();
    // The file was read whole into the text: its hash recorded, its encoding the document's,
    // Changed cleared, the journal based on the file (any unsaved text it kept is gone with it).
    void loaded(const io::TextLoader& file);
    // The file could not be read and the text it had is back: so is the record it had.
    void notLoaded(const std::optional<io::DiskRecord>& before);
    // The text came back from a journal after a crash: the file as the journal knew it (when the
    // work began; 'path' empty for an untitled document), the encoding the journal names, the
    // text, Changed set, the journal taken over.
    void recovered(const QString& path, const QString& caption, const io::FileIdentity& fileThen,
                   io::Encoding encoding, const QByteArray& text, const QString& journalName, qint64 goodBytes,
                   const io::FileStamp& journalFile);
    // The text reached 'target' in 'encoding' (with 'tail' added); 'hash' of the bytes written.
    void saved(const QString& target, io::Encoding encoding, const QByteArray& tail, std::optional<quint64> hash);
    // A save to 'target' failed: whatever it left is the document's own doing, not another program's.
    void saveFailed(const QString& target);

signals:
    // The file was set or changed (Open, a drop, Save As): 'path' is the real path.
    void fileAssigned(const QString& path);
    // The file was just recorded as it is on disk.
    void diskRecorded();
    // The encoding changed.
    void encodingChanged();

private:
    DocumentTable& table_;
    std::function<int()> slot_;
    RichTextBox& text_;
    DocumentJournal* journal_ = nullptr;
    QString caption_;
    QString filePath_;
    QString fileCaption_;
    io::Encoding encoding_;
    std::optional<io::Encoding> fileEncoding_;
    QString encodingNote_;
    std::optional<io::DiskRecord> diskRecord_;
    bool changedOnlyByGoneFile_ = false;   // see markFileGone()
};

} // namespace documents
