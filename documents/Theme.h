#pragma once
// The colours of a document window, taken from the application's palette: paper, text, margins,
// selection, the caret, matches, and every colouring style. A light palette keeps the colouring's
// own colours; a dark one gets them turned to light-on-dark, hue for hue, each kept readable on
// its paper.
#include <QColor>

class QPalette;
class QsciScintilla;

namespace theme {

struct Colours {
    bool dark = false;
    QColor text, paper;
    QColor marginText, marginPaper;
    QColor selectionText, selectionPaper;
    QColor caret, caretLine;
    QColor matchText, matchPaper;   // a brace or quote and its partner
    QColor unmatchedText;           // a brace without a partner
    QColor tagMatch;                // the box around a tag's name and its partner's
    QColor problem, warning;        // the squiggles and margin marks of a page's faults
    QColor misspelt;                // the squiggle under a word the dictionary does not know
};

// A dark palette: its base (the paper) is darker than its text.
bool isDark(const QPalette& palette);
Colours fromPalette(const QPalette& palette);

// WCAG contrast ratio of two colours, from 1 (none) to 21 (black on white).
double contrast(const QColor& a, const QColor& b);

// A colouring style's text and paper for these colours. 'lexerColour' is the style's colour as the
// colouring made it for black on white; 'lexerText' and 'lexerPaper' are the colouring's
// plain text and paper (the style that is just text takes the palette's text and paper).
QColor styleText(const QColor& lexerColour, const QColor& lexerText, const QColor& paper, const Colours& colours);
QColor stylePaper(const QColor& lexerColour, const QColor& lexerPaper, const Colours& colours);

// The fold marks of a control in these colours: boxes of the margin's paper drawn in its text colour.
void colourFoldMarks(QsciScintilla& control, const Colours& colours);

// The least contrast every style keeps against its paper.
constexpr double kMinContrast = 4.5;

} // namespace theme
