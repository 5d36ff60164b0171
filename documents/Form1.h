#pragma once
// A document window: one edit control filling the window, a slot number (Tag) and a caption that
// is the document's identity ("Document", "Document 2", or the file's path).
#include <QString>
#include <QWidget>

class MDIForm1;
class QMdiSubWindow;
class RichTextBox;
class QMimeData;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(MDIForm1& frame);

    RichTextBox* RTB1 = nullptr;

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
    QString filePath() const { return filePath_; }

    QMdiSubWindow* subWindow() const;
    MDIForm1& frame() const { return frame_; }

    // Applies the maximize setting.
    void Form_Load();
    // Asks about unsaved changes; false refuses the close.
    bool Form_QueryUnload();
    // Marks the slot free.
    void Form_Unload();
    // Closes without asking (the question was already asked, or there is nothing to keep).
    void closeWithoutAsking();

    void DropFile(RichTextBox& txtDragDrop, const QString& strFilename);

signals:
    // The window's file was set or changed (Open, a drop, Save As): 'path' is the real path.
    void fileAssigned(const QString& path);

public slots:
    void RTB1_Change();
    void RTB1_MouseDown(int button, int shift, int x, int y);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    MDIForm1& frame_;
    QString tag_;
    QString filePath_;
    QString fileCaption_;
    bool closeWithoutAsking_ = false;
    bool unloaded_ = false;
};
