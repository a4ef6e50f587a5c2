#include "ui/kit/caption_font.h"

#include <QLabel>

void setCaptionFont(QLabel *label, int pixelSize, bool italic)
{
    QFont f = label->font();
    f.setBold(true);
    if (pixelSize > 0)
        f.setPixelSize(pixelSize);
    if (italic)
        f.setItalic(true);
    label->setFont(f);
}
