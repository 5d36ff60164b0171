#include "search/FindInFilesPanel.h"

#include "documents/DocumentCommands.h"
#include "documents/DocumentFrame.h"
#include "documents/FileTypes.h"
#include "documents/Form1.h"
#include "documents/Theme.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QCoreApplication>
#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMdiArea>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <new>
#include <sys/stat.h>

namespace findinfiles {

class ResultsModel : public QAbstractItemModel {
public:
    static constexpr int MarkRole = Qt::UserRole + 1;   // hit rows: QPoint(from, length) in the text

    struct File {
        QString path;
        QString note;   // why it could not be read
        qint64 matches = 0;
        std::vector<Hit> hits;
        bool unsaved = false;   // searched in its window's text
    };

    using QAbstractItemModel::QAbstractItemModel;

    void clear() {
        beginResetModel();
        files_.clear();
        endResetModel();
    }
    // Files with hits and files that could not be read are listed; the others only counted.
    bool add(FileResult&& r) {
        if (r.outcome != Outcome::Unreadable && r.hits.empty()) return false;
        const int row = int(files_.size());
        beginInsertRows(QModelIndex(), row, row);
        files_.push_back({r.path, r.outcome == Outcome::Unreadable ? r.reason : QString(), r.matches, std::move(r.hits), r.unsaved});
        endInsertRows();
        return true;
    }
    int fileCount() const { return int(files_.size()); }
    const File& file(int row) const { return files_.at(size_t(row)); }
    // The file row and, for a hit row, the hit's number (else -1).
    std::pair<int, int> locate(const QModelIndex& index) const {
        if (!index.isValid()) return {-1, -1};
        return index.internalId() == 0 ? std::pair{index.row(), -1} : std::pair{int(index.internalId() - 1), index.row()};
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override {
        if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
        return createIndex(row, 0, parent.isValid() ? quintptr(parent.row() + 1) : quintptr(0));
    }
    QModelIndex parent(const QModelIndex& child) const override {
        return child.isValid() && child.internalId() != 0 ? createIndex(int(child.internalId() - 1), 0, quintptr(0))
                                                          : QModelIndex();
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        if (!parent.isValid()) return fileCount();
        return parent.internalId() == 0 ? int(files_[size_t(parent.row())].hits.size()) : 0;
    }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 1; }

    QVariant data(const QModelIndex& index, int role) const override {
        const auto [fileRow, hitRow] = locate(index);
        if (fileRow < 0) return {};
        const File& f = files_[size_t(fileRow)];
        if (hitRow < 0) {
            if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
            const QString path = QDir::toNativeSeparators(f.path);
            if (!f.note.isEmpty()) return path + QCoreApplication::translate("FindInFilesPanel", ": cannot be read (%1)").arg(f.note);
            return path + (f.matches == 1 ? QCoreApplication::translate("FindInFilesPanel", "  (1 match") : QCoreApplication::translate("FindInFilesPanel", "  (%1 matches").arg(f.matches)) +
                   (f.unsaved ? QCoreApplication::translate("FindInFilesPanel", " in its window, unsaved changes included)") : QStringLiteral(")"));
        }
        const Hit& h = f.hits[size_t(hitRow)];
        const QString prefix = QStringLiteral("%1: ").arg(h.line);
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            QString text = h.lineText;
            text.replace(QLatin1Char('\t'), QLatin1Char(' '));
            return prefix + text;
        }
        if (role == MarkRole) return QPoint(int(prefix.size()) + h.markFrom, h.markLength);
        return {};
    }

private:
    std::vector<File> files_;
};

namespace {

// Hit rows with their match marked: on a highlight, in bold.
class MarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QVariant mark = index.data(ResultsModel::MarkRole);
        if (!mark.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* view = opt.widget;
        QStyle* style = view ? view->style() : nullptr;
        if (style) style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, view);
        const QPoint m = mark.toPoint();
        const QString parts[3] = {text.left(m.x()), text.mid(m.x(), m.y()), text.mid(m.x() + m.y())};
        QRect r = opt.rect.adjusted(4, 0, -2, 0);
        painter->save();
        painter->setClipRect(opt.rect);
        const bool selected = opt.state & QStyle::State_Selected;
        const QColor plain = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const MarkColours colours = markColours(opt.palette);
        for (int i = 0; i < 3 && r.width() > 0; ++i) {
            QFont font = opt.font;
            font.setBold(i == 1);
            painter->setFont(font);
            const int width = QFontMetrics(font).horizontalAdvance(parts[i]);
            const bool marked = i == 1 && !selected;
            if (marked) painter->fillRect(QRect(r.left(), r.top() + 1, width, r.height() - 2), colours.paper);
            painter->setPen(marked ? colours.text : plain);
            painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, parts[i]);
            r.setLeft(r.left() + width);
        }
        painter->restore();
    }
};

} // namespace

MarkColours markColours(const QPalette& palette) {
    const theme::Colours c = theme::fromPalette(palette);
    return {c.matchText, c.matchPaper};
}

namespace {

bool samePath(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString number(qint64 n) { return QLocale().toString(n); }

QString plural(qint64 n, const char* one, const char* many) {
    // 'one' and 'many' are marked with QT_TRANSLATE_NOOP("FindInFilesPanel", ...).
    return number(n) + QLatin1Char(' ') + QCoreApplication::translate("FindInFilesPanel", n == 1 ? one : many);
}

} // namespace
} // namespace findinfiles

using findinfiles::ResultsModel;

FindInFilesPanel::FindInFilesPanel(DocumentFrame& frame)
    : QDockWidget(QCoreApplication::translate("FindInFilesPanel", "Find in Files"), frame.frameWidget()), frame_(frame) {
    setObjectName(QStringLiteral("FindInFilesPanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    const auto make = [body](auto* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    txtFind = make(new QLineEdit(body), "txtFind");
    txtFolder = make(new QLineEdit(body), "txtFolder");
    txtTypes = make(new QLineEdit(body), "txtTypes");
    chkCase = make(new QCheckBox(QCoreApplication::translate("FindInFilesPanel", "Match &case"), body), "chkCase");
    chkWord = make(new QCheckBox(QCoreApplication::translate("FindInFilesPanel", "&Whole word"), body), "chkWord");
    chkRegex = make(new QCheckBox(QCoreApplication::translate("FindInFilesPanel", "Regular e&xpression"), body), "chkRegex");
    chkSubfolders = make(new QCheckBox(QCoreApplication::translate("FindInFilesPanel", "S&ubfolders"), body), "chkSubfolders");
    cmdFind = make(new QPushButton(QCoreApplication::translate("FindInFilesPanel", "&Find"), body), "cmdFind");
    cmdStop = make(new QPushButton(QCoreApplication::translate("FindInFilesPanel", "S&top"), body), "cmdStop");
    cmdBrowse = make(new QPushButton(QCoreApplication::translate("FindInFilesPanel", "&Browse..."), body), "cmdBrowse");
    lblStatus = make(new QLabel(body), "lblStatus");
    progress = make(new QProgressBar(body), "progress");
    results = make(new QTreeView(body), "results");
    model_ = new ResultsModel(this);
    results->setModel(model_);
    results->setAccessibleName(QCoreApplication::translate("FindInFilesPanel", "Results"));
    results->setHeaderHidden(true);
    results->setUniformRowHeights(true);
    results->setItemDelegate(new findinfiles::MarkDelegate(results));
    results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    chkSubfolders->setChecked(true);
    cmdStop->setEnabled(false);
    progress->setVisible(false);
    progress->setMaximumWidth(200);
    txtTypes->setText(findinfiles::patternsOfFilter(filetypes::openFilter()));
    txtTypes->setCursorPosition(0);

    auto* inputs = new QGridLayout;
    const auto label = [body](const char* text, QWidget* buddy) {
        auto* l = new QLabel(QCoreApplication::translate("FindInFilesPanel", text), body);
        l->setBuddy(buddy);
        return l;
    };
    // One field a row, each as wide as the panel allows, the options below them: at a large
    // scale (QT_SCALE_FACTOR=2) the check boxes beside the fields left the folder a few letters.
    inputs->addWidget(label(QT_TRANSLATE_NOOP("FindInFilesPanel", "Fi&nd what:"), txtFind), 0, 0);
    inputs->addWidget(txtFind, 0, 1, 1, 2);
    inputs->addWidget(cmdFind, 0, 3);
    inputs->addWidget(label(QT_TRANSLATE_NOOP("FindInFilesPanel", "In f&older:"), txtFolder), 1, 0);
    inputs->addWidget(txtFolder, 1, 1);
    inputs->addWidget(cmdBrowse, 1, 2);
    inputs->addWidget(cmdStop, 1, 3);
    inputs->addWidget(label(QT_TRANSLATE_NOOP("FindInFilesPanel", "File t&ypes:"), txtTypes), 2, 0);
    inputs->addWidget(txtTypes, 2, 1, 1, 2);
    auto* options = new QHBoxLayout;
    for (QCheckBox* c : {chkCase, chkWord, chkRegex, chkSubfolders}) options->addWidget(c);
    options->addStretch(1);
    inputs->addLayout(options, 3, 1, 1, 3);
    inputs->setColumnStretch(1, 1);
    // A folder path stays readable: some twenty-five characters at the least.
    txtFolder->setMinimumWidth(txtFolder->fontMetrics().averageCharWidth() * 25);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(lblStatus, 1);
    statusRow->addWidget(progress);
    auto* column = new QVBoxLayout(body);
    column->addLayout(inputs);
    column->addWidget(results, 1);
    column->addLayout(statusRow);
    setWidget(body);

    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &FindInFilesPanel::showProgress);
    connect(cmdFind, &QPushButton::clicked, this, &FindInFilesPanel::cmdFind_Click);
    connect(cmdStop, &QPushButton::clicked, this, &FindInFilesPanel::cmdStop_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &FindInFilesPanel::cmdBrowse_Click);
    connect(txtFind, &QLineEdit::returnPressed, this, &FindInFilesPanel::cmdFind_Click);
    connect(results, &QTreeView::activated, this, &FindInFilesPanel::openResult);
}

FindInFilesPanel::~FindInFilesPanel() {
    search_.reset();   // nothing is reported to the panel after this
}

void FindInFilesPanel::closeEvent(QCloseEvent* event) {
    cmdStop_Click();
    QDockWidget::closeEvent(event);
}

FindInFilesPanel* FindInFilesPanel::open(DocumentFrame& frame, FindInFilesPanel*& panel) {
    if (!panel) {
        panel = new FindInFilesPanel(frame);
        if (auto* main = qobject_cast<QMainWindow*>(frame.frameWidget())) main->addDockWidget(Qt::BottomDockWidgetArea, panel);
    }
    if (Form1* form = frame.ActiveForm()) {
        const QString selected = form->RTB1->SelText();
        if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
            panel->txtFind->setText(selected);
        const QFileInfo file(form->fileFor(form->Caption()));
        if (file.isFile()) panel->txtFolder->setText(QDir::toNativeSeparators(file.absolutePath()));
    }
    if (panel->txtFolder->text().isEmpty()) panel->txtFolder->setText(QDir::toNativeSeparators(QDir::currentPath()));
    panel->show();
    panel->raise();
    panel->txtFind->setFocus();
    panel->txtFind->selectAll();
    return panel;
}

void FindInFilesPanel::cmdFind_Click() {
    if (txtFind->text().isEmpty()) return;
    search::Matcher matcher;
    search::QueryError error;
    const search::Query query{txtFind->text(), chkCase->isChecked(), chkWord->isChecked(), chkRegex->isChecked()};
    if (!matcher.prepare(query, &error)) {
        tp::MsgBox(error.text(query.text));
        return;
    }
    const QString folder = QDir::fromNativeSeparators(txtFolder->text().trimmed());
    if (const QString problem = findinfiles::folderProblem(folder); !problem.isEmpty()) {
        tp::MsgBox(problem);
        return;
    }
    search_.reset();   // the last search, if still running, stops on its own threads
    model_->clear();
    matches_ = 0;
    const int run = ++run_;
    findinfiles::Search::Sink sink;
    // Called on the worker threads: everything goes to the panel's own thread.
    sink.file = [this, run](findinfiles::FileResult&& r) {
        QMetaObject::invokeMethod(this, [this, run, r = std::make_shared<findinfiles::FileResult>(std::move(r))] {
            addFile(run, std::move(*r));
        }, Qt::QueuedConnection);
    };
    sink.finished = [this, run](const findinfiles::Summary& s) {
        QMetaObject::invokeMethod(this, [this, run, s] { finish(run, s); }, Qt::QueuedConnection);
    };
    cmdFind->setEnabled(false);
    cmdStop->setEnabled(true);
    progress->setRange(0, 0);
    progress->setVisible(true);
    lblStatus->setText(QCoreApplication::translate("FindInFilesPanel", "Searching..."));
    findinfiles::Request request{folder, txtTypes->text(), chkSubfolders->isChecked(), openTexts()};
    search_ = std::make_unique<findinfiles::Search>(request, matcher, std::move(sink));
    timer_->start();
}

std::shared_ptr<const std::vector<findinfiles::OpenText>> FindInFilesPanel::openTexts() const {
    auto texts = std::make_shared<std::vector<findinfiles::OpenText>>();
    for (Form1* form : frame_.documentWindows()) {
        if (!form->isChanged() || form->filePath().isEmpty()) continue;
        struct stat st {};
        if (::stat(QFile::encodeName(form->filePath()).constData(), &st) != 0) continue;
        try {
            texts->push_back({quint64(st.st_dev), quint64(st.st_ino), form->RTB1->bytes(0, form->RTB1->byteLength())});
        } catch (const std::bad_alloc&) {
            // No room for a copy: the file is searched as it is on disk.
        }
    }
    return texts;
}

void FindInFilesPanel::cmdStop_Click() {
    if (search_) search_->stop();
}

void FindInFilesPanel::cmdBrowse_Click() {
    QFileDialog dialog(this, QCoreApplication::translate("FindInFilesPanel", "Find in Files"), QDir::fromNativeSeparators(txtFolder->text()));
    dialog.setObjectName(QStringLiteral("dlgFolder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (tp::modal().exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        txtFolder->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void FindInFilesPanel::addFile(int run, findinfiles::FileResult&& result) {
    if (run != run_) return;
    matches_ += result.matches;
    if (model_->add(std::move(result))) results->expand(model_->index(model_->fileCount() - 1, 0));
}

void FindInFilesPanel::showProgress() {
    if (!search_) return;
    const findinfiles::Progress p = search_->progress();
    if (!p.walking) progress->setRange(0, int(std::min<qint64>(p.filesFound, INT_MAX)));
    if (!p.walking) progress->setValue(int(std::min<qint64>(p.filesDone, INT_MAX)));
    lblStatus->setText(QCoreApplication::translate("FindInFilesPanel", "Searching... %1 of %2 files, %3")
                           .arg(findinfiles::number(p.filesDone), findinfiles::number(p.filesFound),
                                findinfiles::plural(matches_, QT_TRANSLATE_NOOP("FindInFilesPanel", "match"), QT_TRANSLATE_NOOP("FindInFilesPanel", "matches"))));
}

void FindInFilesPanel::finish(int run, const findinfiles::Summary& s) {
    if (run != run_) return;
    using findinfiles::plural;
    timer_->stop();
    search_.reset();
    cmdFind->setEnabled(true);
    cmdStop->setEnabled(false);
    progress->setVisible(false);
    QString text = (s.stopped ? QCoreApplication::translate("FindInFilesPanel", "Stopped: ") : QString()) + plural(s.matches, QT_TRANSLATE_NOOP("FindInFilesPanel", "match"), QT_TRANSLATE_NOOP("FindInFilesPanel", "matches")) +
                   QCoreApplication::translate("FindInFilesPanel", " in ") + plural(s.filesMatched, QT_TRANSLATE_NOOP("FindInFilesPanel", "file"), QT_TRANSLATE_NOOP("FindInFilesPanel", "files")) + QStringLiteral("; ") +
                   plural(s.filesSearched, QT_TRANSLATE_NOOP("FindInFilesPanel", "file"), QT_TRANSLATE_NOOP("FindInFilesPanel", "files")) + QCoreApplication::translate("FindInFilesPanel", " searched");
    QStringList skipped;
    if (s.binary) skipped << plural(s.binary, QT_TRANSLATE_NOOP("FindInFilesPanel", "binary file"), QT_TRANSLATE_NOOP("FindInFilesPanel", "binary files"));
    if (s.tooLarge) skipped << plural(s.tooLarge, QT_TRANSLATE_NOOP("FindInFilesPanel", "file too large to open"), QT_TRANSLATE_NOOP("FindInFilesPanel", "files too large to open"));
    if (!skipped.isEmpty()) text += QCoreApplication::translate("FindInFilesPanel", ", skipped ") + skipped.join(QCoreApplication::translate("FindInFilesPanel", " and "));
    if (s.unreadable) text += QStringLiteral("; ") + plural(s.unreadable, QT_TRANSLATE_NOOP("FindInFilesPanel", "could not be read"), QT_TRANSLATE_NOOP("FindInFilesPanel", "could not be read"));
    if (s.unlisted) text += QCoreApplication::translate("FindInFilesPanel", "; %1 are listed").arg(findinfiles::number(s.matches - s.unlisted));
    if (s.gaveUp) text += QCoreApplication::translate("FindInFilesPanel", "; the regular expression needed too much work on some files");
    lblStatus->setText(text + QLatin1Char('.'));
}

void FindInFilesPanel::openResult(const QModelIndex& index) {
    const auto [fileRow, hitRow] = model_->locate(index);
    if (fileRow < 0) return;
    const ResultsModel::File& f = model_->file(fileRow);
    if (!f.note.isEmpty()) return;
    const QString path = f.path;
    const findinfiles::Hit hit = hitRow >= 0 ? f.hits[size_t(hitRow)] : findinfiles::Hit{};
    Form1* form = nullptr;
    for (Form1* w : frame_.documentWindows())
        if (findinfiles::samePath(w->fileFor(w->Caption()), path)) form = w;
    bool changed = false;
    if (form) {
        frame_.mdiArea()->setActiveSubWindow(form->subWindow());
        changed = form->isChanged();
    } else {
        frame_.strCurrentFile = path;   // as Open does
        form = documents::openDocument(frame_, path);
        if (!form) return;
    }
    if (hitRow < 0) return;
    RichTextBox& rtb = *form->RTB1;
    qint64 from = hit.start, to = hit.end;
    if (changed) {
        // The text may have moved since the search: the same place in the same line.
        const qint64 line = std::min<qint64>(hit.line - 1, rtb.lineCount() - 1);
        from = std::min(rtb.lineStartByte(line) + (hit.start - hit.lineStart), rtb.lineEndByte(line));
        to = from + (hit.end - hit.start);
    }
    to = std::min(to, rtb.byteLength());
    from = std::min(from, to);
    rtb.selectBytes(from, to);
    rtb.showCaret();
    rtb.setFocus();
}
