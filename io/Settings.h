#pragma once
// The settings file "tspd.ini" in the current directory keeps two flags: splash screen at start-up
// and maximized document windows. Every reader reads it afresh by the same rule; only the Options
// dialog writes it.
#include <QByteArray>
#include <QString>
#include <optional>

namespace settings {

inline const QString kFileName = QStringLiteral("tspd.ini");

// Reads fields one after another. A field ends at a comma, a line end or the end of the file;
// blanks around it are dropped. Reading past the end, or from a file that could not be opened,
// fails (nullopt), and every later read fails too.
class FieldReader {
public:
    explicit FieldReader(const QString& path);
    static FieldReader fromBytes(const QByteArray& content);
    bool isOpen() const { return open_; }
    std::optional<QByteArray> next();

private:
    FieldReader() = default;
    QByteArray data_;
    qsizetype pos_ = 0;
    bool open_ = false;
    bool failed_ = false;
};

// What the readers act on: a field is set only when it was read and is exactly "0" or "1";
// field 2 is consulted only after a valid field 1.
struct Flags {
    std::optional<int> splash;     // field 1
    std::optional<int> maximize;   // field 2
    bool splashOn() const { return splash.value_or(0) == 1; }
    bool maximizeOn() const { return maximize.value_or(0) == 1; }
};

Flags parse(FieldReader& reader);
Flags read(const QString& path = kFileName);

// The written form: " 1 , 0 " (seven characters, no line end).
QByteArray writtenForm(int splash, int maximize);
// Replaces the file whole or not at all; where its folder takes no new file, a file the user may
// write is overwritten in place instead. False when it could not be written.
bool write(int splash, int maximize, const QString& path = kFileName);

} // namespace settings
