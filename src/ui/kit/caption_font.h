#pragma once
// The font of a window's or panel's caption: bold, at a size in pixels.
class QLabel;

// Makes `label`'s font bold, at `pixelSize` pixels (0 keeps its size), italic when asked.
void setCaptionFont(QLabel *label, int pixelSize, bool italic = false);
