#include "platform/ColourOnShow.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>

namespace tp {
namespace {
using Sci = QsciScintillaBase;
// How many lines back a coloured line ending in the default state is looked for, to take its line
// state (the page's script languages) to a restart point.
constexpr qint64 kStateLookBack = 200;
} // namespace

long ColourOnShow::sci(unsigned int msg, unsigned long w, long l) const { return sci_.SendScintilla(msg, w, l); }

qint64 ColourOnShow::lineStart(qint64 pos) const {
    return sci(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(sci(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos))));
}

void ColourOnShow::forgetPastColoured() {
    // Scintilla takes the colours back to a change; what lies after is coloured again when shown.
    const qint64 coloured = sci(Sci::SCI_GETENDSTYLED);
    while (!holes_.empty() && holes_.back().from >= coloured) holes_.pop_back();
    if (!holes_.empty()) holes_.back().to = std::min(holes_.back().to, coloured);
}

void ColourOnShow::restartAt(qint64 at) {
    const long line = sci(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(at));
    if (line > 0) {
        // The line state of the last line before that ends in the default state: the languages a
        // page's scripts are in live there, and they hold for the whole page.
        long state = 0;
        for (long l = line - 1; l >= 0 && l >= line - kStateLookBack; --l) {
            const long end = sci(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(l));
            const bool coloured = std::none_of(holes_.begin(), holes_.end(), [&](const Hole& h) { return end >= h.from && end < h.to; });
            if (coloured && end > 0 && sci(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(end - 1)) == 0) {
                state = sci(Sci::SCI_GETLINESTATE, static_cast<unsigned long>(l));
                break;
            }
        }
        sci(Sci::SCI_SETLINESTATE, static_cast<unsigned long>(line - 1), state);
        // The line end before it in the default style: the colouring starts from there.
        sci(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(at - 1), 0);
        sci(Sci::SCI_SETSTYLING, 1, 0);
    } else {
        sci(Sci::SCI_STARTSTYLING, 0, 0);
    }
}

void ColourOnShow::fill(std::size_t index, qint64 from, qint64 to, bool afresh) {
    const Hole hole = holes_[index];
    const qint64 coloured = sci(Sci::SCI_GETENDSTYLED);
    to = std::min(to, hole.to);
    if (afresh) restartAt(from);
    sci(Sci::SCI_COLOURISE, static_cast<unsigned long>(from), static_cast<long>(to));
    std::vector<Hole> left;
    if (from > hole.from) left.push_back({hole.from, from});
    if (to < hole.to) left.push_back({to, hole.to});
    holes_.erase(holes_.begin() + long(index));
    holes_.insert(holes_.begin() + long(index), left.begin(), left.end());
    // The colours after the hole were laid from the default state: they hold when the hole's
    // colouring ends in it, else they are laid again from there when shown.
    const bool holds = to < hole.to || sci(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(to - 1)) == 0;
    sci(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(holds ? coloured : to), 0);
    if (!holds) forgetPastColoured();
}

void ColourOnShow::beforePaint() {
    if (!restartRule) return;
    forgetPastColoured();
    const long firstShown = sci(Sci::SCI_GETFIRSTVISIBLELINE);
    const long first = sci(Sci::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(firstShown));
    const long last = sci(Sci::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(firstShown + sci(Sci::SCI_LINESONSCREEN) + 1));
    const qint64 from = sci(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
    const qint64 to = sci(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last));
    // Holes that come into view, last first (filling one splits it).
    for (std::size_t i = holes_.size(); i-- > 0;) {
        const Hole h = holes_[i];
        if (h.to <= from || h.from >= to) continue;
        if (from - h.from <= kReach) {
            fill(i, h.from, to, false);
            continue;
        }
        const qint64 restart = restartRule(from, h.from + kReach);
        if (restart > h.from) fill(i, restart, to, true);
        else fill(i, h.from, to, false);
    }
    const qint64 coloured = lineStart(sci(Sci::SCI_GETENDSTYLED));
    if (to <= coloured || from - coloured <= kReach) return;
    // What is shown lies far past the coloured part: colouring goes on from near it.
    const qint64 restart = restartRule(from, coloured + kReach);
    if (restart <= coloured) return;
    holes_.push_back({coloured, restart});
    restartAt(restart);
}

void ColourOnShow::colourAll() {
    sci(Sci::SCI_COLOURISE, 0, -1);
    holes_.clear();
}

} // namespace tp
