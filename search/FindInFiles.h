#pragma once
// Find in Files without widgets: walks a folder, reads every file whose name fits the patterns
// on worker threads, and streams what it finds, file by file in the order of the walk.
//
// A file is read through the loader Open uses (io/TextLoader.h) into the UTF-8 text the editor
// would show for it; a file open in a window with unsaved changes is searched in the window's
// text instead (Request::openTexts). Positions in a hit are byte offsets into that text, the same offsets the edit control has
// after opening the file, and its column is the one the editor shows there. Binary files (a NUL
// byte among the first 8000, unless a UTF-16 byte order mark starts them) and files the editor
// would refuse to open (too large for it or for the free memory, a line too long) are skipped and
// counted; files and folders that cannot be read are reported with the reason, and the search
// goes on.
//
// Stopping takes effect within milliseconds even in a file of hundreds of megabytes: files are
// read and decoded 4 MB at a time and searched a megabyte at a time, and the stop flag is read
// between pieces. No
// one ever waits for a search's threads but wait(): dropping a search returns at once, and its
// threads, which own what they use, end on their own soon after. At the program's end the
// application object's teardown waits for them, a few seconds at most.
#include "search/Matcher.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace findinfiles {

// The text of a file's bytes as Open puts it into the editor, in UTF-8: 'bytes' itself (or all
// of it but its byte order mark) when it needs no decoding, else the decoded text in 'scratch'.
// The encoding is recognised as Open recognises it (io::detectEncoding()).
QByteArrayView fileText(QByteArrayView bytes, QByteArray& scratch);

// File-name patterns such as "*.htm;*.html": wildcards '*' and '?', separated by ';', ',' or
// blanks, compared without case. "*.*" and "*" take every file; no pattern takes every file.
class NameFilter {
public:
    explicit NameFilter(const QString& patterns = QString());
    bool matches(const char* fileName) const;
    bool matches(const QString& fileName) const { return matches(fileName.toUtf8().constData()); }

private:
    std::vector<QByteArray> patterns_;
    bool all_ = true;
};

// The patterns of the first entry of an Open dialog filter ("All Documents | *.htm;*.html|...").
QString patternsOfFilter(const QString& filter);

// Why a folder cannot be searched, or an empty text when it can.
QString folderProblem(const QString& folder);

// The text of a document open in a window with unsaved changes (UTF-8, as the window holds it),
// searched instead of its file, which is known by its device and inode.
struct OpenText {
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray text;
};

struct Request {
    QString folder;
    QString patterns;
    bool subfolders = true;
    // Snapshots of the documents with unsaved changes, taken when the search starts.
    std::shared_ptr<const std::vector<OpenText>> openTexts;
};

struct Hit {
    qint64 line = 0;        // 1-based
    qint64 column = 0;      // 1-based, in characters (UTF-16 units) of the line
    qint64 start = 0;       // the match: bytes of the file's text
    qint64 end = 0;
    qint64 lineStart = 0;   // the line's first byte
    QString lineText;       // the line, shortened around the match when it is long
    int markFrom = 0;       // the match in lineText (UTF-16 units), clipped to the line
    int markLength = 0;
};

enum class Outcome { Searched, Binary, TooLarge, Unreadable };

struct FileResult {
    QString path;
    Outcome outcome = Outcome::Searched;
    QString reason;          // why it was skipped or could not be read
    qint64 size = 0;         // bytes of the file
    qint64 matches = 0;      // all matches, listed or not
    std::vector<Hit> hits;   // the listed ones
    bool unsaved = false;    // searched in a window's text, unsaved changes included
};

struct Summary {
    qint64 filesSearched = 0;
    qint64 filesMatched = 0;
    qint64 matches = 0;
    qint64 unlisted = 0;     // matches beyond the listing limit: counted, not listed
    qint64 binary = 0;
    qint64 tooLarge = 0;
    qint64 unreadable = 0;   // files and folders
    qint64 bytes = 0;        // bytes of the files searched
    bool stopped = false;
    bool gaveUp = false;     // the expression needed more work than allowed in some file
};

struct Progress {
    qint64 filesFound = 0;   // by the walk so far
    qint64 filesDone = 0;
    bool walking = true;     // the walk has not finished, so filesFound may still grow
};

// The hits that may still be listed, shared by the workers of one search: each listed hit takes
// one from a single atomic count, so that all of them together list no more than the limit.
class HitBudget {
public:
    explicit HitBudget(qint64 hits) : left_(hits) {}
    // Takes one; false when none is left (a worker asks again only for its next file).
    bool take() { return left_.fetch_sub(1, std::memory_order_relaxed) > 0; }

private:
    std::atomic<qint64> left_;
};

// One search. Starts at construction; the callbacks run on worker threads, one at a time and
// in the order of the walk; 'finished' comes last, once. Destroying the search stops it and
// returns at once: no callback runs after that.
class Search {
public:
    struct Sink {
        std::function<void(FileResult&&)> file;
        std::function<void(const Summary&)> finished;
    };
    // At most this many hits are listed in all (every match is counted).
    static constexpr qint64 kListLimit = 100000;

    Search(const Request& request, const search::Matcher& matcher, Sink sink, int threads = 0);
    ~Search();
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    // Asks the search to stop soon; returns at once.
    void stop();
    // Waits until every thread has ended (not for the window's thread: it never waits).
    void wait();
    Progress progress() const;
    bool done() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

// Searches one text (UTF-8) for every match, for hits as Find in Files lists them; as many hits
// are returned as the budget gives, 'matches' counts them all. The text is searched 'window'
// bytes at a time (matches may reach beyond a window), and 'stop' is read between windows and
// every 1,024 matches. Used by the workers and the tests.
std::vector<Hit> hitsIn(const char* text, qint64 length, const search::Matcher& matcher, HitBudget& budget,
                        qint64& matches, const std::atomic<bool>* stop = nullptr, qint64 window = qint64(1) << 20);

} // namespace findinfiles
