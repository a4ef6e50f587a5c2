#pragma once
// The description of a banded print layout: a page header, a detail band repeated once per
// row of the line table, and a page footer, each a list of items placed in units of
// 1/96 inch relative to the top-left corner of its band. Layouts are plain data; the
// band renderer interprets them.
#include <QString>
#include <vector>

namespace Report {

// One unit is 1/96 inch.
inline constexpr double UnitsPerInch = 96.0;
inline constexpr double MmPerInch = 25.4;
inline double mmToUnits(double mm) { return mm * UnitsPerInch / MmPerInch; }

struct FontSpec {
    QString family = QStringLiteral("Arial");
    double height = 13;  // in units
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

enum class Align { Left, Right, Centre };

// What happens to a text wider than its field.
enum class Overflow {
    Clip,    // cut at the last whole character that fits (at the side away from the alignment)
    Shrink,  // drawn narrower so that all of it fits (amounts: never lose a digit)
    Grow,    // the field takes the width of its one-line text
};

enum class BandKind { PageHeader, Detail, PageFooter };

struct Item {
    enum class Kind { Caption, Field, PageNumber, Rect, HLine, VLine };
    Kind kind = Kind::Caption;
    double left = 0, top = 0, width = 0, height = 0;  // lines: HLine left..left+width at top; VLine top..top+height at left
    QString text;   // caption text, or the name of the field the data gives
                    // ("table.column", or a computed text set by a band handler)
    Align align = Align::Left;
    FontSpec font;
    double pen = 1;  // line width of shapes, in units
    Overflow overflow = Overflow::Clip;
};

// Lines drawn along the edges of a band.
struct Edges {
    bool left = false, right = false, bottom = false;
};

struct Band {
    double height = 0;
    Edges edges;
    std::vector<Item> items;
};

struct Layout {
    QString name;
    double pageWidthMm = 210, pageHeightMm = 297;  // portrait A4
    double marginMm = 10;                          // on all four sides
    double bandWidth = 718;                        // every band starts at the left margin
    bool pageFrame = false;                        // a frame around the printable area of every page
    Band pageHeader, detail, pageFooter;
};

// Builders used by the layout descriptions.
Item caption(double left, double top, double width, double height, const QString &text, FontSpec font,
             Align align = Align::Left);
Item field(double left, double top, double width, double height, const QString &name, FontSpec font,
           Align align = Align::Left, Overflow overflow = Overflow::Clip);
Item pageNumber(double left, double top, double width, double height, FontSpec font, Align align);
Item rect(double left, double top, double width, double height, double pen = 1);
Item hline(double y, double x0, double x1, double pen = 1);
Item vline(double x, double y0, double y1, double pen = 1);

// Fonts by name and height; style flags added with the helpers.
FontSpec arial(double height);
FontSpec timesNewRoman(double height);
FontSpec bold(FontSpec f);
FontSpec italic(FontSpec f);
FontSpec underlined(FontSpec f);

} // namespace Report
