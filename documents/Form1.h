#pragma once
// A document window: one edit control filling the window, a slot number (Tag) and a caption that
// is the document's identity ("Document", "Document 2", or the file's path). It knows the document
// table, not the frame: a right click and a dropped file are reported by signals, and the close
// prompt saves through the saver it is given; the frame wires all three when it loads the window.
#include "documents/Document.h"
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

    // The document the window shows (its file, encoding, disk record, journal, Changed); the
    // calls below forward to it.
    documents::Document& document() const { return *document_; }

    void setFile(const QString& path, const QString& caption) { document_->setFile(path, caption); }
    QString fileFor(const QString& name) const { return document_->fileFor(name); }
    QString filePath() const { return document_->filePath(); }
    io::DiskRecord* diskRecord() { return document_->diskRecord(); }
    void recordDisk(std::optional<quint64> hash = std::nullopt) { document_->recordDisk(hash); }
    void recordDisk(const io::DiskRecord& record) { document_->recordDisk(record); }
    void markFileGone() { document_->markFileGone(); }

    QMdiSubWindow* subWindow() const;
    // Makes the window the active one, restored when minimized, its text taking the keys.
    void bringForward();

    // Whether the document has changes not saved yet: its slot's Changed flag.
    bool isChanged() const { return document_->isChanged(); }
    void setChanged(bool changed) { document_->setChanged(changed); }
    DocumentJournal* journal() const { return document_->journal(); }
    // Its view (colouring, matching, indentation), made with the window.
    DocumentView* view() const { return view_; }

    io::Encoding encoding() const { return document_->encoding(); }
    void setEncoding(io::Encoding encoding) { document_->setEncoding(encoding); }
    void setFileEncoding(io::Encoding encoding, const QString& note = QString()) { document_->setFileEncoding(encoding, note); }
    std::optional<io::Encoding> fileEncoding() const { return document_->fileEncoding(); }
    QString encodingNote() const { return document_->encodingNote(); }

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
    // Raised as the document raises them (documents::Document).
    void fileAssigned(const QString& path);
    void diskRecorded();
    void encodingChanged();
    // The right mouse button went down over the text, at this point of the screen (or Shift+F10 or
    // the Menu key was pressed: the point is below the caret).
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
    documents::Document* document_ = nullptr;
    DocumentView* view_ = nullptr;
    Saver saver_;
    QString tag_;
    bool closeWithoutAsking_ = false;
    bool unloaded_ = false;
};
