// The settings file's reading rule on arbitrary bytes: no crash, a flag is only ever 0 or 1, field 2
// only after a valid field 1, and the result agrees with a naive reader written from the rule.
#include "io/Settings.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// The rule, read naively: split the whole file into fields at every comma and every line end (CR LF
// counts as one); a field's text is what remains after dropping the white space around it. A file
// that ends right after a separator (or holds nothing but white space there) has no further field.
std::vector<std::optional<QByteArray>> referenceFields(const QByteArray& data) {
    std::vector<std::optional<QByteArray>> fields;
    qsizetype i = 0;
    const qsizetype n = data.size();
    while (fields.size() < 2) {
        qsizetype j = i;
        while (j < n && (data[j] == ' ' || data[j] == '\t')) ++j;
        if (j >= n) {               // nothing left to read: this read fails, and so do later ones
            fields.push_back(std::nullopt);
            break;
        }
        qsizetype end = i;
        while (end < n && data[end] != ',' && data[end] != '\r' && data[end] != '\n') ++end;
        QByteArray text = data.mid(i, end - i);
        while (!text.isEmpty() && (isSpace(text.front()) || text.front() == '\r' || text.front() == '\n'))
            text.remove(0, 1);
        while (!text.isEmpty() && (isSpace(text.back()) || text.back() == '\r' || text.back() == '\n'))
            text.chop(1);
        fields.push_back(text);
        if (end < n && data[end] == '\r' && end + 1 < n && data[end + 1] == '\n') ++end;
        i = end + 1;
    }
    return fields;
}

std::optional<int> flag(const std::optional<QByteArray>& f) {
    if (!f) return std::nullopt;
    if (*f == "0") return 0;
    if (*f == "1") return 1;
    return std::nullopt;
}

QByteArray show(const settings::Flags& f) {
    return QByteArray::number(f.splash.value_or(-1)) + "," + QByteArray::number(f.maximize.value_or(-1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    settings::FieldReader reader = settings::FieldReader::fromBytes(input);
    const settings::Flags flags = settings::parse(reader);

    fuzz::check(!flags.splash || *flags.splash == 0 || *flags.splash == 1, "field 1 is 0 or 1", input);
    fuzz::check(!flags.maximize || *flags.maximize == 0 || *flags.maximize == 1, "field 2 is 0 or 1", input);
    fuzz::check(!flags.maximize || flags.splash, "field 2 only after a valid field 1", input);
    fuzz::check(flags.splashOn() == (flags.splash == 1) && flags.maximizeOn() == (flags.maximize == 1),
                "the on/off helpers", input);

    const auto fields = referenceFields(input);
    settings::Flags expected;
    expected.splash = flag(fields[0]);
    if (expected.splash && fields.size() > 1) expected.maximize = flag(fields[1]);
    if (show(flags) != show(expected)) fuzz::fail("reading rule", input, show(flags), show(expected));

    // Reading on after the two fields never crashes, and once a read failed every later one fails.
    bool failed = false;
    for (int k = 0; k < 4; ++k) {
        const auto f = reader.next();
        fuzz::check(!(failed && f), "a failed read stays failed", input);
        if (!f) failed = true;
    }

    // What the Options dialog writes reads back as written, whatever follows it in the file.
    if (size > 0) {
        const int s = data[0] & 1, m = (data[0] >> 1) & 1;
        settings::FieldReader back = settings::FieldReader::fromBytes(settings::writtenForm(s, m) + "\r\n" + input);
        const settings::Flags again = settings::parse(back);
        fuzz::check(again.splash == s && again.maximize == m, "the written form reads back", input);
    }
    return 0;
}
