#pragma once
// How a document window shows its text beyond the text itself: syntax colouring (chosen from the
// window's file, or by hand), colours that follow the application's palette, a line-number
// margin, a fold margin beside coloured text (folding hides lines, never changes them), the user's font size, tab width and zoom, word wrap, the highlighting of the brace,
// quote or tag pair at the caret, Enter keeping the indentation, and the kinds of line end the
// text holds (for the status bar) with the line end Enter types: a text read in sets it to its
// most frequent one. None of it changes the text behind the user's back.
#include "documents/EmbeddedColouring.h"
#include "documents/LineEnds.h"
#include "documents/Syntax.h"
#include "io/Preferences.h"

#include <QFont>
#include <QObject>
#include <QTimer>

class Form1;
class QsciLexer;
class RichTextBox;

class DocumentView : public QObject {
    Q_OBJECT
public:
    // The margin of the fold marks (0 holds the line numbers).
    static constexpr int kFoldMargin = 2;
    // Attaches itself to the window (as its child) and follows the window's file and text.
    explicit DocumentView(Form1& form);
    ~DocumentView() override;

    // The view of a window, or nullptr.
    static DocumentView* of(const Form1* form);

    // The colouring the window's file asks for (or the one chosen by hand), and whether it is in
    // force (it is not on documents larger than syntax::colouringLimit()).
    syntax::Kind syntaxKind() const { return kind_; }
    bool colouring() const { return lexer_ != nullptr; }
    QsciLexer* lexer() const { return lexer_; }
    // A colouring chosen by hand; it lasts until the window is given another file.
    void setSyntaxKind(syntax::Kind kind);

    // Whether the fold margin shows: the user's preference, on a coloured text whose colouring
    // finds blocks. Fold All folds every block at every level, the caret moving up to the line
    // that shows its block; Unfold All shows every line. A caret moved into folded lines (Find,
    // Go to Line, typing) unfolds what hides it.
    bool folding() const { return folding_; }
    void foldAll();
    void unfoldAll();

    // Word wrap, off by default. Lines longer than this never wrap: the control lays a line out
    // whole, and a wrapped line of many megabytes would take it seconds at every change.
    static constexpr qint64 kMaxWrapLineBytes = qint64(4) << 20;
    bool wordWrap() const { return wrap_; }
    // False when refused (a line is too long).
    bool setWordWrap(bool on);

    // The highlighting of the pair at the caret and Enter keeping the indentation; both on.
    void setMatching(bool on);
    void setAutoIndent(bool on) { autoIndent_ = on; }

    // Tab and Shift+Tab on the lines of the selection (Shift+Tab also on the caret's line alone):
    // one step of indentation added to or taken from each line, as one undoable change.
    void indentLines();
    void unindentLines();

    // The user's preferences (tab width, tabs or spaces, zoom): the same for every document window.
    static prefs::Editor preferences();
    // Applies them to every document window and keeps them in the user's configuration.
    static void setPreferences(const prefs::Editor& editor);

    lineends::Counts lineEndCounts() const { return counts_; }
    lineends::Kind lineEndKind() const { return lineends::kindOf(counts_); }
    // Makes every line end of the text the one of 'to', as one undoable change, and Enter type it.
    void convertLineEnds(lineends::Kind to);

    // Width of the line-number margin in pixels.
    int lineNumberMarginWidth() const;

signals:
    // The text changed; the line-end counts are up to date.
    void textChanged();
    // The colouring in force or the user's preferences changed.
    void settingsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void onFileAssigned(const QString& path);
    void onModified(qint64 position, int modificationType, qint64 length);
    void finishPending();
    void recount();
    void onChange();
    void applyColouring();
    void applyFolding();
    void revealCaret();
    void applyPreferences();
    void applyTheme();
    void updateMarginWidth();
    void updateMatches();
    // CSS and JavaScript inside a page, coloured on what is shown (documents/EmbeddedColouring.h).
    void colourEmbedded();
    void keepIndent(int ch);
    lineends::Counts countRange(qint64 from, qint64 to) const;

    RichTextBox& rtb_;
    QFont font_;
    syntax::Kind kind_ = syntax::Kind::Plain;
    syntax::Kind applied_ = syntax::Kind::Plain;
    QsciLexer* lexer_ = nullptr;
    bool tooLarge_ = false;
    bool sizeCheckQueued_ = false;
    bool themeQueued_ = false;
    qint64 embeddedFrom_ = 0, embeddedTo_ = 0;   // the range the embedded colours were last laid on
    std::vector<embedded::Span> embeddedSpans_;   // and the spans laid there
    bool embeddedStale_ = true;                   // the text changed since
    QTimer embeddedTimer_;                        // lays them anew once typing pauses
    bool wrap_ = false;
    bool folding_ = false;
    bool matching_ = true;
    bool autoIndent_ = true;
    int marginDigits_ = 0;
    // What is highlighted now: a brace pair and a tag pair (positions, -1 for none).
    qint64 braceShown_[2] = {-1, -1};
    qint64 tagShown_[4] = {-1, 0, -1, 0};
    lineends::Counts counts_;
    // The change announced and not yet counted after.
    struct Pending {
        enum Kind { None, Insert, Delete } kind = None;
        qint64 position = 0;
        qint64 length = 0;
    } pending_;
};
