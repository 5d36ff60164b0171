#pragma once
// A file's text loaded into a window's edit control (io/TextLoader.h): room reserved and undo
// stopped while it comes, one Change raised at its end.
#include "io/TextLoader.h"
#include "platform/RichTextBox.h"

#include <optional>

namespace documents {

class EditorSink final : public io::TextSink {
public:
    explicit EditorSink(RichTextBox& rtb) : rtb_(rtb) {}

    void begin(qint64 fileSize) override {
        if (loading_) rtb_.RestartLoad();
        else loading_.emplace(rtb_, fileSize);
    }
    void restart() override { rtb_.RestartLoad(); }
    void append(const char* text, qint64 length) override { rtb_.AppendUtf8(text, length); }
    void expect(qint64 textBytes) override { rtb_.expectLoadLength(textBytes); }
    void malformed() override { rtb_.markMalformed(); }
    qint64 length() const override { return rtb_.byteLength(); }
    void end() override { loading_.reset(); }

private:
    // A file of one endless line is refused before the control claims room for all of it.
    static_assert(io::kMaxLineChars + io::kLoadPiece < RichTextBox::kLongTextFirstRoom);

    RichTextBox& rtb_;
    std::optional<RichTextBox::Loading> loading_;
};

// Loads the file 'file' has open into the control (see io::TextLoader::load()).
inline bool loadInto(RichTextBox& rtb, io::TextLoader& file, QString& reason,
                     std::optional<io::Encoding> chosen = std::nullopt) {
    EditorSink sink(rtb);
    return file.load(sink, chosen, reason);
}

} // namespace documents
