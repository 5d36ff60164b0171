// The recovery journal's reader on arbitrary bytes: no crash, no hang, no wrong text. The input is
// read twice: as a journal file as it stands, and as a recipe for a journal (a text and batches
// of edits) that is written, then cut and damaged at places the input chooses; the text read back
// must always be one the document really had, and the last one when nothing was cut.
#include "io/JournalFormat.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using io::journal::Edit;

class Bytes {
public:
    Bytes(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    bool empty() const { return n_ == 0; }
    unsigned next() {
        if (!n_) return 0;
        --n_;
        return *p_++;
    }
    unsigned next16() { return next() | next() << 8; }
    QByteArray take(std::size_t n) {
        n = std::min(n, n_);
        QByteArray out(reinterpret_cast<const char*>(p_), qsizetype(n));
        p_ += n;
        n_ -= n;
        return out;
    }

private:
    const std::uint8_t* p_;
    std::size_t n_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    io::journal::Limits limits;
    limits.maxText = 1 << 20;

    // (a) The input as a journal file.
    const io::journal::ReadResult raw = io::journal::read(input, limits);
    if (raw.ok()) {
        fuzz::check(raw.text.size() == raw.textLength && raw.goodBytes <= input.size(), "lengths", input);
        // What was read writes back and reads the same.
        const QByteArray again = io::journal::headerRecord(raw.header) +
                                 io::journal::textRecord(raw.text.constData(), raw.text.size()) +
                                 io::journal::baseRecord(raw.text.size(), raw.lastChange);
        const io::journal::ReadResult back = io::journal::read(again, limits);
        if (!back.ok() || back.text != raw.text) fuzz::fail("written back", input, back.text, raw.text);
    }

    // (b) The input as a recipe: a text, batches of edits, a cut and a damaged byte.
    Bytes in(data, size);
    const unsigned cutChoice = in.next16(), flipChoice = in.next16();
    QByteArray text = in.take(in.next());
    io::journal::Header header;
    header.caption = QString::fromUtf8(in.take(in.next() % 16));
    QByteArray journal = io::journal::headerRecord(header);
    for (qsizetype at = 0; at < text.size(); at += 5)
        journal += io::journal::textRecord(text.constData() + at, std::min<qsizetype>(5, text.size() - at));
    journal += io::journal::baseRecord(text.size(), 0);
    std::vector<QByteArray> states{text};
    std::vector<qint64> ends{journal.size()};
    while (!in.empty()) {
        std::vector<Edit> batch(in.next() % 4 + 1);
        for (Edit& e : batch) {
            e.position = text.isEmpty() ? 0 : in.next16() % (text.size() + 1);
            e.removed = in.next() % (text.size() - e.position + 1);
            e.inserted = in.take(in.next() % 8);
            text.replace(e.position, e.removed, e.inserted);
        }
        journal += io::journal::editsRecord(batch, qint64(states.size()));
        states.push_back(text);
        ends.push_back(journal.size());
    }
    const io::journal::ReadResult whole = io::journal::read(journal, limits);
    if (!whole.ok() || whole.text != states.back()) fuzz::fail("whole journal", input, whole.text, states.back());

    // Cut short, then one byte damaged after the text: the text of the last whole record before.
    const qint64 cut = ends.front() + qint64(cutChoice) % (journal.size() - ends.front() + 1);
    QByteArray torn = journal.left(cut);
    qint64 limit = cut;
    if (torn.size() > ends.front() && (flipChoice & 1)) {
        const qint64 at = ends.front() + qint64(flipChoice >> 1) % (torn.size() - ends.front());
        torn[at] = char(torn[at] ^ (1 + (flipChoice >> 9) % 255));
        limit = at;
    }
    std::size_t k = 0;
    while (k + 1 < ends.size() && ends[k + 1] <= limit) ++k;
    const io::journal::ReadResult r = io::journal::read(torn, limits);
    if (!r.ok() || r.text != states[k]) fuzz::fail("torn journal", input, r.text, states[k]);
    return 0;
}
