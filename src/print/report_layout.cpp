#include "print/report_layout.h"

namespace Report {

Item caption(double left, double top, double width, double height, const QString &text, FontSpec font, Align align)
{
    Item i;
    i.kind = Item::Kind::Caption;
    i.left = left, i.top = top, i.width = width, i.height = height;
    i.text = text;
    i.font = std::move(font);
    i.align = align;
    i.overflow = Overflow::Grow;  // captions take the width of their text
    return i;
}

Item field(double left, double top, double width, double height, const QString &name, FontSpec font, Align align,
           Overflow overflow)
{
    Item i = caption(left, top, width, height, name, std::move(font), align);
    i.kind = Item::Kind::Field;
    i.overflow = overflow;
    return i;
}

Item pageNumber(double left, double top, double width, double height, FontSpec font, Align align)
{
    Item i = caption(left, top, width, height, QString(), std::move(font), align);
    i.kind = Item::Kind::PageNumber;
    i.overflow = Overflow::Shrink;
    return i;
}

Item rect(double left, double top, double width, double height, double pen)
{
    Item i;
    i.kind = Item::Kind::Rect;
    i.left = left, i.top = top, i.width = width, i.height = height;
    i.pen = pen;
    return i;
}

Item hline(double y, double x0, double x1, double pen)
{
    Item i;
    i.kind = Item::Kind::HLine;
    i.left = x0, i.top = y, i.width = x1 - x0;
    i.pen = pen;
    return i;
}

Item vline(double x, double y0, double y1, double pen)
{
    Item i;
    i.kind = Item::Kind::VLine;
    i.left = x, i.top = y0, i.height = y1 - y0;
    i.pen = pen;
    return i;
}

FontSpec arial(double height)
{
    FontSpec f;
    f.family = QStringLiteral("Arial");
    f.height = height;
    return f;
}

FontSpec timesNewRoman(double height)
{
    FontSpec f;
    f.family = QStringLiteral("Times New Roman");
    f.height = height;
    return f;
}

FontSpec bold(FontSpec f)
{
    f.bold = true;
    return f;
}

FontSpec italic(FontSpec f)
{
    f.italic = true;
    return f;
}

FontSpec underlined(FontSpec f)
{
    f.underline = true;
    return f;
}

} // namespace Report
