#include "ui/kit/window_geometry.h"

#include <QWidget>

void placeWindow(QWidget *window, int left, int top, int width, int height)
{
    window->move(left, top);
    window->resize(width - 2 * FrameSide, height - FrameCaption - FrameSide);
}
