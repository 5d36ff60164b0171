#pragma once
// The benchmark program: sections register themselves and print one line per figure:
// name, our time, the baseline's time and the ratio, measured in the same run on the same bytes.
#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <vector>

namespace bench {

struct Options {
    std::vector<int> sizesMb{1, 10, 100};
    QString workDir;   // where generated files go
};

struct Section {
    const char* name;
    std::function<void(const Options&)> run;
};

std::vector<Section>& sections();

struct Register {
    Register(const char* name, std::function<void(const Options&)> run) {
        sections().push_back({name, std::move(run)});
    }
};

// Seconds taken by f (best of 'repeat' runs).
double seconds(const std::function<void()>& f, int repeat = 1);

// Prints "name  ours s  baseline s  ratio x" (ratio = ours / baseline).
void report(const QString& name, double ours, const QString& baselineName, double baseline);
// Prints a plain figure line.
void note(const QString& name, const QString& value);

// A Windows-1252 document of about 'bytes' bytes of mixed HTML markup, with CR LF line ends,
// accented letters and a few bytes of the 0x80-0x9F range. Deterministic.
QByteArray makeDocument(qint64 bytes);

// Writes a generated file (a failure shows as a missing document in the figures).
void writeFile(const QString& path, const QByteArray& bytes);

// Resident memory of this process now and at its peak, in bytes.
qint64 residentBytes();
qint64 peakResidentBytes();

} // namespace bench
