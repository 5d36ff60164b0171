#pragma once
// The Find in Files panel, docked at the bottom of the frame: what to find (text or regular
// expression, match case, whole word), the folder (by default the active document's), the file
// patterns (by default the web file types of the Open dialog), subfolders; Find and Stop. The
// results come in while the search runs on worker threads, grouped by file: line, the line's
// text with the match marked. A double-click opens the file as Open does, or brings its window
// forward when it is open, and selects the match. Stop, a new Find and closing the panel return at
// once: the search they end drops what it was doing on its own threads.
#include "search/FindInFiles.h"

#include <QColor>
#include <QDockWidget>

#include <memory>
#include <vector>

class DocumentFrame;
class QCheckBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPalette;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace findinfiles {

// The results: one row per file, under it one row per listed hit.
class ResultsModel;

// The colours of a match in the results: the editor's for a brace and its partner, so readable on
// whatever the palette is.
struct MarkColours {
    QColor text, paper;
};
MarkColours markColours(const QPalette& palette);

} // namespace findinfiles

class FindInFilesPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit FindInFilesPanel(DocumentFrame& frame);
    ~FindInFilesPanel() override;

    // The frame's panel, made and docked on first use ('panel' is the frame's hold on it), shown
    // with the focus in "Find what" (which takes the selection of the active document when it lies
    // within a line).
    static FindInFilesPanel* open(DocumentFrame& frame, FindInFilesPanel*& panel);

    QLineEdit* txtFind = nullptr;
    QLineEdit* txtFolder = nullptr;
    QLineEdit* txtTypes = nullptr;
    QCheckBox* chkCase = nullptr;
    QCheckBox* chkWord = nullptr;
    QCheckBox* chkRegex = nullptr;
    QCheckBox* chkSubfolders = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblStatus = nullptr;
    QProgressBar* progress = nullptr;
    QTreeView* results = nullptr;

    bool running() const { return search_ != nullptr; }

public slots:
    // Checks the input (a valid expression, a folder that can be read) and starts the search.
    void cmdFind_Click();
    void cmdStop_Click();
    void cmdBrowse_Click();
    // Opens the file of a result row and selects its match.
    void openResult(const QModelIndex& index);

protected:
    // Closing the panel stops its search.
    void closeEvent(QCloseEvent* event) override;

private:
    void addFile(int run, findinfiles::FileResult&& result);
    void finish(int run, const findinfiles::Summary& summary);
    void showProgress();
    // The text of every window whose file has unsaved changes, for the search to take instead.
    std::shared_ptr<const std::vector<findinfiles::OpenText>> openTexts() const;

    // Used on the window's thread only; the search's threads reach the panel through queued calls
    // tagged with their run.
    DocumentFrame& frame_;
    findinfiles::ResultsModel* model_ = nullptr;
    QTimer* timer_ = nullptr;
    std::unique_ptr<findinfiles::Search> search_;   // the running search, dropped (never waited for) when it ends
    int run_ = 0;   // the search whose results are wanted
    qint64 matches_ = 0;
};
