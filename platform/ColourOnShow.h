#pragma once
// Colouring that starts near what is shown. Scintilla colours a text from its start up to what is
// painted, and, while it waits for input, on from there in rounds of 20 ms: the end of a freshly
// opened 10 MB page waited for a second of colouring, and every key typed meanwhile for a round.
// Here, when what is shown lies far past the coloured part, colouring starts afresh at a line
// near it where the colouring's state is the default one (the view's restart rule finds it), and
// the text skipped is a hole: coloured, from its start, only when it comes into view. Nothing is
// coloured in the background, so the program is idle as soon as what is shown is coloured.
//
// Used on the GUI thread only, by the control that owns it.
#include <QtGlobal>

#include <functional>
#include <vector>

class QsciScintillaBase;

namespace tp {

class ColourOnShow {
public:
    explicit ColourOnShow(QsciScintillaBase& sci) : sci_(sci) {}

    // The last line start at or before 'near' where colouring may start afresh with the default
    // state, looking no further back than 'earliest'; -1 for none. Without a rule the control
    // colours as Scintilla does.
    std::function<qint64(qint64 near, qint64 earliest)> restartRule;

    // Before a paint: colours what will be shown, from a restart point when the coloured part
    // ends far before it, and the parts of holes that come into view.
    void beforePaint();
    // The text changed, or its colouring was dropped (a new lexer, a new text): holes past where
    // Scintilla now has its colours up to are no longer holes.
    void forgetPastColoured();
    void clear() { holes_.clear(); }
    // Colours the whole text (fold levels are known for coloured lines only).
    void colourAll();

    struct Hole {
        qint64 from = 0, to = 0;
    };
    const std::vector<Hole>& holes() const { return holes_; }

    // How much text is coloured from its true start rather than from a restart point: about 10 ms
    // of HTML colouring.
    static constexpr qint64 kReach = qint64(192) << 10;

private:
    long sci(unsigned int msg, unsigned long w = 0, long l = 0) const;
    qint64 lineStart(qint64 pos) const;
    // Colouring is to start afresh at 'at' (a line start): the state there is the default one.
    void restartAt(qint64 at);
    // Colours [from, to) of a hole, keeping what is coloured after the hole.
    void fill(std::size_t hole, qint64 from, qint64 to, bool afresh);

    QsciScintillaBase& sci_;
    std::vector<Hole> holes_;   // not coloured, or coloured from a state since changed; sorted
};

} // namespace tp
