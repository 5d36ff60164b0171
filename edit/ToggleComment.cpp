#include "edit/ToggleComment.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "edit/EditCommands.h"
#include "platform/RichTextBox.h"

#include <algorithm>

namespace editcmd {
namespace {
using Sci = QsciScintillaBase;

// The HTML colouring's styles of script inside a page: JavaScript (in <script> and in <% %>) and
// PHP.
bool isScriptStyle(int style) {
    constexpr int kJavaScriptFirst = 40, kJavaScriptLast = 67;   // SCE_HJ_START .. SCE_HJA_REGEX
    constexpr int kPhpFirst = 118, kPhpLast = 127;                // SCE_HPHP_DEFAULT .. SCE_HPHP_OPERATOR
    constexpr int kPhpComplexVariable = 104;                      // SCE_HPHP_COMPLEX_VARIABLE
    return (style >= kJavaScriptFirst && style <= kJavaScriptLast) || (style >= kPhpFirst && style <= kPhpLast) ||
           style == kPhpComplexVariable;
}

// Where the last start tag of the element begins in 'text' against its last end tag: true when
// the text ends inside the element. Names are compared without regard to case.
bool endsInside(const QByteArray& lowered, const char* element) {
    const QByteArray open = QByteArray("<") + element;
    const QByteArray close = QByteArray("</") + element;
    qsizetype from = lowered.size();
    // A start tag's name ends with a blank, '>' or '/', not with more letters (<styles>).
    for (;;) {
        const qsizetype at = lowered.lastIndexOf(open, from - 1);
        if (at < 0) return false;
        const qsizetype after = at + open.size();
        const char next = after < lowered.size() ? lowered[after] : '>';
        if (next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\r' || next == '\n')
            return lowered.lastIndexOf(close) < at;
        if (at == 0) return false;
        from = at;
    }
}

struct Line {
    qint64 start = 0;        // first byte
    qint64 textStart = 0;    // first byte after the indentation
    qint64 textEnd = 0;      // the byte after the last one that is not blank
    qint64 end = 0;          // where the line end begins
    bool blank() const { return textStart == textEnd; }
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<Line> splitLines(QByteArrayView text) {
    std::vector<Line> lines;
    const qint64 n = text.size();
    qint64 start = 0;
    for (;;) {
        Line line;
        line.start = start;
        qint64 end = start;
        while (end < n && text[end] != '\n' && text[end] != '\r') ++end;
        line.end = end;
        line.textStart = start;
        while (line.textStart < end && isBlank(text[line.textStart])) ++line.textStart;
        line.textEnd = end;
        while (line.textEnd > line.textStart && isBlank(text[line.textEnd - 1])) --line.textEnd;
        lines.push_back(line);
        if (end >= n) break;
        start = end + (text[end] == '\r' && end + 1 < n && text[end + 1] == '\n' ? 2 : 1);
        if (start >= n) break;
    }
    return lines;
}

bool startsWithAt(QByteArrayView text, qint64 at, QByteArrayView what) {
    return at + what.size() <= text.size() && text.sliced(at, what.size()) == what;
}

std::vector<TextEdit> toggleLines(QByteArrayView text, const std::vector<Line>& lines) {
    const QByteArrayView mark("//");
    bool commented = true;
    qint64 column = -1;   // the least indentation of a line with text
    for (const Line& l : lines) {
        if (l.blank()) continue;
        commented = commented && startsWithAt(text, l.textStart, mark);
        column = column < 0 ? l.textStart - l.start : std::min(column, l.textStart - l.start);
    }
    std::vector<TextEdit> edits;
    for (const Line& l : lines) {
        if (l.blank()) continue;
        if (commented) {
            const qint64 after = l.textStart + mark.size();
            const bool space = after < l.end && text[after] == ' ';
            edits.push_back({l.textStart, mark.size() + (space ? 1 : 0), {}});
        } else {
            edits.push_back({l.start + column, 0, QByteArrayLiteral("// ")});
        }
    }
    return edits;
}

std::vector<TextEdit> toggleBlock(QByteArrayView text, const std::vector<Line>& lines, QByteArrayView open,
                                  QByteArrayView close) {
    const auto first = std::find_if(lines.begin(), lines.end(), [](const Line& l) { return !l.blank(); });
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const Line& l) { return !l.blank(); });
    const qint64 from = first->textStart, to = last->textEnd;
    const QByteArrayView body = text.sliced(from, to - from);
    // One comment from the first byte to the last: it opens there and first closes at the end.
    const bool commented = body.size() >= open.size() + close.size() && body.startsWith(open) &&
                           body.indexOf(close, open.size()) == body.size() - close.size();
    if (!commented)
        return {{from, 0, open.toByteArray() + ' '}, {to, 0, ' ' + close.toByteArray()}};
    qint64 innerFrom = from + open.size(), innerTo = to - close.size();
    if (innerFrom < innerTo && text[innerFrom] == ' ') ++innerFrom;
    if (innerTo > innerFrom && text[innerTo - 1] == ' ') --innerTo;
    return {{from, innerFrom - from, {}}, {innerTo, to - innerTo, {}}};
}

// How far back the text is read for the element the caret is in.
constexpr qint64 kLookBack = qint64(64) << 10;
// Up to this many edits are made one by one, so that the caret and the selection move with the
// text around them.
constexpr size_t kFewEdits = 256;

} // namespace

CommentForm commentFormAt(syntax::Kind kind, int style, QByteArrayView before) {
    switch (kind) {
    case syntax::Kind::Plain:
    case syntax::Kind::Json: return CommentForm::None;
    case syntax::Kind::Css: return CommentForm::Block;
    case syntax::Kind::Scss:
    case syntax::Kind::Less:
    case syntax::Kind::Java:
    case syntax::Kind::JavaScript: return CommentForm::Line;
    case syntax::Kind::Xml:
    case syntax::Kind::Markdown: return CommentForm::Markup;
    case syntax::Kind::Html:
    case syntax::Kind::Php: break;
    }
    if (isScriptStyle(style)) return CommentForm::Line;
    const QByteArray lowered = before.toByteArray().toLower();
    if (endsInside(lowered, "style")) return CommentForm::Block;
    // Without colouring, the text alone tells a script.
    if (style < 0 && endsInside(lowered, "script")) return CommentForm::Line;
    return CommentForm::Markup;
}

std::vector<TextEdit> toggleCommentEdits(QByteArrayView text, CommentForm form) {
    if (form == CommentForm::None) return {};
    const std::vector<Line> lines = splitLines(text);
    if (std::all_of(lines.begin(), lines.end(), [](const Line& l) { return l.blank(); })) return {};
    switch (form) {
    case CommentForm::Line: return toggleLines(text, lines);
    case CommentForm::Block: return toggleBlock(text, lines, "/*", "*/");
    case CommentForm::Markup: return toggleBlock(text, lines, "<!--", "-->");
    case CommentForm::None: break;
    }
    return {};
}

QByteArray applyEdits(QByteArrayView text, const std::vector<TextEdit>& edits) {
    QByteArray out;
    qint64 done = 0;
    for (const TextEdit& e : edits) {
        out += text.sliced(done, e.at - done);
        out += e.inserted;
        done = e.at + e.removed;
    }
    out += text.sliced(done);
    return out;
}

void ToggleComment(DocumentFrame& frame) {
    RichTextBox* rtb = activeEditor(frame);
    const DocumentView* view = DocumentView::of(frame.ActiveForm());
    if (!rtb || !view) return;
    const qint64 selStart = rtb->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const qint64 selEnd = rtb->SendScintilla(Sci::SCI_GETSELECTIONEND);
    const qint64 firstLine = rtb->lineOfByte(selStart);
    qint64 lastLine = rtb->lineOfByte(selEnd);
    if (lastLine > firstLine && rtb->lineStartByte(lastLine) == selEnd) --lastLine;
    const qint64 from = rtb->lineStartByte(firstLine);
    const QByteArray text = rtb->bytes(from, rtb->lineEndByte(lastLine) - from);

    // The language where the first line's text starts.
    qint64 at = from;
    while (at - from < text.size() && isBlank(text[at - from])) ++at;
    int style = -1;
    if (view->colouring()) {
        const qint64 styled = rtb->SendScintilla(Sci::SCI_GETENDSTYLED);
        if (styled <= at) rtb->SendScintilla(Sci::SCI_COLOURISE, static_cast<unsigned long>(styled), static_cast<long>(at + 1));
        style = static_cast<int>(rtb->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(at)));
    }
    const qint64 back = std::max<qint64>(0, at - kLookBack);
    const CommentForm form = commentFormAt(view->syntaxKind(), style, rtb->bytes(back, at - back));

    const std::vector<TextEdit> edits = toggleCommentEdits(text, form);
    if (edits.empty()) return;
    if (edits.size() > kFewEdits) {
        // Many lines: one replacement of them all (an edit a line takes seconds on a large
        // file), and the selection over the lines again.
        const QByteArray result = applyEdits(text, edits);
        rtb->editInOneStep([&] { rtb->replaceBytes(from, from + text.size(), result); });
        rtb->selectBytes(from, from + result.size());
        return;
    }
    rtb->editInOneStep([&] {
        // From the last to the first, so that each offset still holds when its turn comes.
        for (auto e = edits.rbegin(); e != edits.rend(); ++e) rtb->replaceBytes(from + e->at, from + e->at + e->removed, e->inserted);
    });
}

} // namespace editcmd
