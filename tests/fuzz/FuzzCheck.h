#pragma once
// Shared by the fuzz targets: a failed check prints what differed and aborts, which libFuzzer
// reports as a crash and saves the input that caused it.
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline QByteArray hex(const QByteArray& bytes) { return bytes.left(200).toHex(' '); }

[[noreturn]] inline void fail(const char* what, const QByteArray& input, const QByteArray& ours,
                              const QByteArray& expected) {
    std::fprintf(stderr, "MISMATCH: %s\n  input:    %s\n  ours:     %s\n  expected: %s\n", what,
                 hex(input).constData(), hex(ours).constData(), hex(expected).constData());
    std::abort();
}

inline void check(bool ok, const char* what, const QByteArray& input) {
    if (!ok) fail(what, input, QByteArray(), QByteArray());
}

} // namespace fuzz
