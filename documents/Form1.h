#pragma once
// A document window: one edit control filling the window, a slot number (Tag) and a caption that
// is the document's identity ("Document", "Document 2", or the file's path). It knows the document
// table, not the frame: a right click and a dropped file are reported by signals, and the close
// prompt saves through the saver it is given; the frame wires all three when it loads the window.
#include "io/DiskWatch.h"
#include "io/Encoding.h"

#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class DocumentJournal;
class DocumentView;
class DocumentTable;
class QMdiSubWindow;
class RichTextBox;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(DocumentTable& table);

    RichTextBox* RTB1 = nullptr;

    DocumentTable& table() const { return table_; }
    QString Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    int slot() const { return tag_.toInt(); }

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption);

    // The file behind the caption as it really is on disk (captions of opened files are upper
    // case, file names are not). Recorded together with the caption it belongs to.
    void setFile(const QString& path, const QString& caption);
    // The file that a save to 'name' must write: the recorded file when 'name' is the caption
    // it was recorded with, else 'name' itself.
    QString fileFor(const QString& name) const;
    // The window's file on disk; empty while it has none.
    QString filePath() const { return filePath_; }

    // The file as it was when the window last read or wrote it, to notice what other programs do
    // to it; none while the window has no file, and none again after a save names another file.
    io::DiskRecord* diskRecord() { return diskRecord_ ? &*diskRecord_ : nullptr; }
    // Records the window's file as it is now: just before reading it, just after writing it;
    // 'hash' is that of the bytes read or written (io/ContentHash.h), when known.
    void recordDisk(std::optional<quint64> hash = std::nullopt);
    // The hash of the bytes read after recordDisk().
    void recordDiskHash(std::optional<quint64> hash);
    // Records the file as a recovered journal knew it, when the work began (see recovery).
    void recordDisk(const io::DiskRecord& record);
    // The change on disk the user was last told of (see fileops::checkDiskChange); none since the
    // last record.
    std::optional<io::FileIdentity> diskTold;
    // The window's file was deleted: the document now counts as changed, so that its text is not
    // lost unasked; closing asks whether to save it again (unless it was edited too).
    void markFileGone();

    QMdiSubWindow* subWindow() const;

    // Whether the document has changes not saved yet: its slot's Changed flag.
    bool isChanged() const;
    // Sets or clears it (the table keeps the flag: -1 or 0).
    void setChanged(bool changed);
    // The recovery journal that keeps the window's unsaved text, or nullptr when journals are off.
    DocumentJournal* journal() const { return journal_; }
    // Its view (colouring, matching, indentation), made with the window.
    DocumentView* view() const { return view_; }

    // The encoding the document was read in and that its next save writes (io/Encoding.h). A new
    // window starts with the user's default for new documents (Windows-1252 unless chosen).
    io::Encoding encoding() const { return encoding_; }
    void setEncoding(io::Encoding encoding);
    // After the file was read or written: the encoding of the text and of the file alike, and why
    // it is not the one the file declares ("ISO-2022-JP declared; not exact, shown as
    // Windows-1252"), if so.
    void setFileEncoding(io::Encoding encoding, const QString& note = QString());
    // The encoding the window's file was last read or written in; nothing before either.
    std::optional<io::Encoding> fileEncoding() const { return fileEncoding_; }
    // The note above; cleared when the encoding changes.
    QString encodingNote() const { return encodingNote_; }

    // Saves the window as Save does; true when the text reached the file.
    using Saver = std::function<bool(Form1& form)>;
    // The save that a Yes in the close prompt runs. Without one, a Yes keeps the window open.
    void setSaver(Saver saver) { saver_ = std::move(saver); }

    // Applies the maximize setting.
    void Form_Load();
    // Asks about unsaved changes; false refuses the close.
    bool Form_QueryUnload();
    // Marks the slot free.
    void Form_Unload();
    // Closes without asking (the question was already asked, or there is nothing to keep).
    void closeWithoutAsking();

signals:
    // The window's file was set or changed (Open, a drop, Save As): 'path' is the real path.
    void fileAssigned(const QString& path);
    // The window has just recorded its file as it is on disk (recordDisk()).
    void diskRecorded();
    // The document's encoding changed.
    void encodingChanged();
    // The right mouse button went down over the text, at this point of the screen.
    void rightClicked(const QPoint& globalPos);
    // A list of files was dropped on the text; 'path' is its first file. Raised once the drop has
    // ended (queued), so that its handling may show a message or read for long.
    void fileDropped(const QString& path);

public slots:
    void RTB1_Change();
    void RTB1_MouseDown(int button, int shift, int x, int y);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    DocumentTable& table_;
    DocumentJournal* journal_ = nullptr;
    DocumentView* view_ = nullptr;
    Saver saver_;
    QString tag_;
    QString filePath_;
    QString fileCaption_;
    io::Encoding encoding_;
    std::optional<io::Encoding> fileEncoding_;
    QString encodingNote_;
    std::optional<io::DiskRecord> diskRecord_;
    bool changedOnlyByGoneFile_ = false;   // see markFileGone()
    bool closeWithoutAsking_ = false;
    bool unloaded_ = false;
};
