#include "documents/Form1.h"

#include "documents/DocumentJournal.h"
#include "documents/DocumentTable.h"
#include "documents/DocumentView.h"
#include "documents/Recovery.h"
#include "io/TextLoader.h"
#include "io/EncodingPreference.h"
#include "io/Settings.h"
#include "platform/FileDrop.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QVBoxLayout>

Form1::Form1(DocumentTable& table) : table_(table), encoding_(io::defaultEncoding()) {
    setWindowTitle(QStringLiteral("Document"));
    RTB1 = new RichTextBox(this);
    RTB1->setObjectName(QStringLiteral("RTB1"));
    // The control fills the client area whatever the window's size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RTB1);
    setFocusProxy(RTB1);
    connect(RTB1, &RichTextBox::Change, this, &Form1::RTB1_Change);
    connect(RTB1, &RichTextBox::MouseDown, this, &Form1::RTB1_MouseDown);
    RTB1->acceptsDrop = [](const QMimeData* data) { return tp::isFileList(data); };
    RTB1->dropHandler = [this](const QMimeData* data) {
        const QString path = tp::firstDroppedPath(data);
        const QString unopenable = tp::unopenableDroppedName(data);
        // Let the drag source finish before a message box or a long read.
        if (!path.isEmpty())
            QMetaObject::invokeMethod(this, [this, path] { emit fileDropped(path); }, Qt::QueuedConnection);
        else if (!unopenable.isEmpty())
            QMetaObject::invokeMethod(this, [unopenable] { tp::MsgBox(QStringLiteral("Can't open file: ") + unopenable); },
                                      Qt::QueuedConnection);
    };
    // Syntax colouring (following fileAssigned), line numbers and the line-end count.
    view_ = new DocumentView(*this);
    // The unsaved text, kept for recovery after a crash while the document is changed.
    if (recovery::journalsEnabled()) {
        recovery::Service& service = recovery::service();
        journal_ = new DocumentJournal(*RTB1, service.writer(), service.nextNumber(), [this] {
            const int i = slot();
            return table_.valid(i) && table_.DocumentStates[i].Changed != 0;
        }, this);
        journal_->setIdentity(Caption(), QString());
        journal_->setEncoding(io::encodingName(encoding_), io::pieceDecoder(encoding_));
        connect(journal_, &DocumentJournal::problem, this, &recovery::reportProblem);
    }
}

void Form1::setCaption(const QString& caption) {
    setWindowTitle(caption);
    if (journal_) journal_->setIdentity(caption, filePath_);
}

void Form1::setFile(const QString& path, const QString& caption) {
    const bool changed = path != filePath_;
    filePath_ = path;
    fileCaption_ = caption;
    if (journal_) journal_->setIdentity(Caption(), path);
    if (!changed) return;
    diskRecord_.reset();
    diskTold.reset();
    changedOnlyByGoneFile_ = false;
    emit fileAssigned(path);
}

void Form1::recordDisk(std::optional<quint64> hash) { recordDisk(io::DiskRecord::now(filePath_, hash)); }

void Form1::recordDisk(const io::DiskRecord& record) {
    diskRecord_ = record;
    diskTold.reset();
    changedOnlyByGoneFile_ = false;
    emit diskRecorded();
}

void Form1::recordDiskHash(std::optional<quint64> hash) {
    if (diskRecord_) diskRecord_->hash = hash;
}

void Form1::markFileGone() {
    const int i = slot();
    if (!table_.valid(i)) return;
    if (table_.DocumentStates[i].Changed == 0) changedOnlyByGoneFile_ = true;
    table_.DocumentStates[i].Changed = -1;
}

void Form1::setEncoding(io::Encoding encoding) {
    if (encoding == encoding_) return;
    encoding_ = encoding;
    encodingNote_.clear();
    if (journal_) journal_->setEncoding(io::encodingName(encoding), io::pieceDecoder(encoding));
    emit encodingChanged();
}

void Form1::setFileEncoding(io::Encoding encoding, const QString& note) {
    setEncoding(encoding);
    fileEncoding_ = encoding;
    if (note == encodingNote_) return;
    encodingNote_ = note;
    emit encodingChanged();
}

QString Form1::fileFor(const QString& name) const {
    if (!filePath_.isEmpty() && name == fileCaption_) return filePath_;
    return name;
}

QMdiSubWindow* Form1::subWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

bool Form1::isChanged() const {
    const int i = slot();
    return table_.valid(i) && table_.DocumentStates[i].Changed != 0;
}

void Form1::setChanged(bool changed) {
    const int i = slot();
    if (table_.valid(i)) table_.DocumentStates[i].Changed = changed ? -1 : 0;
}

void Form1::Form_Load() {
    if (settings::read().maximizeOn()) {
        if (QMdiSubWindow* sub = subWindow()) sub->setWindowState(sub->windowState() | Qt::WindowMaximized);
    }
}

void Form1::RTB1_Change() {
    changedOnlyByGoneFile_ = false;
    const int i = slot();
    if (table_.valid(i)) table_.DocumentStates[i].Changed = -1;
}

void Form1::RTB1_MouseDown(int button, int, int x, int y) {
    if (button != 2) return;
    emit rightClicked(RTB1->mapToGlobal(QPoint(x, y)));
}

bool Form1::Form_QueryUnload() {
    const int i = slot();
    if (!table_.valid(i) || table_.DocumentStates[i].Changed == 0) return true;
    const QString caption = Caption();
    // Unedited, but its file is gone: the text is nowhere else.
    const bool gone = changedOnlyByGoneFile_ && !io::FileIdentity::of(filePath_).exists;
    const tp::MsgResult answer =
        tp::MsgBox(gone ? QStringLiteral("The file [") + caption + QStringLiteral("] no longer exists on disk.\r\n") +
                              QStringLiteral("Do you want to save it again?")
                        : QStringLiteral("The text in [") + caption + QStringLiteral("] has changed.\r\n") +
                              QStringLiteral("Do you want to save the changes?"),
                   tp::MsgButtons::YesNoCancel, tp::MsgIcon::Exclamation, caption);
    switch (answer) {
    case tp::MsgResult::Cancel:
        return false;
    case tp::MsgResult::Yes:
        // The user knows the file is gone: the save writes it anew without asking again, unless
        // another file took the name meanwhile.
        if (gone && diskRecord_) diskRecord_ = io::DiskRecord{};
        // The window closes only when its text really reached the file.
        return saver_ && saver_(*this);
    default:
        return true;
    }
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // Closed (saved, answered No, or unchanged): nothing is left to recover.
    if (journal_) journal_->discard();
    const int i = slot();
    if (table_.valid(i)) table_.DocumentStates[i].Free = -1;
}

void Form1::closeWithoutAsking() {
    closeWithoutAsking_ = true;
    if (QMdiSubWindow* sub = subWindow()) sub->close();
    else close();
}

void Form1::closeEvent(QCloseEvent* e) {
    if (!closeWithoutAsking_ && !Form_QueryUnload()) {
        e->ignore();
        return;
    }
    Form_Unload();
    e->accept();
}
