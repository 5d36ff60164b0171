#pragma once

// The edit control's indicators, one table so that no two uses share a number (Scintilla keeps
// 8..35 for its container; each number has one style, so a shared number changes both uses).
namespace tp::indicator {

inline constexpr int kMatchingTag = 20;        // the tag partner of the one at the caret
inline constexpr int kEmbeddedFirst = 21;      // CSS and JavaScript inside a page: 21..28
inline constexpr int kEmbeddedCount = 8;
inline constexpr int kPaired = 29;             // a bracket or quote typed as a partner (hidden)
inline constexpr int kProblem = 30;            // an HTML or XML error
inline constexpr int kWarning = 31;            // an HTML warning
inline constexpr int kMisspelt = 32;           // a word the dictionary does not know

static_assert(kEmbeddedFirst + kEmbeddedCount <= kPaired);

}  // namespace tp::indicator

// The edit control's margin markers besides the fold marks (25..31).
namespace tp::marker {

inline constexpr int kProblemLine = 1;   // a line with an HTML or XML error
inline constexpr int kWarningLine = 2;   // a line with an HTML warning only

}  // namespace tp::marker
