#pragma once
// The last session: the files that were open when the program last ended, each with where the
// user was in it, so that File > Reopen Last Session (and, when the user wants it, every start)
// brings them back as they were. Only files are listed: untitled documents and unsaved text are
// the recovery journal's (io/JournalStore.h), which keeps them whatever happens to this list.
//
// The file is "session" in the program's state folder, beside the recovery journals
// ($XDG_STATE_HOME/tesselpad/session), written whole or not at all (io/AtomicFile.h). It is text:
// the line "TESSELPAD SESSION 1", then one line a document, its fields parted by tabs:
//   file  <name>  <caret>  <first line>  <encoding>  <colouring>  <folded lines>
// <name> is the file's name as the system spells it, percent-encoded (so that any byte, a tab or
// a line break too, comes back as it was); <caret> a byte offset in the text; <first line> the
// 0-based line at the top of the window; <encoding> an io::encodingName(); <colouring> a
// syntax::kindName() ("html"); <folded lines> the 0-based lines whose block is folded away,
// parted by commas, or "-". Then "active <n>": the 0-based document that was active. Fields a
// version does not know may follow and are passed over.
#include <QList>
#include <QString>

#include <optional>

namespace io {

struct SessionDocument {
    QString path;           // absolute, and exactly the name on disk (tp::exactName())
    qint64 caret = 0;       // bytes into the text
    qint64 firstLine = 0;   // 0-based
    QString encoding;       // empty: as the file is recognised
    QString colouring;      // empty: as the file's name says
    QList<qint64> folded;   // 0-based lines, ascending
    bool operator==(const SessionDocument&) const = default;
};

struct Session {
    QList<SessionDocument> documents;   // in the order their windows were opened
    int active = -1;                    // index into documents, -1 for none
    bool operator==(const Session&) const = default;
};

// At most this many documents are listed, and a file larger than kSessionFileLimit is not read.
constexpr int kSessionDocuments = 10000;
constexpr qint64 kSessionFileLimit = 4 * 1024 * 1024;

// $XDG_STATE_HOME/tesselpad/session.
QString sessionPath();

QByteArray sessionText(const Session& session);
// The session a text holds; nothing, with the reason for the user, when the text is not a session
// at all. Lines that are damaged (a name that is not absolute or not text, numbers that are not
// numbers) are passed over: what remains is a shorter session, never a namesake.
std::optional<Session> parseSession(const QByteArray& text, QString& reason);

struct SessionRead {
    enum class Status { Read, Missing, Refused };
    Status status = Status::Missing;
    Session session;
    QString reason;   // for Refused: why, for the user
};
// Reads the session file without ever waiting on it: a pipe, a folder or a device under its name,
// a file over the limit, one that is not a session (binary, garbled) are refused with a reason.
SessionRead readSession(const QString& path = sessionPath());
// Replaces the session file whole; false with a reason when it could not be written.
bool writeSession(const Session& session, QString& reason, const QString& path = sessionPath());

} // namespace io
