#include "print/band_renderer.h"

#include "data/app_error.h"
#include "print/print_fonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <memory>

namespace Report {

void applyPageSetup(QPagedPaintDevice &device, const Layout &layout)
{
    const QPageSize size(QSizeF(layout.pageWidthMm, layout.pageHeightMm), QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyMatch);
    const QMarginsF margins(layout.marginMm, layout.marginMm, layout.marginMm, layout.marginMm);
    device.setPageLayout(QPageLayout(size, QPageLayout::Portrait, margins, QPageLayout::Millimeter));
}

QSizeF printableArea(const QPaintDevice &device)
{
    return {device.width() * UnitsPerInch / device.logicalDpiX(), device.height() * UnitsPerInch / device.logicalDpiY()};
}

int rowsPerPage(const Layout &layout, double areaHeight)
{
    const double room = areaHeight - layout.pageHeader.height - layout.pageFooter.height;
    // A small tolerance keeps a row whose bottom meets the footer exactly.
    const int rows = layout.detail.height > 0 ? int(std::floor(room / layout.detail.height + 1e-6)) : 0;
    if (rows < 1)
        throw AppError(QStringLiteral("La pagina non contiene nessuna riga della stampa \"%1\"").arg(layout.name));
    return rows;
}

int pageCount(const Layout &layout, int rows, double areaHeight)
{
    const int perPage = rowsPerPage(layout, areaHeight);
    return rows <= 0 ? 1 : (rows + perPage - 1) / perPage;
}

namespace {

QString fontKey(const FontSpec &f)
{
    return QStringLiteral("%1|%2|%3%4%5").arg(f.family).arg(f.height).arg(int(f.bold)).arg(int(f.italic)).arg(int(f.underline));
}

// A field's text on one line: line breaks and tabs print as blanks.
QString oneLine(QString text)
{
    for (QChar &c : text)
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    return text;
}

class PagePainter {
public:
    PagePainter(QPainter &painter, const QPaintDevice &device)
        : m_p(painter), m_device(device), m_sx(device.logicalDpiX() / UnitsPerInch), m_sy(device.logicalDpiY() / UnitsPerInch)
    {
    }

    void drawBand(const Band &band, double bandTop, double bandWidth, const ReportData &data, BandKind kind, int row, int page)
    {
        for (const Item &item : band.items)
            drawItem(item, bandTop, data, kind, row, page);
        if (band.edges.left)
            line(QPointF(0.5, bandTop), QPointF(0.5, bandTop + band.height), 1);
        if (band.edges.right)
            line(QPointF(bandWidth - 0.5, bandTop), QPointF(bandWidth - 0.5, bandTop + band.height), 1);
        if (band.edges.bottom)
            line(QPointF(0, bandTop + band.height - 0.5), QPointF(bandWidth, bandTop + band.height - 0.5), 1);
    }

    void frame(const QSizeF &area) { box(QRectF(QPointF(0, 0), area), 1); }

private:
    struct Font {
        QFont font;
        QFontMetricsF metrics;
    };

    QPointF dev(QPointF p) const { return {p.x() * m_sx, p.y() * m_sy}; }

    const Font &font(const FontSpec &style)
    {
        const QString key = fontKey(style);
        auto it = m_fonts.find(key);
        if (it == m_fonts.end()) {
            const QFont f = printFont(style);
            it = m_fonts.insert(key, std::make_shared<Font>(Font{f, QFontMetricsF(f, &m_device)}));
        }
        return **it;
    }

    void usePen(double width)
    {
        if (width != m_penWidth) {
            m_p.setPen(QPen(Qt::black, width * m_sx, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            m_penWidth = width;
        }
    }

    void line(QPointF a, QPointF b, double pen)
    {
        usePen(pen);
        m_p.drawLine(dev(a), dev(b));
    }

    // A rectangle whose outline stays inside its box.
    void box(const QRectF &r, double pen)
    {
        usePen(pen);
        m_p.setBrush(Qt::NoBrush);
        const double h = pen / 2;
        m_p.drawRect(QRectF(dev(r.topLeft() + QPointF(h, h)), dev(r.bottomRight() - QPointF(h, h))));
    }

    void drawItem(const Item &item, double bandTop, const ReportData &data, BandKind kind, int row, int page)
    {
        switch (item.kind) {
        case Item::Kind::Rect:
            box(QRectF(item.left, bandTop + item.top, item.width, item.height), item.pen);
            return;
        case Item::Kind::HLine:
            line(QPointF(item.left, bandTop + item.top), QPointF(item.left + item.width, bandTop + item.top), item.pen);
            return;
        case Item::Kind::VLine:
            line(QPointF(item.left, bandTop + item.top), QPointF(item.left, bandTop + item.top + item.height), item.pen);
            return;
        case Item::Kind::Caption:
            text(item, bandTop, item.text);
            return;
        case Item::Kind::PageNumber:
            text(item, bandTop, QString::number(page));
            return;
        case Item::Kind::Field:
            text(item, bandTop, data.text(kind, row, item.text));
            return;
        }
    }

    // The longest part of `s` that fits in `width`: its beginning, or its end when `fromEnd`.
    static QString cut(const QString &s, double width, const QFontMetricsF &fm, bool fromEnd)
    {
        qsizetype lo = 0, hi = s.size();  // lo fits, hi does not
        while (hi - lo > 1) {
            const qsizetype mid = (lo + hi) / 2;
            const double w = fm.horizontalAdvance(fromEnd ? s.right(mid) : s.left(mid));
            (w <= width ? lo : hi) = mid;
        }
        QString part = fromEnd ? s.right(lo) : s.left(lo);
        if (!part.isEmpty() && !fromEnd && part.back().isHighSurrogate())
            part.chop(1);
        if (!part.isEmpty() && fromEnd && part.front().isLowSurrogate())
            part.remove(0, 1);
        return part;
    }

    // Widths are measured on the device, in its pixels; positions convert from units.
    void text(const Item &item, double bandTop, const QString &raw)
    {
        if (raw.isEmpty())
            return;
        QString s = oneLine(raw);
        const Font &f = font(item.font);
        double width = f.metrics.horizontalAdvance(s);
        double left = item.left * m_sx, room = item.width * m_sx;
        double stretch = 1;
        if (width > room + 1e-6) {
            switch (item.overflow) {
            case Overflow::Grow:
                if (item.align == Align::Right)
                    left -= width - room;
                else if (item.align == Align::Centre)
                    left -= (width - room) / 2;
                room = width;
                break;
            case Overflow::Shrink:
                stretch = room / width;
                width = room;
                break;
            case Overflow::Clip:
                s = cut(s, room, f.metrics, item.align == Align::Right);
                width = f.metrics.horizontalAdvance(s);
                break;
            }
        }
        double x = left;
        if (item.align == Align::Right)
            x = left + room - width;
        else if (item.align == Align::Centre)
            x = left + (room - width) / 2;
        const QPointF at(x, (bandTop + item.top) * m_sy + f.metrics.ascent());
        if (m_penWidth != 0) {
            m_p.setPen(QPen(Qt::black));
            m_penWidth = 0;
        }
        m_p.setFont(f.font);
        if (stretch == 1) {
            m_p.drawText(at, s);
            return;
        }
        m_p.save();
        m_p.translate(at);
        m_p.scale(stretch, 1);
        m_p.drawText(QPointF(0, 0), s);
        m_p.restore();
    }

    QPainter &m_p;
    const QPaintDevice &m_device;
    const double m_sx, m_sy;
    double m_penWidth = -1;  // 0: the text pen is set
    QHash<QString, std::shared_ptr<Font>> m_fonts;
};

} // namespace

int render(const Layout &layout, ReportData &data, QPainter &painter, QPagedPaintDevice &device)
{
    const QSizeF area = printableArea(device);
    const int rows = data.rowCount();
    const int perPage = rowsPerPage(layout, area.height());
    const int pages = pageCount(layout, rows, area.height());
    const double footerTop = area.height() - layout.pageFooter.height;

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PagePainter pp(painter, device);
    int row = 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !device.newPage())
            throw AppError(QStringLiteral("Impossibile iniziare la pagina %1 della stampa").arg(page));
        if (layout.pageFrame)
            pp.frame(area);
        data.beforeBand(BandKind::PageHeader, page);
        pp.drawBand(layout.pageHeader, 0, layout.bandWidth, data, BandKind::PageHeader, -1, page);
        double top = layout.pageHeader.height;
        for (int k = 0; k < perPage && row < rows; ++k, ++row) {
            data.beforeBand(BandKind::Detail, page);
            pp.drawBand(layout.detail, top, layout.bandWidth, data, BandKind::Detail, row, page);
            top += layout.detail.height;
        }
        data.beforeBand(BandKind::PageFooter, page);
        pp.drawBand(layout.pageFooter, footerTop, layout.bandWidth, data, BandKind::PageFooter, -1, page);
    }
    return pages;
}

} // namespace Report
