#pragma once

namespace zel {

// The cells a character takes on the character grid, as terminals count them: two for East
// Asian Width Wide and Fullwidth (CJK ideographs, kana, Hangul, fullwidth forms), none for a
// combining mark or an invisible format character (joiners, direction marks), one otherwise.
int cellsOf(char32_t c);

}  // namespace zel
