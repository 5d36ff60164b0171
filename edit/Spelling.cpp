#include "edit/Spelling.h"

#include "io/UniqueFd.h"
#include "platform/Utf8.h"

#include <hunspell.hxx>

#include <QCoreApplication>
#include <QChar>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <utility>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace spelling {
namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

bool startsWithNoCase(QByteArrayView text, qsizetype at, QByteArrayView with) {
    if (at + with.size() > text.size()) return false;
    for (qsizetype k = 0; k < with.size(); ++k)
        if (lower(text[at + k]) != with[k]) return false;
    return true;
}

// One character of the text: its code point (U+FFFD for a byte that is not UTF-8) and length.
struct Char {
    char32_t cp = 0;
    int len = 1;
};
Char charAt(QByteArrayView text, qsizetype i) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + i;
    if (*p < 0x80) return {*p, 1};
    Char c;
    c.len = utf8::decode(p, text.size() - i, c.cp);
    if (c.len == 0) return {0xFFFD, 1};
    return c;
}
bool isLetter(char32_t cp) { return cp < 0x80 ? isAsciiLetter(char(cp)) : (QChar::isLetter(cp) || QChar::isMark(cp)); }
bool isApostrophe(char32_t cp) { return cp == '\'' || cp == 0x2019; }
bool isDigit(char32_t cp) { return cp < 0x80 ? (cp >= '0' && cp <= '9') : QChar::isNumber(cp); }
// Characters that, touching a word, make it part of something other than prose: an identifier,
// a path, a tag, an address, a template.
bool isCodeMark(char32_t cp) {
    switch (cp) {
    case '_': case '@': case '#': case '/': case '\\': case '$': case '%': case '=': case '+':
    case '^': case '~': case '|': case '<': case '>': case '{': case '}': case '`': case '&':
        return true;
    default:
        return isDigit(cp);
    }
}

// Reads the prose of a stretch of text and collects its words.
struct Reader {
    QByteArrayView text;
    qint64 base = 0;         // document offset of text[0]
    qint64 from = 0, to = 0; // words beginning here are wanted
    std::vector<Word>* out = nullptr;

    qint64 rel(qint64 doc) const { return std::clamp<qint64>(doc - base, 0, text.size()); }

    // The prose [a, b) of the text; 'entities': "&name;" is markup (a page), not text.
    void prose(qsizetype a, qsizetype b, bool entities) {
        // Only the part around what is wanted, from a token's start: a line of megabytes costs
        // what is shown.
        const qsizetype lo = rel(from - 256), hi = rel(to + 256);
        if (b <= lo || a >= hi) return;
        if (a < lo) {
            a = lo;
            while (a < b && a < rel(from) && !isBlank(text[a])) ++a;
        }
        if (b > hi) {
            b = hi;
            while (b < text.size() && b < hi + 256 && !isBlank(text[b]) && text[b] != '<') ++b;
        }
        qsizetype i = a;
        while (i < b) {
            while (i < b && isSeparator(text[i])) ++i;
            qsizetype e = i;
            while (e < b && !isSeparator(text[e])) ++e;
            if (e > i) token(i, e, entities);
            i = e;
        }
    }

    // Blanks, and the brackets and quotes around a link's address ("[text](https://...)").
    static bool isSeparator(char c) {
        return isBlank(c) || c == '(' || c == ')' || c == '[' || c == ']' || c == '"' || c == '<' || c == '>';
    }

    // Markdown: prose but for code, in `backticks` and in fenced blocks.
    void markdown(qsizetype a, qsizetype b) {
        bool fenced = false;
        const qsizetype stop = rel(to + 256);
        for (qsizetype line = a; line < b && line < stop;) {
            qsizetype end = text.sliced(line, b - line).indexOf('\n');
            end = end < 0 ? b : line + end + 1;
            const QByteArrayView l = text.sliced(line, end - line).trimmed();
            if (l.startsWith("```") || l.startsWith("~~~")) {
                fenced = !fenced;
            } else if (!fenced) {
                // Outside inline code: the runs between an even number of backtick runs.
                qsizetype i = line;
                bool code = false;
                while (i < end) {
                    qsizetype tick = text.sliced(i, end - i).indexOf('`');
                    tick = tick < 0 ? end : i + tick;
                    if (!code) prose(i, tick, false);
                    while (tick < end && text[tick] == '`') ++tick;
                    code = !code;
                    i = tick;
                }
            }
            line = end;
        }
    }

    // One run of characters between separators ("word", "word,", "example.com", "caf&eacute;").
    void token(qsizetype a, qsizetype b, bool entities) {
        const QByteArrayView t = text.sliced(a, b - a);
        // Addresses: nothing of them is prose.
        if (t.contains("://") || t.contains('@') || startsWithNoCase(t, 0, "www.")) return;
        qsizetype entityEnd = -1;
        qsizetype i = a;
        while (i < b) {
            Char c = charAt(text, i);
            if (entities && c.cp == '&') {
                qsizetype e = i + 1;
                while (e < b && e - i < 40 && (isAsciiLetter(text[e]) || text[e] == '#' || (text[e] >= '0' && text[e] <= '9'))) ++e;
                if (e < b && text[e] == ';' && e > i + 1) {
                    entityEnd = e + 1;
                    i = e + 1;
                    continue;
                }
            }
            if (!isLetter(c.cp)) {
                i += c.len;
                continue;
            }
            // A word: letters, with apostrophes between letters.
            const qsizetype start = i;
            qsizetype end = i;
            int letters = 0;
            bool upperAfterLower = false, sawLower = false;
            while (end < b) {
                const Char d = charAt(text, end);
                if (isLetter(d.cp)) {
                    if (QChar::isLower(d.cp)) sawLower = true;
                    else if (QChar::isUpper(d.cp) && sawLower) upperAfterLower = true;
                    ++letters;
                    end += d.len;
                    continue;
                }
                if (isApostrophe(d.cp) && end + d.len < b && isLetter(charAt(text, end + d.len).cp)) {
                    end += d.len;
                    continue;
                }
                break;
            }
            i = end;
            if (base + start < from || base + start >= to) continue;
            if (letters < 2 || letters > kLongestWord || upperAfterLower || start == entityEnd) continue;
            if (touchesCode(start, end, a, b)) continue;
            out->push_back({base + start, base + end});
        }
    }

    // Whether the characters around a word make it part of code, a name or a number.
    bool touchesCode(qsizetype start, qsizetype end, qsizetype a, qsizetype b) const {
        if (start > a) {
            qsizetype p = start - 1;
            while (p > a && utf8::isContinuation(static_cast<unsigned char>(text[p]))) --p;
            const char32_t before = charAt(text, p).cp;
            if (isCodeMark(before)) return true;
            // "example.com", "a::b": a dot or colon between two words.
            if ((before == '.' || before == ':') && p > a) {
                qsizetype q = p - 1;
                while (q > a && utf8::isContinuation(static_cast<unsigned char>(text[q]))) --q;
                const char32_t c = charAt(text, q).cp;
                if (isLetter(c) || isDigit(c)) return true;
            }
        }
        if (end < b) {
            const Char after = charAt(text, end);
            if (isCodeMark(after.cp)) return true;
            if ((after.cp == '.' || after.cp == ':') && end + 1 < b) {
                const char32_t c = charAt(text, end + 1).cp;
                if (isLetter(c) || isDigit(c)) return true;
            }
        }
        return false;
    }

    // Comments and strings of CSS or JavaScript in [a, b).
    void code(qsizetype a, qsizetype b) {
        qsizetype i = a;
        const qsizetype stop = rel(to);
        while (i < b && i < stop) {
            const char c = text[i];
            if (c == '/' && i + 1 < b && text[i + 1] == '*') {
                qsizetype e = QByteArrayView(text.sliced(i + 2, b - i - 2)).indexOf("*/");
                e = e < 0 ? b : i + 2 + e;
                prose(i + 2, e, false);
                i = std::min(b, e + 2);
            } else if (c == '/' && i + 1 < b && text[i + 1] == '/') {
                qsizetype e = i + 2;
                while (e < b && text[e] != '\n' && text[e] != '\r') ++e;
                prose(i + 2, e, false);
                i = e;
            } else if (c == '"' || c == '\'' || c == '`') {
                qsizetype e = i + 1;
                while (e < b && text[e] != c && (c == '`' || (text[e] != '\n' && text[e] != '\r'))) e += text[e] == '\\' ? 2 : 1;
                e = std::min(e, b);
                prose(i + 1, e, false);
                i = e + 1;
            } else {
                ++i;
            }
        }
    }
};

// One attribute of a tag: its name in lower case and where its value lies.
struct Attribute {
    QByteArray name;
    qsizetype from = 0, to = 0;
};

// Reads the tag whose name starts at i (after '<'): its name in lower case, its attributes, and
// where it ends (after its '>', or the text's end).
qsizetype readTag(QByteArrayView text, qsizetype i, QByteArray& name, std::vector<Attribute>& attrs) {
    const qsizetype n = text.size();
    name.clear();
    attrs.clear();
    while (i < n && !isBlank(text[i]) && text[i] != '>' && text[i] != '/') name += lower(text[i++]);
    while (i < n) {
        while (i < n && (isBlank(text[i]) || text[i] == '/')) ++i;
        if (i >= n) break;
        if (text[i] == '>') return i + 1;
        Attribute a;
        while (i < n && !isBlank(text[i]) && text[i] != '=' && text[i] != '>' && text[i] != '/')
            a.name += lower(text[i++]);
        if (a.name.isEmpty()) {   // a stray '=' or quote
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < n && isBlank(text[j])) ++j;
        if (j < n && text[j] == '=') {
            i = j + 1;
            while (i < n && isBlank(text[i])) ++i;
            if (i < n && (text[i] == '"' || text[i] == '\'')) {
                const char q = text[i];
                const qsizetype e = text.sliced(i + 1).indexOf(q);
                a.from = i + 1;
                a.to = e < 0 ? n : i + 1 + e;
                i = std::min(n, a.to + 1);
            } else {
                a.from = i;
                while (i < n && !isBlank(text[i]) && text[i] != '>') ++i;
                a.to = i;
            }
        }
        attrs.push_back(std::move(a));
    }
    return n;
}

// Where the element's end tag "</name" starts from i on, or the text's end.
qsizetype endTag(QByteArrayView text, qsizetype i, const QByteArray& name) {
    const qsizetype n = text.size();
    for (;;) {
        const qsizetype lt = text.sliced(i).indexOf("</");
        if (lt < 0) return n;
        i += lt;
        if (startsWithNoCase(text, i + 2, name)) {
            const qsizetype after = i + 2 + name.size();
            if (after >= n || !isAsciiLetter(text[after])) return i;
        }
        i += 2;
    }
}

bool proseAttribute(const QByteArray& name) {
    return name == "alt" || name == "title" || name == "placeholder" || name == "aria-label";
}

void html(Reader& r, bool code) {
    const QByteArrayView t = r.text;
    const qsizetype n = t.size(), stop = r.rel(r.to);
    QByteArray tag;
    std::vector<Attribute> attrs;
    qsizetype i = 0;
    while (i < n && i < stop) {
        if (t[i] != '<') {
            qsizetype j = t.sliced(i).indexOf('<');
            j = j < 0 ? n : i + j;
            r.prose(i, j, true);
            i = j;
            continue;
        }
        if (startsWithNoCase(t, i, "<!--")) {
            const qsizetype e = t.sliced(i + 4).indexOf("-->");
            i = e < 0 ? n : i + 4 + e + 3;
        } else if (startsWithNoCase(t, i, "<?")) {
            const qsizetype e = t.sliced(i + 2).indexOf("?>");
            i = e < 0 ? n : i + 2 + e + 2;
        } else if (i + 1 < n && (t[i + 1] == '!' || t[i + 1] == '/')) {
            const qsizetype e = t.sliced(i + 1).indexOf('>');
            i = e < 0 ? n : i + 1 + e + 1;
        } else if (i + 1 < n && isAsciiLetter(t[i + 1])) {
            const qsizetype end = readTag(t, i + 1, tag, attrs);
            bool description = false;
            if (tag == "meta")
                for (const Attribute& a : attrs)
                    if (a.name == "name" && t.sliced(a.from, a.to - a.from).trimmed().compare("description", Qt::CaseInsensitive) == 0)
                        description = true;
            for (const Attribute& a : attrs)
                if (a.to > a.from && (proseAttribute(a.name) || (description && a.name == "content"))) r.prose(a.from, a.to, true);
            i = end;
            // Bodies that are code, not prose.
            if (tag == "script" || tag == "style" || tag == "code" || tag == "kbd" || tag == "samp") {
                const qsizetype body = endTag(t, i, tag);
                if (code && (tag == "script" || tag == "style")) r.code(i, body);
                i = body;
            }
        } else {
            // A '<' that starts no tag ("a < b") is text.
            qsizetype j = t.sliced(i + 1).indexOf('<');
            j = j < 0 ? n : i + 1 + j;
            r.prose(i, j, true);
            i = j;
        }
    }
}

} // namespace

Mode modeFor(syntax::Kind kind) {
    switch (kind) {
    case syntax::Kind::Plain: return Mode::Plain;
    case syntax::Kind::Markdown: return Mode::Markdown;
    case syntax::Kind::Html:
    case syntax::Kind::Php: return Mode::Html;
    case syntax::Kind::Css:
    case syntax::Kind::Scss:
    case syntax::Kind::Less:
    case syntax::Kind::JavaScript:
    case syntax::Kind::Java: return Mode::Code;
    default: return Mode::None;
    }
}

std::vector<Word> words(QByteArrayView text, qint64 textStart, qint64 from, qint64 to, Mode mode, bool code) {
    std::vector<Word> out;
    Reader r{text, textStart, from, to, &out};
    switch (mode) {
    case Mode::Plain: r.prose(0, text.size(), false); break;
    case Mode::Markdown: r.markdown(0, text.size()); break;
    case Mode::Html: html(r, code); break;
    case Mode::Code:
        if (code) r.code(0, text.size());
        break;
    case Mode::None: break;
    }
    // Attribute values are read at the tag's end; keep the words in the text's order.
    std::sort(out.begin(), out.end(), [](const Word& a, const Word& b) { return a.from < b.from; });
    return out;
}

QString pageLanguage(QByteArrayView head) {
    qsizetype i = 0;
    QByteArray tag;
    std::vector<Attribute> attrs;
    for (;;) {
        const qsizetype lt = head.sliced(i).indexOf('<');
        if (lt < 0) return {};
        i += lt;
        if (startsWithNoCase(head, i, "<!--")) {
            const qsizetype e = head.sliced(i).indexOf("-->");
            if (e < 0) return {};
            i += e + 3;
            continue;
        }
        if (!startsWithNoCase(head, i, "<html") || (i + 5 < head.size() && !isBlank(head[i + 5]) && head[i + 5] != '>')) {
            ++i;
            continue;
        }
        readTag(head, i + 1, tag, attrs);
        break;
    }
    for (const Attribute& a : attrs) {
        if (a.name != "lang" && a.name != "xml:lang") continue;
        const QList<QByteArray> parts = head.sliced(a.from, a.to - a.from).trimmed().toByteArray().replace('_', '-').split('-');
        const QByteArray& primary = parts.first();
        if (primary.size() < 2 || primary.size() > 3 || !std::all_of(primary.begin(), primary.end(), isAsciiLetter)) return {};
        QString name = QString::fromLatin1(primary).toLower();
        // The region: two letters or three digits ("zh-Hant-TW" gives "zh_TW").
        for (qsizetype k = 1; k < parts.size(); ++k) {
            const QByteArray& p = parts[k];
            const bool letters = p.size() == 2 && std::all_of(p.begin(), p.end(), isAsciiLetter);
            const bool digits = p.size() == 3 && std::all_of(p.begin(), p.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (letters || digits) return name + QLatin1Char('_') + QString::fromLatin1(p).toUpper();
        }
        return name;
    }
    return {};
}

QString chooseDictionary(const QString& page, const QString& chosen, const QString& locale, const QStringList& installed) {
    const auto language = [](const QString& name) { return name.section(QLatin1Char('_'), 0, 0); };
    const auto sameLanguage = [&](const QString& d, const QString& lang) { return !lang.isEmpty() && language(d) == lang; };
    if (!page.isEmpty()) {
        if (installed.contains(page)) return page;
        // Another region of the page's language: the user's, the locale's, else any.
        const QString lang = language(page);
        if (installed.contains(chosen) && sameLanguage(chosen, lang)) return chosen;
        if (installed.contains(locale) && sameLanguage(locale, lang)) return locale;
        for (const QString& d : installed)
            if (sameLanguage(d, lang)) return d;
    }
    if (installed.contains(chosen)) return chosen;
    if (installed.contains(locale)) return locale;
    for (const QString& d : installed)
        if (sameLanguage(d, language(locale))) return d;
    return installed.value(0);
}

namespace {
QStringList& testFolders() {
    static QStringList folders;
    return folders;
}
} // namespace

QStringList systemFolders() {
    if (!testFolders().isEmpty()) return testFolders();
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/share/myspell"),
            QStringLiteral("/usr/share/myspell/dicts")};
}

QStringList setFolders(const QStringList& folders) { return std::exchange(testFolders(), folders); }

QStringList installed(const QStringList& folders) {
    QStringList names;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& aff : dir.entryList({QStringLiteral("*.aff")}, QDir::Files | QDir::Readable)) {
            const QString name = aff.chopped(4);
            if (!names.contains(name) && QFileInfo(dir.filePath(name + QStringLiteral(".dic"))).isFile()) names << name;
        }
    }
    names.sort();
    return names;
}

QString folderOf(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders)
        if (QFileInfo(QDir(folder).filePath(name + QStringLiteral(".aff"))).isFile()) return folder;
    return {};
}

// ---- Dictionary

Dictionary::~Dictionary() = default;

namespace {
// Opens a dictionary file without waiting and checks it: a regular file of a sane size that starts
// as a dictionary's file does.
UniqueFd openChecked(const QString& path, bool dic, QString* why) {
    const auto fail = [&](const QString& reason) {
        if (why) *why = path + QStringLiteral(": ") + reason;
        return UniqueFd();
    };
    UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return fail(QCoreApplication::translate("Spelling", "not a file"));
    if (st.st_size == 0 || st.st_size > kMostDictionaryBytes) return fail(QCoreApplication::translate("Spelling", "not a dictionary (size)"));
    char head[4096];
    const ssize_t n = ::pread(fd.get(), head, sizeof head, 0);
    if (n <= 0) return fail(QCoreApplication::translate("Spelling", "cannot be read"));
    const QByteArrayView h(head, n);
    if (h.contains('\0')) return fail(QCoreApplication::translate("Spelling", "not a dictionary (binary)"));
    if (dic) {
        // The word list starts with its count.
        QByteArrayView first = h.startsWith("\xEF\xBB\xBF") ? h.sliced(3) : h;
        qsizetype k = 0;
        while (k < first.size() && (first[k] == ' ' || first[k] == '\t')) ++k;
        if (k >= first.size() || first[k] < '0' || first[k] > '9') return fail(QCoreApplication::translate("Spelling", "not a dictionary (no word count)"));
    }
    return fd;
}

// The name hunspell opens for a descriptor: the very file checked, whatever the name points at by
// then.
QByteArray nameOf(const UniqueFd& fd, const QString& path) {
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd.get());
    return ::access(proc.constData(), R_OK) == 0 ? proc : QFile::encodeName(path);
}
} // namespace

std::unique_ptr<Dictionary> Dictionary::load(const QString& folder, const QString& name, QString* why) {
    const QDir dir(folder);
    const UniqueFd aff = openChecked(dir.filePath(name + QStringLiteral(".aff")), false, why);
    if (!aff) return nullptr;
    const UniqueFd dic = openChecked(dir.filePath(name + QStringLiteral(".dic")), true, why);
    if (!dic) return nullptr;
    // Hunspell keeps tables of its own shared by every dictionary: one load at a time.
    static QMutex loading;
    const QMutexLocker lock(&loading);
    std::unique_ptr<Dictionary> d(new Dictionary);
    d->name_ = name;
    d->hunspell_ = std::make_unique<Hunspell>(nameOf(aff, dir.filePath(name + QStringLiteral(".aff"))).constData(),
                                              nameOf(dic, dir.filePath(name + QStringLiteral(".dic"))).constData());
    d->encoding_ = QByteArray::fromStdString(d->hunspell_->get_dict_encoding()).trimmed();
    const QByteArray e = d->encoding_.toUpper();
    if (e != "UTF-8" && e != "ISO8859-1" && !QStringEncoder(d->encoding_.constData()).isValid()) {
        if (why) *why = name + QStringLiteral(": unknown encoding ") + QString::fromLatin1(d->encoding_);
        return nullptr;
    }
    return d;
}

bool Dictionary::encode(const QString& word, std::string& out) const {
    const QByteArray e = encoding_.toUpper();
    if (e == "UTF-8") {
        out = word.toStdString();
        return true;
    }
    if (e == "ISO8859-1") {
        for (QChar c : word)
            if (c.unicode() > 0xFF) return false;
        out = word.toLatin1().toStdString();
        return true;
    }
    QStringEncoder enc(encoding_.constData());
    const QByteArray bytes = enc.encode(word);
    if (enc.hasError()) return false;
    out = bytes.toStdString();
    return true;
}

bool Dictionary::knows(const QString& spelt) {
    QString word = spelt;
    word.replace(QChar(0x2019), QLatin1Char('\''));
    if (accepted_.contains(word)) return true;
    const auto hit = known_.constFind(word);
    if (hit != known_.constEnd()) return *hit;
    std::string bytes;
    bool ok = encode(word, bytes) && hunspell_->spell(bytes);
    if (!ok) {
        // A word borrowed with its accents ("café", "naïve", "résumé") into a language whose
        // dictionary has it only without them.
        QString plain = word.normalized(QString::NormalizationForm_D);
        plain.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
        if (plain != word) ok = encode(plain, bytes) && hunspell_->spell(bytes);
    }
    if (known_.size() > 200000) known_.clear();   // a bound on what a session of odd words costs
    known_.insert(word, ok);
    return ok;
}

QStringList Dictionary::suggest(const QString& spelt, int most) {
    QString word = spelt;
    word.replace(QChar(0x2019), QLatin1Char('\''));
    std::string bytes;
    if (!encode(word, bytes)) return {};
    QStringList out;
    const QByteArray e = encoding_.toUpper();
    for (const std::string& s : hunspell_->suggest(bytes)) {
        if (out.size() >= most) break;
        const QByteArray b = QByteArray::fromStdString(s);
        QString text;
        if (e == "UTF-8") text = QString::fromUtf8(b);
        else if (e == "ISO8859-1") text = QString::fromLatin1(b);
        else text = QStringDecoder(encoding_.constData()).decode(b);
        if (!text.isEmpty() && !out.contains(text)) out << text;
    }
    return out;
}

void Dictionary::accept(const QString& word) {
    QString w = word;
    w.replace(QChar(0x2019), QLatin1Char('\''));
    accepted_.insert(w);
}

} // namespace spelling
