#include "platform/RichTextBox.h"

#include "platform/EditAccessibility.h"
#include "platform/Utf8.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QStringDecoder>
#include <QTextBoundaryFinder>
#include <QWheelEvent>
#include <Qsci/qscicommandset.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

namespace {
// The text of UTF-8 bytes, a U+FEFF at their start included (QString::fromUtf8 drops it).
QString textOf(const char* utf8, qint64 length) {
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decode(QByteArrayView(utf8, length));
}

QList<QKeySequence>& reservedKeys() {
    static QList<QKeySequence> keys;
    return keys;
}

// Scintilla's own bindings for the keys that the frame gives to its menu items: when an item is
// disabled its key falls through to the control, which must then do nothing surprising. A key
// stays bound where the control's own command is the one the menu item runs (Cut, Copy, Select
// All, Delete).
void dropCollidingBindings(QsciScintilla& editor) {
    const QsciCommand::Command sameAsMenu[] = {QsciCommand::SelectionCut, QsciCommand::SelectionCopy,
                                               QsciCommand::SelectAll, QsciCommand::Delete};
    for (QsciCommand* cmd : editor.standardCommands()->commands()) {
        if (std::find(std::begin(sameAsMenu), std::end(sameAsMenu), cmd->command()) != std::end(sameAsMenu))
            continue;
        for (const QKeySequence& reserved : reservedKeys()) {
            const int key = reserved[0].toCombined();
            if (cmd->key() == key) cmd->setKey(0);
            if (cmd->alternateKey() == key) cmd->setAlternateKey(0);
        }
    }
}
// Calls found(from, to) with the offsets of every line of more than 'longer' bytes in
// [text, text + n), its line end left out; lines end at CR or LF. Stops when found() returns false.
template <typename Found>
void forEachLongLine(const char* text, qint64 n, qint64 longer, Found found) {
    const char* p = text;
    const char* const end = text + n;
    while (end - p > longer) {
        const char* window = p + longer + 1;
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(window - p)));
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>((lf ? lf : window) - p)));
        if (const char* eol = cr ? cr : lf) {
            p = eol + 1;
            continue;
        }
        // A long line: its end is the next CR or LF, or the end of the text.
        const char* e = p;
        while (e < end && *e != '\n' && *e != '\r') {
            const char* nl = static_cast<const char*>(std::memchr(e, '\n', static_cast<size_t>(end - e)));
            const char* stop = nl ? nl : end;
            const char* c = static_cast<const char*>(std::memchr(e, '\r', static_cast<size_t>(stop - e)));
            e = c ? c : stop;
        }
        if (!found(p - text, e - text)) return;
        p = e;
    }
}

bool hasLongLine(const char* text, qint64 n, qint64 longer = RichTextBox::kLongLineBytes) {
    bool any = false;
    forEachLongLine(text, n, longer, [&](qint64, qint64) { return !(any = true); });
    return any;
}
} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QsciScintilla(parent) {
    tp::installEditAccessibility();
    setUtf8(true);
    sci(SCI_SETEOLMODE, SC_EOL_CRLF);          // Enter types the program's own line break
    sci(SCI_SETPASTECONVERTENDINGS, 1);        // pasted text takes the line end Enter types
    sci(SCI_USEPOPUP, SC_POPUP_NEVER);         // the window shows the Edit menu instead
    setContextMenuPolicy(Qt::PreventContextMenu);

    // The desktop's fixed-width font at 9 points: every column lines up, as in a plain-text file.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(9);
    setPlainLook(font, color(), paper());
    setMarginWidth(0, 0);
    setMarginWidth(1, 0);
    setMarginWidth(2, 0);
    setWrapMode(QsciScintilla::WrapNone);
    sci(SCI_SETSCROLLWIDTH, 1);            // the horizontal scroll bar follows the widest line seen
    sci(SCI_SETSCROLLWIDTHTRACKING, 1);
    // The lines on screen stay laid out between paints, and short pieces of text are measured
    // once (long lines are laid out from such pieces: showInPieces()).
    sci(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    // The measures are kept for a window once it is drawn (paintEvent()): 64 KB a window, which a
    // hundred windows opened behind the one in front would hold for nothing.
    sci(SCI_SETPOSITIONCACHE, kUnshownPositionCache);
    // Typing past the right edge scrolls a good stretch at once: after a change, the first paint of
    // the whole view compares every line on screen with the text, which costs on long lines.
    sci(SCI_SETXCARETPOLICY, CARET_SLOP | CARET_EVEN | CARET_JUMPS, 50);
    setEolVisibility(false);
    setAcceptDrops(true);
    dropCollidingBindings(*this);
    // The zoom is the user's, the same in every document (zoomRequested()): the control's own
    // zoom keys would zoom this one alone.
    for (QsciCommand* cmd : standardCommands()->commands()) {
        const auto c = cmd->command();
        if (c == QsciCommand::ZoomIn || c == QsciCommand::ZoomOut) {
            cmd->setKey(0);
            cmd->setAlternateKey(0);
        }
    }
    // Colour what is on screen first and the text before it while waiting for input, so that going
    // to the end of a long page does not wait for everything before it to be coloured. The text
    // after the screen is coloured when it is shown: colouring it in the background would colour
    // the rest of the page again after every key typed in its middle.
    sci(SCI_SETIDLESTYLING, SC_IDLESTYLING_TOVISIBLE);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int modificationType, const char*, int, int, int, int, int, int, int) {
                onModified(position, modificationType);
            });
}

void RichTextBox::onModified(int position, int modificationType) {
    if (modificationType & SC_MOD_BEFOREINSERT) asciiDirty_ = true;
    if (modificationType & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE | SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) {
        forgetMarksFrom(noticeSpan(position, 0).position);
        shortFrom_ = shortTo_ = 0;
    }
    if (modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) colourOnShow_.forgetPastColoured();
    if (loading_) return;
    if (quietEdits_ >= 0) {
        // Only the notices before each change come (see editQuietly()).
        if (modificationType & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)) ++quietEdits_;
        return;
    }
    if (modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) emit Change();
}

bool RichTextBox::asciiOnly() const {
    if (!asciiOnly_) return false;
    if (asciiDirty_) {
        // Look at both sides of the gap without moving it.
        const qint64 n = byteLength();
        const qint64 gap = std::clamp<qint64>(sci(SCI_GETGAPPOSITION), 0, n);
        asciiOnly_ = utf8::isAscii(rangePointer(0, gap), gap) && utf8::isAscii(rangePointer(gap, n - gap), n - gap);
        asciiDirty_ = false;
    }
    return asciiOnly_;
}

RichTextBox::Mark RichTextBox::markAtByte(qint64 bytePos) const {
    while (marks_.back().byte + kMarkStep <= bytePos) addMark();
    const auto after = std::upper_bound(marks_.begin(), marks_.end(), bytePos,
                                        [](qint64 pos, const Mark& m) { return pos < m.byte; });
    return *(after - 1);
}

RichTextBox::Mark RichTextBox::markAtUnits(qint64 units) const {
    const qint64 n = byteLength();
    while (marks_.back().units < units && marks_.back().byte + kMarkStep < n) addMark();
    const auto after = std::upper_bound(marks_.begin(), marks_.end(), units,
                                        [](qint64 u, const Mark& m) { return u < m.units; });
    return *(after - 1);
}

void RichTextBox::addMark() const {
    const Mark last = marks_.back();
    const qint64 n = byteLength();
    qint64 to = std::min(n, last.byte + kMarkStep);
    // Well-formed text: the next mark at the start of a character.
    if (!malformed_)
        while (to < n && utf8::isContinuation(static_cast<unsigned char>(sci(SCI_GETCHARAT, to)))) ++to;
    qint64 end = to;
    const qint64 units = unitsBetween(last.byte, to, &end);
    marks_.push_back({end, last.units + units});
}

void RichTextBox::forgetMarksFrom(qint64 bytePos) const {
    // A change can alter how the three bytes before it read.
    while (marks_.size() > 1 && marks_.back().byte + utf8::kMaxLength > bytePos) marks_.pop_back();
}

qint64 RichTextBox::unitsBetween(qint64 from, qint64 to, qint64* end) const {
    if (end) *end = std::max(from, to);
    if (to <= from) return 0;
    if (!malformed_) return utf8::utf16Units(rangePointer(from, to - from), to - from);
    const qint64 avail = std::min(byteLength(), to + utf8::kMaxLength) - from;
    qint64 stop = 0;
    const qint64 units = utf8::utf16UnitsStepping(rangePointer(from, avail), avail, to - from, stop);
    if (end) *end = from + stop;
    return units;
}

void RichTextBox::useDocumentWithoutStyles(qint64 reserveBytes) {
    // A fresh document for a large text: no style bytes beside the text. Its lines start at 64-bit
    // positions, so that it may hold or grow past 2 GB (4 bytes more a line).
    if (useFreshDocument(reserveBytes, SC_DOCUMENTOPTION_STYLES_NONE | SC_DOCUMENTOPTION_TEXT_LARGE)) stylesNone_ = true;
}

bool RichTextBox::useFreshDocument(qint64 reserveBytes, long options) {
    auto* doc = reinterpret_cast<void*>(sci(SCI_CREATEDOCUMENT, static_cast<unsigned long>(reserveBytes + 1), options));
    if (!doc) return false;
    roomClaimed_ = reserveBytes + 1;
    SendScintilla(SCI_SETDOCPOINTER, 0, doc);
    SendScintilla(SCI_RELEASEDOCUMENT, 0, doc);
    // Settings kept by the document rather than the view.
    sci(SCI_SETCODEPAGE, SC_CP_UTF8);
    sci(SCI_SETEOLMODE, SC_EOL_CRLF);
    marks_.assign(1, Mark{});
    return true;
}

qint64 RichTextBox::widenNotified(int cut, qint64 near, qint64 most) {
    constexpr qint64 kStep = qint64(1) << 32;
    qint64 best = qint64(quint32(cut));
    for (qint64 v = best + kStep; v <= most; v += kStep)
        if (std::abs(v - near) < std::abs(best - near)) best = v;
    return best;
}

RichTextBox::Span RichTextBox::noticeSpan(int position, int length) const {
    const qint64 n = byteLength();
    if (n < kWidePositions && position >= 0 && length >= 0) return {position, length};
    // Beyond 4 GB the values nearest the program's edit or the selection.
    const auto widen = widenNotified;
    const qint64 selFrom = sci(SCI_GETSELECTIONSTART);
    const qint64 at = widen(position, edit_.from >= 0 ? edit_.from : selFrom, n);
    const qint64 sizeNear = edit_.from >= 0 ? edit_.length : sci(SCI_GETSELECTIONEND) - selFrom;
    const qint64 size = widen(length, sizeNear, std::max(n, sizeNear));
    return {at, size};
}

QString RichTextBox::Text() const {
    const qint64 n = byteLength();
    if (n == 0) return QString();
    const char* p = rangePointer(0, n);
    return textOf(p, n);
}

void RichTextBox::SetText(const QString& text) {
    SetTextUtf8(text.toUtf8());
}

void RichTextBox::SetTextUtf8(QByteArrayView utf8) {
    const Loading load(*this, utf8.size());
    AppendUtf8(utf8.data(), utf8.size());
    if (!utf8.isValidUtf8()) markMalformed();
}

void RichTextBox::BeginLoad(qint64 reserveBytes) {
    // No change notices while loading: QScintilla's accessibility support would count the
    // characters up to every appended piece, which makes loading quadratic in the size.
    if (loading_++ == 0) {
        loadEventMask_ = sci(SCI_GETMODEVENTMASK);
        sci(SCI_SETMODEVENTMASK, 0);
    }
    sci(SCI_SETUNDOCOLLECTION, 0);
    RestartLoad();
    laterReserve_ = -1;
    if (reserveBytes >= kLargeTextBytes && !stylesNone_) largeReserve_ = reserveBytes;
    else if (reserveBytes > 0) claimRoom(reserveBytes + 1);
}

void RichTextBox::expectLoadLength(qint64 bytes) {
    if (largeReserve_ >= 0) largeReserve_ = std::max(largeReserve_, bytes);   // not made yet
    else if (bytes + 1 > roomClaimed_) claimRoom(bytes + 1);
}

void RichTextBox::RestartLoad() {
    sci(SCI_CLEARALL);
    shortFrom_ = shortTo_ = 0;
    asciiOnly_ = true;
    asciiDirty_ = false;
    malformed_ = false;
    marks_.assign(1, Mark{});
}

void RichTextBox::markMalformed() {
    malformed_ = true;
    marks_.assign(1, Mark{});
}

void RichTextBox::chooseLargeDocument(const char* firstPiece, qint64 length) {
    const qint64 reserve = largeReserve_;
    largeReserve_ = -1;
    // A large text goes without style bytes, which halves its memory, unless its first piece
    // shows long lines (a minified page, a bundle): those are laid out fast only with them.
    constexpr qint64 kLook = qint64(4) << 20;
    if (firstPiece && hasLongLine(firstPiece, std::min(length, kLook))) {
        if (reserve >= kWidePositions) useFreshDocument(reserve, SC_DOCUMENTOPTION_TEXT_LARGE);
        claimRoom(std::min(reserve, kLongTextFirstRoom) + 1);
        if (reserve > kLongTextFirstRoom) laterReserve_ = reserve;
        return;
    }
    useDocumentWithoutStyles(reserve);
    sci(SCI_SETUNDOCOLLECTION, 0);
}

void RichTextBox::AppendUtf8(const char* data, qint64 length) {
    // APPENDTEXT takes a length, so NUL characters pass like any other.
    constexpr qint64 kPiece = qint64(1) << 30;
    if (largeReserve_ >= 0) chooseLargeDocument(data, length);
    if (laterReserve_ >= 0 && byteLength() + length > kLongTextFirstRoom) {
        claimRoom(laterReserve_ + 1);
        laterReserve_ = -1;
    }
    if (asciiOnly_ && !utf8::isAscii(data, length)) asciiOnly_ = false;
    // Text past the room claimed (a file's decoded text a little longer than its bytes) gets room
    // for itself and a sixteenth more. Left to the control, the text and style buffers would each
    // grow by their whole size again: a 50 KB page of Windows-1252 took 120 KB of each.
    const qint64 need = byteLength() + length + 1;
    if (need > roomClaimed_) claimRoom(need + need / 16);
    while (length > 0) {
        const qint64 n = std::min(length, kPiece);
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(n), data);
        data += n;
        length -= n;
    }
}

void RichTextBox::claimRoom(qint64 bytes) {
    sci(SCI_ALLOCATE, static_cast<unsigned long>(bytes));
    roomClaimed_ = std::max(roomClaimed_, bytes);
}

void RichTextBox::EndLoad() {
    if (largeReserve_ >= 0) chooseLargeDocument(nullptr, 0);
    asciiDirty_ = false;   // what was appended is known
    sci(SCI_SETUNDOCOLLECTION, 1);
    sci(SCI_EMPTYUNDOBUFFER);
    sci(SCI_SETSAVEPOINT);
    if (--loading_ == 0) {
        // Before anything lays a line out (putting the caret at the start does).
        showAllLongLinesInPieces();
        sci(SCI_SETMODEVENTMASK, static_cast<unsigned long>(loadEventMask_));
    }
    sci(SCI_SETSEL, 0, 0);
    if (loading_ == 0) emit Change();
}

qint64 RichTextBox::byteLength() const { return sci(SCI_GETLENGTH); }

qint64 RichTextBox::TextLength() const { return indexFromByte(byteLength()); }

qint64 RichTextBox::byteFromIndex(qint64 index) const {
    if (index <= 0) return 0;
    const qint64 n = byteLength();
    if (asciiOnly()) return std::min(index, n);
    const Mark mark = markAtUnits(index);
    // The position is within a step of the mark: walk there character by character. Between the
    // two halves of a character outside the BMP it is that of the character holding it.
    const qint64 avail = std::min(n, mark.byte + kMarkStep + 2 * utf8::kMaxLength) - mark.byte;
    const auto* p = reinterpret_cast<const unsigned char*>(rangePointer(mark.byte, avail));
    qint64 units = mark.units;
    qint64 i = 0;
    while (i < avail && units < index) {
        int width = 1;
        const int len = malformed_ ? utf8::step(p + i, avail - i, width) : utf8::leadLength(p[i], width);
        if (units + width > index) break;
        units += width;
        i += len;
    }
    return std::min(n, mark.byte + i);
}

RichTextBox::LineColumn RichTextBox::lineColumnAt(qint64 bytePos) const {
    const long line = sci(SCI_LINEFROMPOSITION, static_cast<unsigned long>(bytePos));
    const long lineStart = sci(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return {line, unitsBetween(lineStart, bytePos)};
}

qint64 RichTextBox::indexFromByte(qint64 bytePos) const {
    bytePos = std::clamp<qint64>(bytePos, 0, byteLength());
    if (asciiOnly()) return bytePos;
    const Mark mark = markAtByte(bytePos);
    return mark.units + unitsBetween(mark.byte, bytePos);
}

const char* RichTextBox::rangePointer(qint64 bytePos, qint64 length) const {
    return static_cast<const char*>(reinterpret_cast<void*>(
        sci(SCI_GETRANGEPOINTER, static_cast<unsigned long>(bytePos), static_cast<long>(length))));
}

QByteArray RichTextBox::bytes(qint64 bytePos, qint64 length) const {
    if (length <= 0) return QByteArray();
    return QByteArray(rangePointer(bytePos, length), length);
}

void RichTextBox::selectBytes(qint64 from, qint64 to) { sci(SCI_SETSEL, from, to); }

qint64 RichTextBox::SelStart() const { return indexFromByte(sci(SCI_GETSELECTIONSTART)); }

void RichTextBox::SetSelStart(qint64 start) {
    if (start < 0) throw RtbError(380, "Invalid property value");
    const qint64 b = byteFromIndex(start);
    selectBytes(b, b);
}

bool RichTextBox::hasSelection() const {
    return sci(SCI_GETSELECTIONEND) > sci(SCI_GETSELECTIONSTART);
}

qint64 RichTextBox::SelLength() const {
    const long s = sci(SCI_GETSELECTIONSTART), e = sci(SCI_GETSELECTIONEND);
    if (e <= s) return 0;
    return indexFromByte(e) - indexFromByte(s);
}

void RichTextBox::SetSelLength(qint64 length) {
    if (length < 0) throw RtbError(380, "Invalid property value");
    const qint64 s = SelStart();
    selectBytes(byteFromIndex(s), byteFromIndex(s + length));
}

QString RichTextBox::SelText() const {
    const long s = sci(SCI_GETSELECTIONSTART), e = sci(SCI_GETSELECTIONEND);
    if (e <= s) return QString();
    return textOf(rangePointer(s, e - s), e - s);
}

void RichTextBox::SetSelText(const QString& text) { SetSelUtf8(text.toUtf8()); }

void RichTextBox::SetSelUtf8(QByteArrayView utf8) {
    const long s = sci(SCI_GETSELECTIONSTART), e = sci(SCI_GETSELECTIONEND);
    editQuietly([&] {
        sci(SCI_BEGINUNDOACTION);
        sci(SCI_SETTARGETRANGE, s, e);
        // REPLACETARGET with a length: NUL characters are written like any other.
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.isEmpty() ? "" : utf8.data());
        sci(SCI_ENDUNDOACTION);
    });
    const long caret = s + utf8.size();
    sci(SCI_SETSEL, caret, caret);
}

void RichTextBox::editInOneStep(const std::function<void()>& edits) {
    editQuietly([&] {
        sci(SCI_BEGINUNDOACTION);
        edits();
        sci(SCI_ENDUNDOACTION);
    });
}

void RichTextBox::replaceBytes(qint64 from, qint64 to, QByteArrayView utf8) {
    sci(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), long(to));
    // The notices of the change tell its place (noticeSpan()); the length told is that of the
    // deletion, then of the insertion.
    edit_ = {from, to - from};
    // The control asserts a text pointer even for an empty replacement.
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.isNull() ? "" : utf8.data());
    edit_ = {-1, 0};
}

void RichTextBox::reserveBytes(qint64 bytes) {
    if (bytes > byteLength()) claimRoom(bytes);
}

qint64 RichTextBox::lineCount() const { return sci(SCI_GETLINECOUNT); }
qint64 RichTextBox::lineOfByte(qint64 bytePos) const { return sci(SCI_LINEFROMPOSITION, static_cast<unsigned long>(bytePos)); }
qint64 RichTextBox::lineStartByte(qint64 line) const { return sci(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)); }
qint64 RichTextBox::lineEndByte(qint64 line) const { return sci(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line)); }

void RichTextBox::showCaret() {
    sci(SCI_ENSUREVISIBLEENFORCEPOLICY, static_cast<unsigned long>(lineOfByte(sci(SCI_GETCURRENTPOS))));
    sci(SCI_SCROLLCARET);
}

void RichTextBox::editQuietly(const std::function<void()>& edit) {
    if (quietEdits_ >= 0 || loading_ || tp::assistiveTechnologyActive()) {
        edit();   // counted by the enclosing call, ignored by the load, or told to the screen reader
        return;
    }
    // The notice after a change makes QScintilla count every character up to the change for its
    // accessibility support, a cost that grows with the document. Typed keys and program edits
    // therefore run with only the notices before each change, and raise Change once, when the
    // edit is complete (typing over a selection is one change).
    const long mask = sci(SCI_GETMODEVENTMASK);
    const long lines = sci(SCI_GETLINECOUNT);
    quietEdits_ = 0;
    sci(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    edit();
    sci(SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
    const int edits = quietEdits_;
    quietEdits_ = -1;
    if (edits == 0) return;
    emit Change();
    emit textChanged();
    if (sci(SCI_GETLINECOUNT) != lines) emit linesChanged();
}

bool RichTextBox::hasLineLongerThan(qint64 bytes) const {
    const qint64 n = byteLength();
    // Both sides of the gap, without moving it; a line across the gap is measured whole.
    const qint64 gap = std::clamp<qint64>(sci(SCI_GETGAPPOSITION), 0, n);
    if (hasLongLine(rangePointer(0, gap), gap, bytes) || hasLongLine(rangePointer(gap, n - gap), n - gap, bytes))
        return true;
    const long line = sci(SCI_LINEFROMPOSITION, gap);
    return sci(SCI_GETLINEENDPOSITION, line) - sci(SCI_POSITIONFROMLINE, line) > bytes;
}

void RichTextBox::recolor(int start, int end) {
    if (start == 0 && end == -1) return;
    QsciScintilla::recolor(start, end);
}

void RichTextBox::setReservedShortcuts(const QList<QKeySequence>& keys) { reservedKeys() = keys; }

bool RichTextBox::event(QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = ke->modifiers() & ~Qt::KeypadModifier;
        if ((ke->key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
            (ke->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
            const long caret = sci(SCI_GETCURRENTPOS);
            const QPoint below(int(sci(SCI_POINTXFROMPOSITION, 0, caret)),
                               int(sci(SCI_POINTYFROMPOSITION, 0, caret) +
                                   sci(SCI_TEXTHEIGHT, static_cast<unsigned long>(sci(SCI_LINEFROMPOSITION, caret)))));
            // A caret scrolled out of sight: the menu shows at the control's top left.
            emit menuKey(viewport()->mapToGlobal(viewport()->rect().contains(below) ? below : QPoint(0, 0)));
            e->accept();
            return true;
        }
    }
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::InputMethod) {
        bool handled = false;
        editQuietly([&] { handled = QsciScintilla::event(e); });
        return handled;
    }
    if (e->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(e);
        // The keypad's Del is Del too, as the shortcut machinery itself sees it.
        const QKeySequence pressed(
            QKeyCombination(ke->modifiers() & ~Qt::KeypadModifier, Qt::Key(ke->key())));
        if (reservedKeys().contains(pressed)) {
            // Leave the key to the menu: if its item is disabled, the key comes back as a key press.
            return QAbstractScrollArea::event(e);
        }
    }
    return QsciScintilla::event(e);
}

void RichTextBox::setPlainLook(const QFont& font, const QColor& text, const QColor& paper) {
    setFont(font);
    setColor(text);
    setPaper(paper);
    // The twin of style 0 that long lines alternate with (showInPieces()).
    SendScintilla(SCI_STYLESETFONT, 1, font.family().toLatin1().constData());
    sci(SCI_STYLESETSIZEFRACTIONAL, 1, sci(SCI_STYLEGETSIZEFRACTIONAL, 0));
    sci(SCI_STYLESETWEIGHT, 1, sci(SCI_STYLEGETWEIGHT, 0));
    sci(SCI_STYLESETITALIC, 1, sci(SCI_STYLEGETITALIC, 0));
    sci(SCI_STYLESETFORE, 1, sci(SCI_STYLEGETFORE, 0));
    sci(SCI_STYLESETBACK, 1, sci(SCI_STYLEGETBACK, 0));
}

// Scintilla lays a line out whole before it shows any of it, measuring its text in pieces of one
// style. A plain line is one piece of one style, measured a hundred characters at a time by the
// font machinery: about a second per megabyte. Pieces of fewer than 30 bytes are measured once and
// kept, so a long line whose characters alternate between two styles that look the same is laid
// out from kept measures, some thirty times faster. Plain ASCII goes in pieces of two characters
// (half the pieces to lay out and draw; the pairs of ASCII characters fit the kept measures),
// other text in pieces of one character, but never apart from what is drawn as one (see
// showInPieces()). Only where the text has style bytes; under a lexer only the lines it leaves
// plain (kUncolouredLineBytes), in two styles of their own.
bool RichTextBox::piecesApply() const { return !stylesNone_ && !loading_; }

qint64 RichTextBox::longLineBytes() const { return lexer() ? kUncolouredLineBytes : kLongLineBytes; }
int RichTextBox::plainStyle() const { return lexer() ? kPlainStyle : 0; }
int RichTextBox::twinStyle() const { return lexer() ? kPlainTwinStyle : 1; }

bool RichTextBox::lineUncoloured(qint64 line) const {
    return lexer() && lineEndByte(line) - lineStartByte(line) > kUncolouredLineBytes;
}

// Under a lexer, the two styles of plain long lines take the look the lexer gives text outside
// any token (its default style), as it stands now: the theme may have changed it.
void RichTextBox::matchPlainStyles() {
    if (!lexer()) return;
    for (const unsigned long s : {0UL + kPlainStyle, 0UL + kPlainTwinStyle}) {
        const unsigned long d = STYLE_DEFAULT;
        for (const auto& [get, set] : {std::pair{SCI_STYLEGETFORE, SCI_STYLESETFORE}, std::pair{SCI_STYLEGETBACK, SCI_STYLESETBACK},
                                      std::pair{SCI_STYLEGETSIZEFRACTIONAL, SCI_STYLESETSIZEFRACTIONAL},
                                      std::pair{SCI_STYLEGETWEIGHT, SCI_STYLESETWEIGHT},
                                      std::pair{SCI_STYLEGETITALIC, SCI_STYLESETITALIC}}) {
            // Only a change is set: every setting redraws the window.
            const long want = sci(get, d);
            if (sci(get, s) != want) sci(set, s, want);
        }
        char now[256] = {}, want[256] = {};
        SendScintilla(SCI_STYLEGETFONT, d, want);
        SendScintilla(SCI_STYLEGETFONT, s, now);
        if (std::strcmp(now, want) != 0) SendScintilla(SCI_STYLESETFONT, s, want);
    }
}

namespace {
// Whether the character that starts at p is written right to left (Hebrew, Arabic, Syriac,
// Thaana, N'Ko and their presentation forms, the right-to-left marks and embeddings), by its first
// bytes.
bool rightToLeft(const unsigned char* p, qint64 avail) {
    const unsigned char b0 = p[0];
    if (b0 >= 0xD6 && b0 <= 0xDF) return true;   // U+0580 to U+07FF
    if (avail < 3) return false;
    const unsigned char b1 = p[1], b2 = p[2];
    if (b0 == 0xE0) return b1 >= 0xA0 && b1 <= 0xA3;   // U+0800 to U+08FF
    if (b0 == 0xEF) return b1 >= 0xAC && b1 <= 0xBB;   // U+FB00 to U+FEFF
    if (b0 == 0xE2) return (b1 == 0x80 && (b2 == 0x8F || b2 == 0xAB || b2 == 0xAE)) || (b1 == 0x81 && b2 == 0xA7);
    if (b0 == 0xF0) return (b1 == 0x90 || b1 == 0x9E) && b2 >= 0xA0;   // U+10800 to U+10FFF, U+1E800 to U+1EFFF
    return false;
}

bool asciiLetterOrDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}
bool asciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// Whether right-to-left text follows p[j] after no more than spaces, digits and punctuation.
bool rightToLeftAhead(const unsigned char* p, qint64 j, qint64 n) {
    for (const qint64 stop = std::min(n, j + 64); j < stop && p[j] < 0x80; ++j)
        if (asciiLetter(p[j]) || p[j] == '\r' || p[j] == '\n') return false;
    return j < n && p[j] >= 0x80 && rightToLeft(p + j, n - j);
}

// The end of the stretch that must not be cut into pieces of one character, which starts at i (a
// character that is not ASCII, the letter or digit it is written on, or a letter before
// right-to-left text): its characters that are not ASCII and, where it holds right-to-left text
// ('rtl', given and told), the spaces, digits and punctuation between it and more right-to-left
// text, and what follows up to and with the next ASCII letter. Measured whole, a piece takes the
// direction of its first letter, and its width is where its last character ends: a piece of
// right-to-left text must begin and end with a letter written left to right, as the line around
// it does, to be measured and drawn as it is within the line.
qint64 stretchEnd(const unsigned char* p, qint64 i, qint64 n, bool& rtl) {
    qint64 j = i;
    if (p[j] < 0x80) ++j;   // the letter a mark is written on, or the letter before
    while (j < n) {
        if (p[j] >= 0x80) {
            if (!utf8::isContinuation(p[j]) && rightToLeft(p + j, n - j)) rtl = true;
            ++j;
        } else if (rtl && rightToLeftAhead(p, j, n)) {
            while (p[j] < 0x80) ++j;
        } else {
            break;
        }
    }
    if (rtl) {
        while (j < n && p[j] != '\r' && p[j] != '\n') {
            if (asciiLetter(p[j++])) break;
        }
    }
    return j;
}

// Calls piece(from, to) for each piece of a stretch: the whole of it where it holds right-to-left
// text (its layout reorders it), otherwise each of its grapheme clusters (a letter with its
// marks, an emoji with its modifiers and joined parts, a flag).
template <typename Piece>
void forEachPieceOf(const unsigned char* p, qint64 from, qint64 to, bool rtl, Piece piece) {
    if (rtl) {
        piece(from, to);
        return;
    }
    QString text;
    std::vector<qint64> byteOf;   // the byte offset of each UTF-16 unit of 'text'
    for (qint64 i = from; i < to;) {
        char32_t cp = 0;
        const int len = utf8::decode(p + i, to - i, cp);
        if (len == 0) {
            // Bytes that are not UTF-8 (shown as hex blobs) are pieces of their own.
            if (!text.isEmpty()) forEachPieceOf(p, byteOf.front(), i, false, piece);
            piece(i, i + 1);
            text.clear();
            byteOf.clear();
            ++i;
            continue;
        }
        for (const QChar c : QChar::fromUcs4(cp)) {
            text += c;
            byteOf.push_back(i);
        }
        i += len;
    }
    if (text.isEmpty()) return;
    byteOf.push_back(to);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype next = clusters.toNextBoundary();
        if (next <= at) next = text.size();
        piece(byteOf[size_t(at)], byteOf[size_t(next)]);
        at = next;
    }
}
} // namespace

void RichTextBox::showInPieces(long start, long end) {
    constexpr long kChunk = 1 << 16;
    const char plain = static_cast<char>(plainStyle()), twin = static_cast<char>(twinStyle());
    // Styles a a b b a a b b ... for a chunk of plain ASCII (starting at any of the four).
    const auto pattern = [](char a, char b) {
        std::vector<char> v(kChunk + 4);
        for (long i = 0; i < kChunk + 4; ++i) v[i] = (i >> 1) & 1 ? b : a;
        return v;
    };
    static const std::vector<char> plainPairs = pattern(0, 1);
    static const std::vector<char> colouredPairs = pattern(char(kPlainStyle), char(kPlainTwinStyle));
    const std::vector<char>& pairs = lexer() ? colouredPairs : plainPairs;
    matchPlainStyles();
    std::vector<char> styles;
    const auto* text = reinterpret_cast<const unsigned char*>(rangePointer(start, end - start));
    long phase = 0;   // where in the pattern of pairs the next character is
    sci(SCI_STARTSTYLING, start, 0);
    for (long at = start; at < end;) {
        long n = std::min(kChunk, end - at);
        const char* chunk;
        if (utf8::isAscii(reinterpret_cast<const char*>(text), n)) {
            chunk = pairs.data() + phase;
            phase = (phase + n) & 3;
        } else {
            // One character a piece, but a stretch drawn as one (stretchEnd()) in the pieces it
            // allows; such a stretch may run past the chunk.
            styles.clear();
            char style = pairs[(phase + 3) & 3];   // of the character before
            const qint64 left = end - at;
            qint64 i = 0;
            while (i < n) {
                const bool beforeRtl = asciiLetter(text[i]) && rightToLeftAhead(text, i + 1, left);
                const bool stretch = beforeRtl || text[i] >= 0x80 || (asciiLetterOrDigit(text[i]) && i + 1 < left && text[i + 1] >= 0x80);
                if (!stretch) {
                    style = style == plain ? twin : plain;
                    styles.push_back(style);
                    ++i;
                    continue;
                }
                bool rtl = beforeRtl;
                const qint64 to = stretchEnd(text, i, left, rtl);
                forEachPieceOf(text, i, to, rtl, [&](qint64 a, qint64 b) {
                    style = style == plain ? twin : plain;
                    styles.insert(styles.end(), size_t(b - a), style);
                });
                i = to;
            }
            n = long(i);
            phase = style == twin ? 0 : 2;   // the next character starts a pair of the other style
            chunk = styles.data();
        }
        SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(n), chunk);
        text += n;
        at += n;
    }
}

void RichTextBox::showLinesInPieces(long first, long last) {
    last = std::min(last, sci(SCI_GETLINECOUNT) - 1);
    for (long line = std::max(first, 0L); line <= last; ++line) {
        const long start = sci(SCI_POSITIONFROMLINE, line);
        const long end = sci(SCI_GETLINEENDPOSITION, line);
        if (end - start > longLineBytes() && lineNeedsPieces(start, end)) showInPieces(start, end);
    }
}

// Every long line in pieces, at once. Putting lines in pieces later, while the program waits for
// input, costs far more than it saves: every change of styles makes Scintilla compare each line it
// keeps laid out with the text, character by character, at the next paint, which on a screen of
// megabyte lines is a good part of a second each time.
void RichTextBox::showAllLongLinesInPieces() {
    if (!piecesApply()) return;
    const qint64 n = byteLength();
    const char* const text = rangePointer(0, n);
    forEachLongLine(text, n, longLineBytes(), [&](qint64 start, qint64 end) {
        // Room in the kept measures for every pair of ASCII characters in both styles.
        if (sci(SCI_GETPOSITIONCACHE) < kLongLinePositionCache) sci(SCI_SETPOSITIONCACHE, kLongLinePositionCache);
        if (lineNeedsPieces(start, end)) showInPieces(start, end);
        return true;
    });
}

void RichTextBox::showLongLinesOnScreenInPieces() {
    if (!piecesApply()) return;
    const long firstShown = sci(SCI_GETFIRSTVISIBLELINE);
    showLinesInPieces(sci(SCI_DOCLINEFROMVISIBLE, firstShown),
                      sci(SCI_DOCLINEFROMVISIBLE, firstShown + sci(SCI_LINESONSCREEN) + 1));
    const long caretLine = sci(SCI_LINEFROMPOSITION, sci(SCI_GETCURRENTPOS));
    showLinesInPieces(caretLine, caretLine);
    showTypingInPieces();
}

// Whether a long line is not in pieces: sampled at nine places, where a style other than the two
// of the pieces shows colouring, and a run of one style among ASCII with a letter (which goes in
// pairs) must end within two characters. Where no sample falls on such ASCII, nine samples of one
// style tell.
bool RichTextBox::lineNeedsPieces(long start, long end) const {
    // The control answers with a signed char.
    const auto styleAt = [this](long at) { return sci(SCI_GETSTYLEAT, at) & 0xFF; };
    const auto charAt = [this](long at) { return static_cast<unsigned char>(sci(SCI_GETCHARAT, at)); };
    const long plain = plainStyle(), twin = twinStyle();
    bool told = false;
    long firstStyle = -1;
    bool oneStyle = true;
    for (int k = 0; k <= 8; ++k) {
        const long a = k == 0 ? start : sci(SCI_POSITIONAFTER, start + (end - start) / 9 * k);
        if (a >= end) continue;
        const long style = styleAt(a);
        if (style != plain && style != twin) return true;
        if (firstStyle < 0) firstStyle = style;
        oneStyle = oneStyle && style == firstStyle;
        const long b = a + 1, c = a + 2;
        if (c + 1 >= end || charAt(a) >= 0x80 || charAt(b) >= 0x80 || charAt(c) >= 0x80 || charAt(c + 1) >= 0x80)
            continue;
        if (!asciiLetter(charAt(a)) && !asciiLetter(charAt(b)) && !asciiLetter(charAt(c)))
            continue;   // may stand between right-to-left words, in one piece with them
        told = true;
        if (style == styleAt(b) && style == styleAt(c)) return true;
    }
    return !told && oneStyle;
}

// Text typed into a line in pieces comes in the one plain style: once it makes a run of a few
// characters, the stretch before the caret is put in pieces again.
void RichTextBox::showTypingInPieces() {
    const long caret = sci(SCI_GETCURRENTPOS);
    const long line = sci(SCI_LINEFROMPOSITION, caret);
    const long start = sci(SCI_POSITIONFROMLINE, line);
    if (sci(SCI_GETLINEENDPOSITION, line) - start <= longLineBytes()) return;
    constexpr int kRun = 8;
    long at = sci(SCI_POSITIONBEFORE, caret);
    if (at <= start) return;
    const long style = sci(SCI_GETSTYLEAT, at);
    for (int run = 1; run < kRun; ++run) {
        const long before = sci(SCI_POSITIONBEFORE, at);
        if (before < start || before == at || sci(SCI_GETSTYLEAT, before) != style) return;
        at = before;
    }
    // A run: restyle from some way back (neighbours of the stretch may end up sharing a style,
    // which makes a piece of two).
    long from = at;
    for (int i = 0; i < 256 && from > start; ++i) from = sci(SCI_POSITIONBEFORE, from);
    showInPieces(from, caret);
}

bool RichTextBox::longLineBetween(long from, long to) const {
    // Both sides of the gap, without moving it; a line across the gap is measured whole.
    const long n = byteLength();
    const long gap = std::clamp<long>(sci(SCI_GETGAPPOSITION), 0, n);
    const auto any = [this](long a, long b) {
        return b > a && hasLongLine(rangePointer(a, b - a), b - a, kUncolouredLineBytes);
    };
    if (any(from, std::min(to, gap)) || any(std::max(from, gap), to)) return true;
    if (gap <= from || gap >= to) return false;
    const long line = sci(SCI_LINEFROMPOSITION, gap);
    return sci(SCI_GETLINEENDPOSITION, line) - sci(SCI_POSITIONFROMLINE, line) > kUncolouredLineBytes;
}

void RichTextBox::colourUpTo(long target) {
    if (!lexer() || !piecesApply()) return;
    const long length = byteLength();
    target = std::min<long>(target, length);
    const long styled = sci(SCI_GETENDSTYLED);
    if (styled >= target) return;
    const long lastLine = sci(SCI_LINEFROMPOSITION, target);
    long line = sci(SCI_LINEFROMPOSITION, styled);
    long lexFrom = sci(SCI_POSITIONFROMLINE, line);   // where the lexer goes on from
    // Most texts have no such line: then Scintilla colours as it would, looked at once per change.
    const long to = sci(SCI_GETLINEENDPOSITION, lastLine);
    if (lexFrom >= shortFrom_ && to <= shortTo_) return;
    if (!longLineBetween(lexFrom, to)) {
        if (lexFrom > shortTo_ || to < shortFrom_) shortFrom_ = shortTo_ = lexFrom;
        shortFrom_ = std::min(shortFrom_, lexFrom);
        shortTo_ = std::max(shortTo_, to);
        return;
    }
    for (; line <= lastLine; ++line) {
        const long start = sci(SCI_POSITIONFROMLINE, line);
        const long end = sci(SCI_GETLINEENDPOSITION, line);
        if (end - start <= kUncolouredLineBytes) continue;
        // The short lines before it to the lexer; this one in pieces: the part changed since it
        // was last styled (what was typed or pasted), or all of it if it is not in pieces.
        if (start > lexFrom) sci(SCI_COLOURISE, lexFrom, start);
        const long caret = sci(SCI_GETCURRENTPOS);
        if (styled > start && styled <= end) {
            const long from = std::max<long>(start, sci(SCI_POSITIONBEFORE, styled));
            const long to = caret > styled && caret <= end ? std::min<long>(end, sci(SCI_POSITIONAFTER, caret)) : std::min<long>(end, sci(SCI_POSITIONAFTER, styled));
            showInPieces(from, to);
        }
        if (lineNeedsPieces(start, end)) showInPieces(start, end);
        // Its line end in the lexer's first style, where the next line starts from.
        const long next = line + 1 < sci(SCI_GETLINECOUNT) ? sci(SCI_POSITIONFROMLINE, line + 1) : length;
        sci(SCI_STARTSTYLING, end, 0);
        if (next > end) sci(SCI_SETSTYLING, next - end, 0);
        lexFrom = next;
    }
    // The rest is left to Scintilla: it colours it as it paints.
    if (lexFrom > sci(SCI_GETENDSTYLED) && lexFrom <= length) sci(SCI_STARTSTYLING, lexFrom, 0);
}

void RichTextBox::setLexer(QsciLexer* lexer) {
    QsciScintilla::setLexer(lexer);
    colourOnShow_.clear();
    if (lexer) {
        // The long lines the lexer leaves plain go in the pieces of its own two styles.
        matchPlainStyles();
        showAllLongLinesInPieces();
        return;
    }
    // The text coloured so far goes back to the one plain style, long lines to their pieces.
    sci(SCI_CLEARDOCUMENTSTYLE);
    showAllLongLinesInPieces();
}


void RichTextBox::paintEvent(QPaintEvent* e) {
    if (sci(SCI_GETPOSITIONCACHE) < kShownPositionCache) sci(SCI_SETPOSITIONCACHE, kShownPositionCache);
    showLongLinesOnScreenInPieces();
    if (lexer()) {
        // Colouring starts near what is shown (see ColourOnShow.h); then what Scintilla colours
        // before it paints, up to the line after the one after the screen, long lines in pieces.
        colourOnShow_.beforePaint();
        matchPlainStyles();
        const long after = sci(SCI_DOCLINEFROMVISIBLE, sci(SCI_GETFIRSTVISIBLELINE) + sci(SCI_LINESONSCREEN) + 2) + 2;
        colourUpTo(after < sci(SCI_GETLINECOUNT) ? sci(SCI_POSITIONFROMLINE, after) : byteLength());
    }
    // Plain text is styled as far as it goes: otherwise Scintilla, finding unstyled text on
    // screen, starts a new styling round at every paint and compares every line it keeps laid
    // out with the text, character by character, before it may use it.
    if (!lexer()) sci(SCI_STARTSTYLING, byteLength(), 0);
    // The horizontal scroll range follows the widest line shown, and every change of it redraws
    // the whole view; typing at the end of a very wide line would change it at each key. Such a
    // line gets room to grow.
    const long width = sci(SCI_GETSCROLLWIDTH);
    if (width > kRoomyWidth && width != roomyWidth_) {
        roomyWidth_ = width + width / 8;
        sci(SCI_SETSCROLLWIDTH, roomyWidth_);
    }
    QsciScintilla::paintEvent(e);
}

void RichTextBox::mousePressEvent(QMouseEvent* e) {
    int button = 0;
    switch (e->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::RightButton: button = 2; break;
    case Qt::MiddleButton: button = 4; break;
    default: break;
    }
    int shift = 0;
    if (e->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (e->modifiers() & Qt::ControlModifier) shift |= 2;
    if (e->modifiers() & Qt::AltModifier) shift |= 4;
    const QPoint p = e->position().toPoint();
    if (button == 2) {
        // A right click neither moves the caret nor shows the control's own menu.
        setFocus(Qt::MouseFocusReason);
        emit MouseDown(button, shift, p.x(), p.y());
        e->accept();
        return;
    }
    QsciScintilla::mousePressEvent(e);
    if (button) emit MouseDown(button, shift, p.x(), p.y());
}

void RichTextBox::wheelEvent(QWheelEvent* e) {
    if (e->modifiers() & Qt::ControlModifier) {
        // A wheel notch is 120; finer wheels and touchpads add up to it.
        wheelZoom_ += e->angleDelta().y();
        const int steps = wheelZoom_ / 120;
        wheelZoom_ -= steps * 120;
        if (steps != 0) emit zoomRequested(steps);
        e->accept();
        return;
    }
    QsciScintilla::wheelEvent(e);
}

// The menu a platform raises for the Menu key comes from the key itself (event()), once.
void RichTextBox::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

// Only a copy is ever taken: a source offering nothing but a move may delete what it dragged.
bool RichTextBox::takesDrop(const QDropEvent* e) const {
    return acceptsDrop && (e->possibleActions() & Qt::CopyAction) && acceptsDrop(e->mimeData());
}

void RichTextBox::dragEnterEvent(QDragEnterEvent* e) {
    if (takesDrop(e)) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
}

void RichTextBox::dragMoveEvent(QDragMoveEvent* e) {
    if (takesDrop(e)) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
}

void RichTextBox::dragLeaveEvent(QDragLeaveEvent* e) { e->accept(); }

void RichTextBox::dropEvent(QDropEvent* e) {
    if (takesDrop(e)) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
        if (dropHandler) dropHandler(e->mimeData());
    } else {
        e->ignore();
    }
}
