#pragma once
// How a document window shows its text beyond the text itself: syntax colouring chosen from the
// window's file, a line-number margin, and the kinds of line end the text holds (for the status
// bar). None of it changes the text, the positions or the changed flag.
#include "documents/LineEnds.h"
#include "documents/Syntax.h"

#include <QFont>
#include <QObject>

class Form1;
class QsciLexer;
class RichTextBox;

class DocumentView : public QObject {
    Q_OBJECT
public:
    // Attaches itself to the window (as its child) and follows the window's file and text.
    explicit DocumentView(Form1& form);
    ~DocumentView() override;

    // The view of a window, or nullptr.
    static DocumentView* of(const Form1* form);

    // The colouring the window's file asks for, and whether it is in force (it is not on
    // documents larger than syntax::colouringLimit()).
    syntax::Kind syntaxKind() const { return kind_; }
    bool colouring() const { return lexer_ != nullptr; }
    QsciLexer* lexer() const { return lexer_; }

    lineends::Counts lineEndCounts() const { return counts_; }
    lineends::Kind lineEndKind() const { return lineends::kindOf(counts_); }

    // Width of the line-number margin in pixels.
    int lineNumberMarginWidth() const;

signals:
    // The text changed; the line-end counts are up to date.
    void textChanged();

private:
    void onFileAssigned(const QString& path);
    void onModified(int position, int modificationType, int length);
    void finishPending();
    void recount();
    void onChange();
    void applyColouring();
    void styleMargin();
    void updateMarginWidth();
    lineends::Counts countRange(qint64 from, qint64 to) const;

    RichTextBox& rtb_;
    QFont font_;
    syntax::Kind kind_ = syntax::Kind::Plain;
    syntax::Kind applied_ = syntax::Kind::Plain;
    QsciLexer* lexer_ = nullptr;
    bool tooLarge_ = false;
    bool sizeCheckQueued_ = false;
    int marginDigits_ = 0;
    lineends::Counts counts_;
    // The change announced and not yet counted after.
    struct Pending {
        enum Kind { None, Insert, Delete } kind = None;
        qint64 position = 0;
        qint64 length = 0;
    } pending_;
};
