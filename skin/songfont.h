#pragma once

#include <QFont>

// The windows' text asks for the Song face 宋体 (SimSun), which Linux
// desktops don't have under that name.

// Maps both names to the nearest installed Song face so that Chinese text
// never shows missing-glyph boxes. Called once at start-up, before any window.
void installSongFaceSubstitutes();

// The Song face at a size in points.
QFont songFont(double points);

// The Song face for the result figures and for running text: Noto Serif CJK
// SC where installed (Debian's fonts-noto-cjk), then 宋体. At 10.5 pt its
// digits stand 11 pixels high where AR PL UMing's stand 9
// (tools/legibility.cpp measures the faces), and its lines lie 20 pixels
// apart where UMing's overlap (13 pixels for a 14-pixel face).
QFont readingSongFont(double points);
