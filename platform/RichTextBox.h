#pragma once
// The edit control of every document window. It is a plain-text editor: the text is kept exactly
// as set (every line-end form, NUL characters), and positions are counted in the UTF-16 code units
// of the QString that Text() returns.
#include "platform/ColourOnShow.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArrayView>
#include <QKeySequence>
#include <QList>
#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

class QMimeData;

// Thrown when a property is given a value it cannot take (a negative SelStart, for instance).
class RtbError : public std::runtime_error {
public:
    explicit RtbError(int code, const char* what) : std::runtime_error(what), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

class RichTextBox : public QsciScintilla {
    Q_OBJECT
public:
    // Texts of at least this size are loaded without a style buffer (no colouring), which halves
    // the memory they take.
    static constexpr qint64 kLargeTextBytes = qint64(20) << 20;
    // Lines longer than this are laid out in pieces of one character each (see RichTextBox.cpp).
    static constexpr qint64 kLongLineBytes = 4096;
    // Under a lexer, lines longer than this are not coloured: they are shown plain, in pieces, as
    // in an uncoloured document. Colouring such a line costs a pass of the lexer over the whole
    // line at every key typed in it and a layout measured a token at a time (5 s for a 5 MB
    // minified bundle).
    static constexpr qint64 kUncolouredLineBytes = qint64(20) << 10;
    // A large text of long lines keeps a style byte beside each byte: its room is claimed for this
    // much at first and for the rest once the text grows past it, so that a file refused part of
    // the way in (one endless line) costs what was read, not room for the whole file.
    static constexpr qint64 kLongTextFirstRoom = qint64(128) << 20;

    explicit RichTextBox(QWidget* parent = nullptr);

    // The whole text. Setting it replaces everything and leaves nothing to undo.
    QString Text() const;
    void SetText(const QString& text);
    // The same from UTF-8 bytes, without a round trip through QString.
    void SetTextUtf8(QByteArrayView utf8);

    // Loading a large text piece by piece: Begin reserves room and stops undo collection,
    // Append adds bytes at the end, Restart empties the text to load it again, End restores undo,
    // empties it and raises one Change.
    void BeginLoad(qint64 reserveBytes);
    // The text being loaded will take about this many bytes: room for them, before it comes.
    void expectLoadLength(qint64 bytes);
    void AppendUtf8(const char* data, qint64 length);
    void RestartLoad();
    void EndLoad();
    // The text holds bytes that are not UTF-8 (a UTF-8 file's stray bytes, kept as they are and
    // shown as hex blobs): from now on positions count each of them as one character. Without
    // this call the bytes put in are taken to be UTF-8.
    void markMalformed();
    // Begin on construction, End on destruction, whichever way the load ends.
    class Loading {
    public:
        Loading(RichTextBox& rtb, qint64 reserveBytes) : rtb_(rtb) { rtb_.BeginLoad(reserveBytes); }
        ~Loading() {
            try {
                rtb_.EndLoad();
            } catch (const std::bad_alloc&) {
                // A load that ran out of memory may run short again as it ends; the control then
                // keeps what it holds, and the caller, told of the failure, does not keep it.
            }
        }
        Loading(const Loading&) = delete;
        Loading& operator=(const Loading&) = delete;

    private:
        RichTextBox& rtb_;
    };

    qint64 SelStart() const;
    void SetSelStart(qint64 start);   // negative: throws RtbError; beyond the end: the end
    qint64 SelLength() const;
    // Whether anything is selected, without converting positions.
    bool hasSelection() const;
    void SetSelLength(qint64 length); // negative: throws RtbError
    QString SelText() const;
    void SetSelText(const QString& text);
    // The same with the bytes to put in (see markMalformed() for bytes that are not UTF-8).
    void SetSelUtf8(QByteArrayView utf8);

    // Length of Text() in UTF-16 code units, without building it.
    qint64 TextLength() const;

    // Byte positions of the UTF-8 buffer against positions in Text().
    qint64 byteLength() const;
    qint64 byteFromIndex(qint64 index) const;
    qint64 indexFromByte(qint64 bytePos) const;
    // The line of a byte position and its column there, both from 0; the column counts UTF-16
    // code units, as positions in Text() do (a character outside the Basic Multilingual Plane
    // counts two).
    struct LineColumn {
        qint64 line = 0;
        qint64 column = 0;
    };
    LineColumn lineColumnAt(qint64 bytePos) const;
    // Program edits of byte ranges, all of them one undo step: 'edits' calls replaceBytes() any
    // number of times; Change is raised once afterwards if anything changed.
    void editInOneStep(const std::function<void()>& edits);
    void replaceBytes(qint64 from, qint64 to, QByteArrayView utf8);
    // Makes room for a text of 'bytes' bytes, so that edits growing it up to that size do not
    // move the whole buffer.
    void reserveBytes(qint64 bytes);

    // Scintilla's change notices (SCN_MODIFIED) reach Qt with their position and length cut to
    // 32 bits: their true values, for a text of any size.
    struct Span {
        qint64 position = 0;
        qint64 length = 0;
    };
    Span noticeSpan(int position, int length) const;
    // The value up to 'most' whose low 32 bits are 'cut' (exact below 4 GB), the one nearest
    // 'near' when there are several.
    static qint64 widenNotified(int cut, qint64 near, qint64 most);

    // Lines, 0-based, with their first byte and the byte where their line end begins.
    qint64 lineCount() const;
    qint64 lineOfByte(qint64 bytePos) const;
    qint64 lineStartByte(qint64 line) const;
    qint64 lineEndByte(qint64 line) const;
    // Scrolls the caret's line into view.
    void showCaret();

    // Direct read access to a byte range of the buffer; valid until the next change.
    const char* rangePointer(qint64 bytePos, qint64 length) const;
    QByteArray bytes(qint64 bytePos, qint64 length) const;
    // Selects a byte range: the anchor at 'from', the caret at 'to'.
    void selectBytes(qint64 from, qint64 to);

    // Taking the lexer away takes the colours off the text and shows long lines in pieces again.
    void setLexer(QsciLexer* lexer = nullptr) override;

    // The look of text without colouring: the document's font and its text and paper colours.
    void setPlainLook(const QFont& font, const QColor& text, const QColor& paper);

    // Whether some line (its line end left out) is longer than this many bytes.
    bool hasLineLongerThan(qint64 bytes) const;
    // Whether a line is shown plain although the text is coloured (kUncolouredLineBytes).
    bool lineUncoloured(qint64 line) const;

    // Setting a lexer colours the whole text at once; here the text on screen is coloured as it is
    // painted and the rest while the program waits for input (Scintilla's idle styling).
    void recolor(int start = 0, int end = -1) override;
    // Where colouring may start afresh near a position (see platform/ColourOnShow.h): with a
    // rule, a large text is coloured from near what is shown, and the text skipped when it is shown.
    void setRestartRule(std::function<qint64(qint64 near, qint64 earliest)> rule) { colourOnShow_.restartRule = std::move(rule); }
    // Colours the whole text now.
    void colourAll() { colourOnShow_.colourAll(); }

    // Keys that belong to the frame's menu: the control leaves them to the shortcut machinery, and
    // the controls made from then on drop their own bindings for them (but where the control's
    // command is the menu item's: Cut, Copy, Select All, Delete).
    static void setReservedShortcuts(const QList<QKeySequence>& keys);

    // Drag-and-drop is decided by the window: the control drops nothing on its own.
    std::function<bool(const QMimeData*)> acceptsDrop;
    std::function<void(const QMimeData*)> dropHandler;

signals:
    // Raised synchronously for every change of the text, typed or set by the program, once the
    // change is made.
    void Change();
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt.
    void MouseDown(int button, int shift, int x, int y);
    // Shift+F10 or the Menu key: the right-click menu is wanted at this point of the screen, just
    // below the caret.
    void menuKey(const QPoint& globalPos);
    // Ctrl and the mouse wheel: zoom in (steps > 0) or out. The control does not zoom by itself:
    // the zoom is the user's, the same in every document.
    void zoomRequested(int steps);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    bool takesDrop(const QDropEvent* e) const;
    void onModified(int position, int modificationType);
    // Positions of Text() equal byte positions while the text is plain ASCII. Otherwise they are
    // counted from marks that pair a byte position with its position in Text(), one about every
    // 64 KB, made as far as a question needs them and dropped from where the text changes: the
    // first question about a 100 MB text counts it once at memory speed, later ones count at
    // most 64 KB.
    bool asciiOnly() const;
    static constexpr qint64 kMarkStep = qint64(64) << 10;
    struct Mark {
        qint64 byte = 0;
        qint64 units = 0;
    };
    // The mark at or before a byte position (or a position in Text()), made if need be.
    Mark markAtByte(qint64 bytePos) const;
    Mark markAtUnits(qint64 units) const;
    void addMark() const;
    void forgetMarksFrom(qint64 bytePos) const;
    // UTF-16 code units of the bytes [from, to), 'from' at the start of a character; 'end' is
    // where the last character counted ends.
    qint64 unitsBetween(qint64 from, qint64 to, qint64* end = nullptr) const;
    void useDocumentWithoutStyles(qint64 reserveBytes);
    bool useFreshDocument(qint64 reserveBytes, long options);
    // Room for 'bytes' of text (and their styles) in the control's document.
    void claimRoom(qint64 bytes);
    // Texts this large need 64-bit line starts, and their notices widening (noticeSpan()).
    static constexpr qint64 kWidePositions = qint64(1) << 31;
    struct Edit {
        qint64 from = -1, length = 0;
    } edit_;   // the program's edit under way (replaceBytes()), for noticeSpan()
    // A large load chooses its document when its first piece shows whether it has long lines.
    void chooseLargeDocument(const char* firstPiece, qint64 length);
    // Long lines shown in pieces (see RichTextBox.cpp): all of them, those on screen and the
    // caret's, one range.
    bool piecesApply() const;
    // Lines longer than this are shown in pieces: kLongLineBytes, or kUncolouredLineBytes under a lexer.
    qint64 longLineBytes() const;
    // The style that alternates with the plain one in pieces (the plain one is 0, or kPlainStyle
    // under a lexer, whose style 0 is its own).
    int twinStyle() const;
    int plainStyle() const;
    void matchPlainStyles();
    // Colours the text up to 'target' (as Scintilla does before it paints) without giving the lexer
    // a line longer than kUncolouredLineBytes: such a line is put in pieces instead.
    void colourUpTo(long target);
    bool longLineBetween(long from, long to) const;
    void showAllLongLinesInPieces();
    void showLongLinesOnScreenInPieces();
    void showLinesInPieces(long first, long last);
    void showInPieces(long start, long end);
    bool lineNeedsPieces(long start, long end) const;
    void showTypingInPieces();
    // Runs an edit (a key, a program change) and raises Change once after it if it changed the text.
    void editQuietly(const std::function<void()>& edit);
    long sci(unsigned int msg, unsigned long wParam = 0, long lParam = 0) const {
        return SendScintilla(msg, wParam, lParam);
    }

    int loading_ = 0;
    mutable bool asciiOnly_ = true;
    mutable bool asciiDirty_ = false;   // text was inserted since asciiOnly_ was last known
    mutable std::vector<Mark> marks_{Mark{}};
    bool malformed_ = false;   // the text may hold bytes that are not UTF-8
    bool stylesNone_ = false;
    qint64 largeReserve_ = -1;   // a large load whose document is not chosen yet
    qint64 laterReserve_ = -1;   // the rest of a large load of long lines, claimed past kLongTextFirstRoom
    qint64 roomClaimed_ = 0;     // the most room asked of the control for the present document
    static constexpr long kLongLinePositionCache = 1 << 16;   // entries
    static constexpr long kShownPositionCache = 4096;
    static constexpr long kUnshownPositionCache = 64;
    // The look-alike styles of long lines under a lexer: above every lexer's own (HTML's reach 127).
    static constexpr int kPlainStyle = 200;
    static constexpr int kPlainTwinStyle = 201;
    static constexpr long kRoomyWidth = 1 << 18;   // pixels
    long roomyWidth_ = 0;
    // Bytes whose lines are known to be no longer than kUncolouredLineBytes, until the next change.
    long shortFrom_ = 0, shortTo_ = 0;
    int wheelZoom_ = 0;
    long loadEventMask_ = 0;
    int quietEdits_ = -1;   // changes made inside editQuietly(); -1 outside it
    tp::ColourOnShow colourOnShow_{*this};
};
