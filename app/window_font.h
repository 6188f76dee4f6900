#pragma once
// The window's font: a Song/Ming face at 9 points with a CJK sans face behind
// it, so every Chinese character has a glyph.

namespace qv::app {

// Makes it the application's default font. Call after QApplication exists.
void useWindowFont();

} // namespace qv::app
