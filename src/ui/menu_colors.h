// Palette colours and glyphs the menu screens share.
#pragma once

namespace dusk {

inline constexpr int kListBackground = 20;
inline constexpr int kEntryColor = 46;
inline constexpr int kBonusEntryColor = 44;
inline constexpr int kValueColor = 47;  // headings and values
inline constexpr int kCursorColor = 30;
inline constexpr int kCursorGlyph = 26;  // right arrow
inline constexpr int kHighScoreColor = 5;

}  // namespace dusk
