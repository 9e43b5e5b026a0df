#pragma once

// Labels ask for the Song face 宋体 (SimSun). Maps both names to the nearest
// installed Song face so that Chinese text never shows missing-glyph boxes.
void installSongFaceSubstitutes();
