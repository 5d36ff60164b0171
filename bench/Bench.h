#pragma once
// The benchmark program: sections register themselves and print one line per figure:
// name, our time, the baseline's time and the ratio, measured in the same run on the same bytes.
#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <vector>

class DocumentFrame;
class Form1;

class RichTextBox;

namespace bench {

struct Options {
    std::vector<int> sizesMb{1, 10, 100};
    QString workDir;   // where generated files go
};

struct Section {
    const char* name;
    std::function<void(const Options&)> run;
    bool onlyWhenNamed = false;   // left out of a run of every section (it takes gigabytes)
};

std::vector<Section>& sections();

struct Register {
    Register(const char* name, std::function<void(const Options&)> run, bool onlyWhenNamed = false) {
        sections().push_back({name, std::move(run), onlyWhenNamed});
    }
};

// Seconds taken by f (best of 'repeat' runs).
double seconds(const std::function<void()>& f, int repeat = 1);
// Time the calling thread has run: the user-interface thread's own cost, whatever else the
// machine runs meanwhile.
double threadSeconds();
// The events waiting, windows closed meanwhile deleted.
void processEvents();
// Key presses as the keyboard sends them ('a' to 'z' in turn), each followed by the event
// processing (painting included) that the program does before the next key.
void typeKeys(RichTextBox& rtb, int count);

// Prints "name  ours s  baseline s  ratio x" (ratio = ours / baseline).
void report(const QString& name, double ours, const QString& baselineName, double baseline);
// Prints a plain figure line.
void note(const QString& name, const QString& value);

// A Windows-1252 document of about 'bytes' bytes of mixed HTML markup, with CR LF line ends,
// accented letters and a few bytes of the 0x80-0x9F range. Deterministic.
QByteArray makeDocument(qint64 bytes);

// Writes a generated file (a failure shows as a missing document in the figures).
void writeFile(const QString& path, const QByteArray& bytes);

// The same text in UTF-8, with Greek, Cyrillic and Japanese words among the lines, cut to
// 'bytes' at a character's start. Deterministic.
QByteArray makeUtf8Document(qint64 bytes);

// Reading and writing a file whole with plain system calls (the baselines), and taking a file
// out of the page cache.
QByteArray readPlain(const QString& path);
void writePlain(const QString& path, const QByteArray& bytes, bool sync);
void dropCaches(const QString& path);

// Seconds for File > Open of the file (best of three; 'opened' is closed first and is the window
// of the last one).
double timeOpen(DocumentFrame& frame, const QString& path, Form1*& opened);
// Peak resident memory growth of a fresh process that opens the file, in bytes; -1 if unknown.
qint64 memoryToOpen(const QString& path);

// Resident memory of this process now and at its peak, in bytes.
qint64 residentBytes();
qint64 peakResidentBytes();

} // namespace bench
