#include "documents/Theme.h"

#include <QPalette>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cmath>

namespace theme {
namespace {

double channel(double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double luminance(const QColor& c) {
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor blend(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t), float(a.greenF() * (1 - t) + b.greenF() * t),
                            float(a.blueF() * (1 - t) + b.blueF() * t));
}

// Moves the colour's lightness away from the paper's until the two contrast enough.
QColor readableOn(QColor c, QColor paper) {
    paper = QColor(paper.rgb());
    const bool lighten = luminance(paper) < 0.18;
    c = QColor(c.rgb());   // as the control keeps it: eight bits a channel
    for (int step = 0; step < 40 && contrast(c, paper) < kMinContrast; ++step) {
        float h, s, l, a;
        c.getHslF(&h, &s, &l, &a);
        l = std::clamp(l + (lighten ? 0.025f : -0.025f), 0.0f, 1.0f);
        c = QColor(QColor::fromHslF(h, s, l, a).rgb());
    }
    return c;
}

} // namespace

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDark(const QPalette& palette) {
    return luminance(palette.color(QPalette::Active, QPalette::Base)) <
           luminance(palette.color(QPalette::Active, QPalette::Text));
}

Colours fromPalette(const QPalette& p) {
    Colours c;
    c.dark = isDark(p);
    c.text = p.color(QPalette::Active, QPalette::Text);
    c.paper = p.color(QPalette::Active, QPalette::Base);
    c.marginPaper = p.color(QPalette::Active, QPalette::Window);
    if (contrast(c.marginPaper, c.paper) < 1.05) c.marginPaper = blend(c.paper, c.text, 0.06);
    c.marginText = readableOn(blend(c.marginPaper, p.color(QPalette::Active, QPalette::WindowText), 0.55), c.marginPaper);
    c.selectionPaper = p.color(QPalette::Active, QPalette::Highlight);
    c.selectionText = p.color(QPalette::Active, QPalette::HighlightedText);
    c.caret = c.text;
    c.caretLine = blend(c.paper, c.text, 0.05);
    c.matchPaper = blend(c.paper, c.selectionPaper, 0.35);
    c.matchText = readableOn(c.text, c.matchPaper);
    c.unmatchedText = readableOn(c.dark ? QColor(0xff, 0x70, 0x70) : QColor(0xc0, 0x00, 0x00), c.paper);
    c.tagMatch = c.selectionPaper;
    // Red for what breaks the page, amber for what an author should look at; lighter on dark paper.
    c.problem = readableOn(c.dark ? QColor(0xff, 0x5c, 0x5c) : QColor(0xd0, 0x10, 0x10), c.paper);
    c.warning = c.dark ? QColor(0xf0, 0xb0, 0x30) : QColor(0xc8, 0x80, 0x00);
    // Its own hue, apart from the red of errors: a magenta.
    c.misspelt = readableOn(c.dark ? QColor(0xf0, 0x70, 0xd8) : QColor(0xc0, 0x10, 0x90), c.paper);
    return c;
}

QColor styleText(const QColor& lexerColour, const QColor& lexerText, const QColor& paper, const Colours& colours) {
    if (lexerColour == lexerText) return readableOn(colours.text, paper);
    QColor c = lexerColour;
    if (colours.dark) {
        // Hue kept, lightness turned over, a little less saturated: navy becomes light blue.
        float h, s, l, a;
        lexerColour.getHslF(&h, &s, &l, &a);
        c = QColor::fromHslF(h, s * 0.8f, std::clamp(1.0f - l, 0.62f, 0.86f), a);
    }
    return readableOn(c, paper);
}

QColor stylePaper(const QColor& lexerColour, const QColor& lexerPaper, const Colours& colours) {
    if (lexerColour == lexerPaper) return colours.paper;
    if (!colours.dark) return lexerColour;
    // A tint of the style's paper over the dark paper: a shade lighter, in the style's hue.
    float h, s, l, a;
    lexerColour.getHslF(&h, &s, &l, &a);
    float ph, ps, pl, pa;
    colours.paper.getHslF(&ph, &ps, &pl, &pa);
    const float lift = std::clamp(0.04f + (1.0f - l) * 0.25f, 0.03f, 0.12f);
    return QColor(QColor::fromHslF(h < 0 ? ph : h, s * 0.3f, std::min(pl + lift, 1.0f), a).rgb());
}

void colourFoldMarks(QsciScintilla& control, const Colours& colours) {
    control.setFoldMarginColors(colours.marginPaper, colours.marginPaper);
    for (int mark = int(QsciScintilla::SC_MARKNUM_FOLDEREND); mark <= int(QsciScintilla::SC_MARKNUM_FOLDEROPEN); ++mark) {
        control.SendScintilla(QsciScintilla::SCI_MARKERSETFORE, mark, colours.marginPaper);
        control.SendScintilla(QsciScintilla::SCI_MARKERSETBACK, mark, colours.marginText);
    }
}

} // namespace theme
