#pragma once
// The kinds of line end a text holds: CR LF, LF alone, CR alone, or a mixture; the line end Enter
// types in a document, and converting text to it.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class RichTextBox;

namespace lineends {

struct Counts {
    qint64 crlf = 0;
    qint64 lf = 0;   // LF not preceded by CR
    qint64 cr = 0;   // CR not followed by LF

    Counts& operator+=(const Counts& o) {
        crlf += o.crlf;
        lf += o.lf;
        cr += o.cr;
        return *this;
    }
    Counts& operator-=(const Counts& o) {
        crlf -= o.crlf;
        lf -= o.lf;
        cr -= o.cr;
        return *this;
    }
    bool operator==(const Counts&) const = default;
};

// Counts the line ends that start inside data[0, length). 'before' is the byte just before the
// range and 'after' the byte just after it (0 where there is none): an LF at the start that
// follows a CR belongs to a line end that starts outside; a CR at the end followed by an LF is a
// CR LF. Counting adjacent ranges this way and adding gives the count of the whole.
Counts count(const char* data, qint64 length, char before = 0, char after = 0);

enum class Kind { None, CrLf, Lf, Cr, Mixed };

Kind kindOf(const Counts& counts);
Kind kindOf(const char* data, qint64 length);
// The most frequent line end (CR LF, LF or CR; a tie goes to CR LF, then LF); None without any.
Kind mostFrequent(const Counts& counts);

// "CR LF", "LF", "CR" or "mixed". A text without line ends shows the line end that Enter types,
// "CR LF".
QString name(Kind kind);
// The bytes of a line end: "\r\n", "\n" or "\r" (CR LF for None and Mixed).
QByteArrayView bytes(Kind kind);

// The text with every line end (CR LF, LF, CR) made the one of 'to' (CR LF for None and Mixed).
QByteArray converted(QByteArrayView text, Kind to);
QString converted(const QString& text, Kind to);

// The line end Enter types in the control: CR LF in a new document; a text read in sets it to
// its most frequent line end (see DocumentView).
Kind enterKind(const RichTextBox& rtb);
void setEnterKind(RichTextBox& rtb, Kind kind);

} // namespace lineends
