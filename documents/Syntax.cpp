#include "documents/Syntax.h"

#include "documents/FileTypes.h"
#include "documents/HtmlKeywords.h"

#include <QFileInfo>
#include <QHash>
#include <QFont>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerjson.h>
#include <Qsci/qscilexermarkdown.h>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciscintillabase.h>

namespace syntax {
namespace {
qint64 g_limit = kDefaultColouringLimit;

// HTML as written today: HTML5, SVG and MathML names and today's JavaScript.
class HtmlLexer : public QsciLexerHTML {
public:
    using QsciLexerHTML::QsciLexerHTML;
    const char* keywords(int set) const override {
        if (set == 1) return htmlkeywords::htmlSet();
        if (set == 2) return htmlkeywords::javaScriptSet();
        return QsciLexerHTML::keywords(set);
    }
};

// JavaScript files with the keywords of <script> in a page.
class JavaScriptLexer : public QsciLexerJavaScript {
public:
    using QsciLexerJavaScript::QsciLexerJavaScript;
    const char* keywords(int set) const override {
        if (set == 1) return htmlkeywords::javaScriptSet();
        return QsciLexerJavaScript::keywords(set);
    }
};

// The files a web author opens that the file dialogs do not list by name. The dialogs' list stays
// as users know it; these are coloured all the same.
struct Extra {
    const char* extension;
    Kind kind;
};
constexpr Extra kExtras[] = {
    {"js", Kind::JavaScript},   {"mjs", Kind::JavaScript}, {"cjs", Kind::JavaScript},
    {"json", Kind::Json},       {"webmanifest", Kind::Json}, {"jsonld", Kind::Json},
    {"phtml", Kind::Php},       {"php3", Kind::Php},       {"php4", Kind::Php},
    {"php5", Kind::Php},        {"php7", Kind::Php},       {"php8", Kind::Php},
    {"phps", Kind::Php},        {"svg", Kind::Xml},        {"xsl", Kind::Xml},
    {"xslt", Kind::Xml},        {"xsd", Kind::Xml},        {"rss", Kind::Xml},
    {"atom", Kind::Xml},        {"md", Kind::Markdown},    {"markdown", Kind::Markdown},
    {"scss", Kind::Scss},       {"less", Kind::Less},
};
} // namespace

Kind kindForPath(const QString& path) {
    if (path.isEmpty()) return Kind::Plain;
    // Every extension of the file-type table with its kind.
    static const QHash<QString, Kind> kinds = [] {
        QHash<QString, Kind> byExtension;
        for (const filetypes::FileType& type : filetypes::table())
            for (const QString& ext : filetypes::extensions(type)) byExtension.insert(ext, type.colouring);
        for (const Extra& extra : kExtras)
            if (!byExtension.contains(QLatin1String(extra.extension)))
                byExtension.insert(QLatin1String(extra.extension), extra.kind);
        return byExtension;
    }();
    return kinds.value(QFileInfo(path).suffix().toLower(), Kind::Plain);
}

QString kindName(Kind kind) {
    switch (kind) {
    case Kind::Html: return QStringLiteral("html");
    case Kind::Xml: return QStringLiteral("xml");
    case Kind::Css: return QStringLiteral("css");
    case Kind::Java: return QStringLiteral("java");
    case Kind::JavaScript: return QStringLiteral("javascript");
    case Kind::Json: return QStringLiteral("json");
    case Kind::Php: return QStringLiteral("php");
    case Kind::Markdown: return QStringLiteral("markdown");
    case Kind::Scss: return QStringLiteral("scss");
    case Kind::Less: return QStringLiteral("less");
    case Kind::Plain: break;
    }
    return QStringLiteral("plain");
}

bool folds(Kind kind) { return kind != Kind::Plain && kind != Kind::Markdown; }

qint64 colouringLimit() { return g_limit; }

qint64 setColouringLimit(qint64 bytes) {
    const qint64 previous = g_limit;
    g_limit = bytes;
    return previous;
}

QsciLexer* makeLexer(Kind kind, const QFont& font, QObject* parent) {
    QsciLexer* lexer = nullptr;
    switch (kind) {
    case Kind::Plain: return nullptr;
    case Kind::Html:
    case Kind::Php: lexer = new HtmlLexer(parent); break;
    case Kind::Xml: lexer = new QsciLexerXML(parent); break;
    case Kind::Css:
    case Kind::Scss:
    case Kind::Less: {
        auto* css = new QsciLexerCSS(parent);
        css->setSCSSLanguage(kind == Kind::Scss);
        css->setLessLanguage(kind == Kind::Less);
        lexer = css;
        break;
    }
    case Kind::Java: lexer = new QsciLexerJava(parent); break;
    case Kind::JavaScript: lexer = new JavaScriptLexer(parent); break;
    case Kind::Json: lexer = new QsciLexerJSON(parent); break;
    case Kind::Markdown: lexer = new QsciLexerMarkdown(parent); break;
    }
    // The document keeps its own fixed-width font in every style: colouring must not move a single
    // character on the screen. Bold and italic styles stay bold and italic.
    lexer->setDefaultFont(font);
    for (int style = 0; style <= QsciScintillaBase::STYLE_MAX; ++style) {
        if (lexer->description(style).isEmpty()) continue;
        const QFont own = lexer->defaultFont(style);
        QFont f = font;
        f.setBold(own.bold());
        f.setItalic(own.italic());
        lexer->setFont(f, style);
    }
    lexer->setFont(font, QsciScintillaBase::STYLE_DEFAULT);
    return lexer;
}

} // namespace syntax
