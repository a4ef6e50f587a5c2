#pragma once
// Window places and sizes are given as the outer rectangle of the window (frame and
// caption included), as the screens were drawn. The client area is that rectangle less
// a standard frame: 8 pixels at the left, right and bottom and a 31-pixel caption.
class QWidget;

inline constexpr int FrameSide = 8;
inline constexpr int FrameCaption = 31;

void placeWindow(QWidget *window, int left, int top, int width, int height);
