#include "documents/PageRestart.h"

#include <cstring>

namespace documents {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool at(QByteArrayView s, qint64 i, const char* word) {
    const qint64 n = qint64(std::strlen(word));
    if (i + n > s.size()) return false;
    for (qint64 k = 0; k < n; ++k)
        if (lower(s[i + k]) != word[k]) return false;
    return true;
}

// A tag name ends at a blank, '>' or '/'.
bool tagNamed(QByteArrayView s, qint64 i, const char* name) {
    const qint64 n = qint64(std::strlen(name));
    if (!at(s, i, name)) return false;
    if (i + n >= s.size()) return true;
    const char c = s[i + n];
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

enum class In { Text, Tag, Comment, Script, Style, Instruction, Asp, Cdata };

} // namespace

qint64 restartPoint(QByteArrayView s, qint64 textStart) {
    In in = In::Text;
    In afterTag = In::Text;   // what a tag being read opens (a script, a style sheet)
    char quote = 0;           // inside a quoted value of a tag
    qint64 found = -1;
    const qint64 n = s.size();
    // The text's first line is not taken: what comes before it is not known.
    for (qint64 i = 0; i < n; ++i) {
        const char c = s[i];
        if (c == '\n' || c == '\r') {
            const bool crlf = c == '\r' && i + 1 < n && s[i + 1] == '\n';
            if (in == In::Text && !crlf) found = textStart + i + 1;
            continue;
        }
        switch (in) {
        case In::Text:
            if (c == '<') {
                if (at(s, i, "<!--")) in = In::Comment, i += 3;
                else if (at(s, i, "<![cdata[")) in = In::Cdata, i += 8;
                else if (at(s, i, "<?")) in = In::Instruction, ++i;
                else if (at(s, i, "<%")) in = In::Asp, ++i;
                else if (tagNamed(s, i + 1, "script")) in = In::Tag, afterTag = In::Script;
                else if (tagNamed(s, i + 1, "style")) in = In::Tag, afterTag = In::Style;
                else if (tagNamed(s, i + 1, "/script") || tagNamed(s, i + 1, "/style")) in = In::Tag, afterTag = In::Text, found = -1;
                else in = In::Tag, afterTag = In::Text;
            } else if (at(s, i, "-->") || at(s, i, "?>") || at(s, i, "%>") || at(s, i, "]]>")) {
                found = -1;   // the text began inside one of them
            }
            break;
        case In::Tag:
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                in = afterTag;
            }
            break;
        case In::Comment:
            if (at(s, i, "-->")) in = In::Text, i += 2;
            break;
        case In::Script:
            if (at(s, i, "</script")) in = In::Tag, afterTag = In::Text;
            break;
        case In::Style:
            if (at(s, i, "</style")) in = In::Tag, afterTag = In::Text;
            break;
        case In::Instruction:
            if (at(s, i, "?>")) in = In::Text, ++i;
            break;
        case In::Asp:
            if (at(s, i, "%>")) in = In::Text, ++i;
            break;
        case In::Cdata:
            if (at(s, i, "]]>")) in = In::Text, i += 2;
            break;
        }
    }
    return found;
}

} // namespace documents
