#include "edit/HtmlCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QXmlStreamReader>

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace htmlcheck {
namespace {

// Tidy's warnings that are faults of the page as a browser reads it: those that break its structure
// are marked as errors, the rest as warnings.
struct Fault {
    std::string_view key;
    bool error;
};
constexpr Fault kFaults[] = {
    {"MISSING_ENDTAG_FOR", true},     {"MISSING_ENDTAG_BEFORE", true},  {"NON_MATCHING_ENDTAG", true},
    {"DISCARDING_UNEXPECTED", true},  {"MISSING_STARTTAG", true},       {"COERCE_TO_ENDTAG", true},
    {"UNEXPECTED_ENDTAG", true},      {"UNEXPECTED_ENDTAG_IN", true},   {"UNEXPECTED_ENDTAG_ERR", true},
    {"TAG_NOT_ALLOWED_IN", true},     {"UNEXPECTED_END_OF_FILE", true}, {"UNEXPECTED_END_OF_FILE_ATTR", true},
    {"UNEXPECTED_GT", true},          {"MISSING_QUOTEMARK", true},
    {"UNEXPECTED_QUOTEMARK", true},   {"UNKNOWN_ELEMENT", true},        {"DUPLICATE_FRAMESET", true},
    {"NESTED_EMPHASIS", false},       {"MISSING_ATTRIBUTE", false},     {"REPEATED_ATTRIBUTE", false},
    {"MISSING_ATTR_VALUE", false},    {"ANCHOR_NOT_UNIQUE", false},     {"UNKNOWN_ENTITY", false},
    {"ELEMENT_NOT_EMPTY", false},     {"MALFORMED_COMMENT", false},     {"UNKNOWN_ELEMENT_LOOKS_CUSTOM", false},
};

const Fault* faultOf(const char* key) {
    if (!key) return nullptr;
    const std::string_view k(key);
    for (const Fault& f : kFaults)
        if (k == f.key) return &f;
    return nullptr;
}

struct Collector {
    std::vector<problems::Report> reports;
    qint64 more = 0;
    bool all = false;
    // Elements Tidy opened again by itself after a block closed them (an inline element left open
    // across blocks), with where: the "missing </x>" at the same place is the same fault again.
    struct Reopened {
        std::string name;
        int line, column;
    };
    std::vector<Reopened> reopened;
};

// The element name in the first "<name>" or "</name>" of Tidy's English message.
std::string elementIn(const char* message) {
    if (!message) return {};
    const char* lt = std::strchr(message, '<');
    if (!lt) return {};
    const char* name = lt[1] == '/' ? lt + 2 : lt + 1;
    const char* gt = std::strchr(name, '>');
    return gt ? std::string(name, size_t(gt - name)) : std::string();
}

// Whether the report repeats one already made (see Collector::reopened).
bool cascade(Collector& c, std::string_view key, const char* message, int line, int column) {
    if (key == "INSERTING_TAG") {
        std::string name = elementIn(message);
        if (c.reopened.size() > 64) c.reopened.erase(c.reopened.begin());
        if (!name.empty()) c.reopened.push_back({std::move(name), line, column});
        return false;
    }
    if (key != "MISSING_ENDTAG_BEFORE") return false;
    const std::string name = elementIn(message);
    for (auto it = c.reopened.begin(); it != c.reopened.end(); ++it) {
        if (it->name == name && it->line == line && it->column == column) {
            c.reopened.erase(it);
            return true;
        }
    }
    return false;
}

Bool TIDY_CALL collect(TidyMessage message) {
    auto* c = static_cast<Collector*>(tidyGetAppData(tidyGetMessageDoc(message)));
    const int level = tidyGetMessageLevel(message);
    const char* key = tidyGetMessageKey(message);
    if (!c || !key) return no;
    // The English text, whatever the locale: it names the element.
    if (!c->all && cascade(*c, key, tidyGetMessageDefault(message), tidyGetMessageLine(message),
                            tidyGetMessageColumn(message))) return no;
    if (shown(key, level, c->all)) {
        if (c->reports.size() >= size_t(kMaxProblems)) {
            ++c->more;
        } else {
            const char* text = tidyGetMessage(message);
            const Fault* fault = faultOf(key);
            const bool error = level >= TidyError || (fault && fault->error);
            c->reports.push_back({tidyGetMessageLine(message), tidyGetMessageColumn(message),
                                  error ? problems::Severity::Error : problems::Severity::Warning,
                                  QString::fromUtf8(text ? text : "")});
        }
    }
    return no;   // nothing goes to Tidy's own output
}

struct TidyDocDeleter {
    void operator()(TidyDoc doc) const { tidyRelease(doc); }
};

} // namespace

bool shown(const char* key, int level, bool all) {
    // The summary lines and the dialogue about Tidy itself are not about the page.
    if (level >= TidyDialogueSummary || level == TidyConfig) return false;
    return all || level >= TidyError || faultOf(key);
}

namespace {

bool isNameByte(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == ':' || c == '_'; }

// Elements that never hold content, and those whose end tag a browser supplies: neither deepens
// the page.
bool neverDeepens(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr",
        "param", "keygen", "li", "p", "td", "th", "tr", "dt", "dd", "option", "optgroup", "thead", "tbody",
        "tfoot", "colgroup", "rt", "rp", "html", "head", "body", "caption"};
    for (std::string_view n : kNames)
        if (n == name) return true;
    return false;
}

} // namespace

qint64 mostOpen(const QByteArray& text) {
    const char* p = text.constData();
    const qint64 n = text.size();
    qint64 open = 0, most = 0;
    char name[16];
    for (qint64 i = 0; i < n; ++i) {
        if (p[i] != '<' || i + 1 >= n) continue;
        if (p[i + 1] == '!') {   // a comment or a declaration
            const qsizetype end = text.indexOf(p[i + 2] == '-' ? "-->" : ">", i + 2);
            if (end < 0) break;
            i = end;
            continue;
        }
        const bool endTag = p[i + 1] == '/';
        qint64 j = i + (endTag ? 2 : 1);
        int len = 0;
        while (j < n && isNameByte(p[j])) {
            if (len < int(sizeof name)) name[len] = char(std::tolower(static_cast<unsigned char>(p[j])));
            ++len;
            ++j;
        }
        if (len == 0 || len > int(sizeof name)) continue;
        const std::string_view element(name, size_t(len));
        if (neverDeepens(element)) continue;
        const qsizetype gt = text.indexOf('>', j);
        if (gt < 0) break;
        if (endTag) {
            open = std::max<qint64>(open - 1, 0);
        } else if (p[gt - 1] != '/') {
            if (element == "script" || element == "style") {   // raw text up to its end tag
                const qsizetype end = text.indexOf(element == "script" ? "</script" : "</style", gt);
                if (end < 0) break;
                i = end;
                continue;
            }
            most = std::max(most, ++open);
        }
        i = gt;
    }
    return most;
}

Result checkHtml(const QByteArray& text, bool all, bool asked) {
    QElapsedTimer clock;
    clock.start();
    if (!asked) {
        const qint64 open = mostOpen(text);
        if (open > kAutoOpenLimit) {
            Result r;
            r.leftOpen = open;
            r.elapsedMs = clock.elapsed();
            return r;
        }
    }
    Collector collector;
    collector.all = all;
    std::unique_ptr<std::remove_pointer_t<TidyDoc>, TidyDocDeleter> doc(tidyCreate());
    TidyDoc d = doc.get();
    tidySetAppData(d, &collector);
    // Reports come to the callback alone: nothing is printed, no document is written.
    TidyBuffer sink;
    tidyBufInit(&sink);
    tidySetErrorBuffer(d, &sink);
    tidySetMessageCallback(d, collect);
    tidyOptSetBool(d, TidyQuiet, yes);
    tidyOptSetBool(d, TidyShowWarnings, yes);
    tidyOptSetBool(d, TidyShowInfo, all ? yes : no);
    tidyOptSetInt(d, TidyShowErrors, 1000000);
    // A tab is one column, as the text counts it.
    tidyOptSetInt(d, TidyTabSize, 1);
    // Empty elements are kept (an icon's <span></span> is not worth a report) and custom elements
    // (<my-widget>) are elements.
    tidyOptSetBool(d, TidyDropEmptyElems, no);
    tidyOptSetInt(d, TidyUseCustomTags, TidyCustomInline);
    tidyOptSetInt(d, TidyAccessibilityCheckLevel, 0);
    tidySetCharEncoding(d, "utf8");
    // Tidy reads up to a NUL: one in the text ends what it sees (the rest is not a page anyway).
    const QByteArray terminated = text.isNull() ? QByteArray("") : text;
    tidyParseString(d, terminated.constData());
    tidyRunDiagnostics(d);
    tidyBufFree(&sink);
    Result r;
    r.more = collector.more;
    r.problems = problems::place(text.constData(), text.size(), std::move(collector.reports));
    r.elapsedMs = clock.elapsed();
    return r;
}

Result checkXml(const QByteArray& text) {
    QElapsedTimer clock;
    clock.start();
    Result r;
    // The control holds UTF-8 whatever the declaration says: read as decoded text, so that the
    // reader counts the characters the control holds.
    const QString decoded = QString::fromUtf8(text);
    QXmlStreamReader reader(decoded);
    while (!reader.atEnd()) reader.readNext();
    if (reader.hasError()) {
        // Where the reader stopped: its offset in UTF-16 code units of the decoded text.
        problems::Problem p;
        p.from = problems::byteOfUtf16(text.constData(), text.size(), reader.characterOffset());
        problems::spanAt(text.constData(), text.size(), p.from, p.to);
        p.line = int(std::max<qint64>(reader.lineNumber(), 1));
        p.column = int(std::max<qint64>(reader.columnNumber(), 0)) + 1;
        p.message = reader.errorString();
        r.problems.push_back(std::move(p));
    }
    r.elapsedMs = clock.elapsed();
    return r;
}

} // namespace htmlcheck
