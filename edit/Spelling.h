#pragma once
// Spelling, widget-free: which words of a text are prose to check, the language a page declares,
// the dictionaries installed, and one dictionary (hunspell) behind checks of its own.
//
// Words are checked where an author writes prose: a plain text whole; Markdown but for its code
// (`inline` and fenced); a page's text content and
// its human-readable attribute values (alt, title, placeholder, aria-label, and the content of
// <meta name="description">); comments and strings of CSS and JavaScript only when asked. Never
// tag or attribute names, other attribute values, script and style bodies, code elements,
// comments of a page, entities, URLs, e-mail addresses, file names, words with digits or
// underscores, words written inCamelCase, single letters.
#include "documents/Syntax.h"

#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class Hunspell;

namespace spelling {

// How a kind of file is read for prose.
enum class Mode { None, Plain, Html, Code, Markdown };
Mode modeFor(syntax::Kind kind);

struct Word {
    qint64 from = 0, to = 0;   // byte offsets in the document
    bool operator==(const Word&) const = default;
};

// How far before the part checked a page is read to know where that part stands (inside a tag,
// a script, a comment), and how much is checked at most at a time.
constexpr qint64 kLookBack = qint64(64) << 10;
constexpr qint64 kMostChecked = qint64(64) << 10;
// Longer words are not checked (no dictionary word is this long).
constexpr int kLongestWord = 60;

// The words to check that begin in [from, to) of a document; 'text' is the document from
// 'textStart' on, reaching back to kLookBack before 'from' (or to the start) and on to 'to'.
// 'code': comments and strings of CSS and JavaScript count as prose.
std::vector<Word> words(QByteArrayView text, qint64 textStart, qint64 from, qint64 to, Mode mode, bool code);

// The language a page declares on its <html> element, as a dictionary names it ("en-GB" gives
// "en_GB"), or empty. 'head' is the page's beginning.
QString pageLanguage(QByteArrayView head);

// The dictionary to use: the page's language when one is installed for it (a bare "fr" takes any
// installed "fr_*"), else the user's choice, else the locale's ("de_AT" falls back to any "de_*"),
// else the first installed. Empty when none is installed.
QString chooseDictionary(const QString& page, const QString& chosen, const QString& locale,
                         const QStringList& installed);

// The folders Debian's hunspell-* packages put their dictionaries in.
QStringList systemFolders();
// The dictionaries of the folders ("en_US" for en_US.aff beside en_US.dic), sorted, each name
// once (the first folder wins).
QStringList installed(const QStringList& folders);
// The folder of an installed dictionary's files.
QString folderOf(const QString& name, const QStringList& folders);

// Files larger than this are no dictionary (the largest Debian ships is about 20 MB).
constexpr qint64 kMostDictionaryBytes = qint64(128) << 20;

// One loaded dictionary. Made on any thread; then used on one thread at a time.
class Dictionary {
public:
    ~Dictionary();
    // Loads 'folder/name.aff' and 'folder/name.dic'; nullptr and the reason when they are missing,
    // unreadable, not regular files (a pipe is never opened for reading), too large, or plainly
    // not a dictionary. Never blocks on a pipe.
    static std::unique_ptr<Dictionary> load(const QString& folder, const QString& name, QString* why = nullptr);

    QString name() const { return name_; }
    // Whether the dictionary knows the word (or it was added or ignored).
    bool knows(const QString& word);
    // At most 'most' suggestions for a word.
    QStringList suggest(const QString& word, int most);
    // Known from now on (not written anywhere: see the personal word list in edit/SpellCheck.h).
    void accept(const QString& word);

private:
    Dictionary() = default;
    // The word in the dictionary's encoding; false when it cannot be written in it.
    bool encode(const QString& word, std::string& out) const;

    QString name_;
    std::unique_ptr<Hunspell> hunspell_;
    QByteArray encoding_;   // the dictionary's, as hunspell names it
    QHash<QString, bool> known_;
    QSet<QString> accepted_;
};

} // namespace spelling
