#include "documents/Syntax.h"

#include "documents/FileTypes.h"
#include "documents/HtmlKeywords.h"

#include <QFileInfo>
#include <QHash>
#include <QFont>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
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
} // namespace

Kind kindForPath(const QString& path) {
    if (path.isEmpty()) return Kind::Plain;
    // Every extension of the file-type table with its kind.
    static const QHash<QString, Kind> kinds = [] {
        QHash<QString, Kind> byExtension;
        for (const filetypes::FileType& type : filetypes::table())
            for (const QString& ext : filetypes::extensions(type)) byExtension.insert(ext, type.colouring);
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
    case Kind::Plain: break;
    }
    return QStringLiteral("plain");
}

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
    case Kind::Html: lexer = new HtmlLexer(parent); break;
    case Kind::Xml: lexer = new QsciLexerXML(parent); break;
    case Kind::Css: lexer = new QsciLexerCSS(parent); break;
    case Kind::Java: lexer = new QsciLexerJava(parent); break;
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
