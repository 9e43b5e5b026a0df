#pragma once

#include <QFont>

// The windows' text asks for the Song face 宋体 (SimSun), which Linux
// desktops don't have under that name.

// Maps both names to the nearest installed Song face so that Chinese text
// never shows missing-glyph boxes. Called once at start-up, before any window.
void installSongFaceSubstitutes();

// The Song face at a size in points.
QFont songFont(double points);
