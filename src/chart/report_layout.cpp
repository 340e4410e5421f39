#include "chart/report_layout.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

#include <algorithm>
#include <numeric>

#include "chart/chart_plot.h"

namespace krelby {
namespace {

constexpr double kMarginMm = 15, kTopMm = 11, kPadMm = 1.2, kRowPadMm = 0.7;
const QColor kHeaderPaper(228, 232, 238), kRule(150, 150, 150), kMarkedPaper(255, 214, 170);

// A heading broken into lines at its spaces only: left to the text engine, "Fuel flow (l/h)"
// would break after the slash.
QString BreakAtSpaces(const QString& text, double width, const QFontMetricsF& fm) {
    QString out, line;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + u' ' + word;
        if (line.isEmpty() || fm.horizontalAdvance(longer) <= width) {
            line = longer;
            continue;
        }
        out += line + u'\n';
        line = word;
    }
    return out + line;
}

}  // namespace

ReportFlow::ReportFlow(QPagedPaintDevice& device, QCPPainter* painter, PageHead head, int pages)
    : device_(device), painter_(painter), head_(std::move(head)), pages_(pages), dpi_(device.logicalDpiY()) {
    BeginPage();
}

QFont ReportFlow::Font(double pt, bool bold) const {
    QFont font(QStringLiteral("DejaVu Sans"));
    // No ligatures: a text copied out of the report reads "flight", not "ﬂight".
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    font.setPointSizeF(std::max(pt, kSmallPt));
    font.setBold(bold);
    return font;
}

double ReportFlow::LineHeight(const QFont& font) const { return QFontMetricsF(font, &device_).height(); }

QRectF ReportFlow::Body() const {
    const double top = Mm(kTopMm) + LineHeight(Font(kTitlePt, true)) + LineHeight(Font(kBodyPt)) + Mm(4);
    return QRectF(Mm(kMarginMm), top, device_.width() - 2 * Mm(kMarginMm), device_.height() - top - Mm(kTopMm));
}

void ReportFlow::BeginPage() {
    ++page_;
    y_ = Body().top();
    if (!painter_) return;
    QPainter& p = *painter_;
    const double left = Mm(kMarginMm), width = device_.width() - 2 * Mm(kMarginMm);
    const QFont title = Font(kTitlePt, true), line = Font(kBodyPt);
    const double titleHeight = LineHeight(title), lineHeight = LineHeight(line);
    double y = Mm(kTopMm);
    p.setPen(Qt::black);
    p.setFont(title);
    const QString number = QString("%1 / %2").arg(page_).arg(pages_);
    const double numberWidth = QFontMetricsF(line, &device_).horizontalAdvance(number) + Mm(4);
    p.drawText(QRectF(left, y, width - numberWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetricsF(title, &device_).elidedText(head_.title, Qt::ElideMiddle, width - numberWidth));
    p.setFont(line);
    p.drawText(QRectF(left, y, width, titleHeight), Qt::AlignRight | Qt::AlignVCenter, number);
    y += titleHeight;
    p.drawText(QRectF(left, y, width, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, head_.line);
    p.drawText(QRectF(left, y, width, lineHeight), Qt::AlignRight | Qt::AlignVCenter, head_.program);
    y += lineHeight + Mm(1.5);
    p.setPen(QPen(kRule, Mm(0.3)));
    p.drawLine(QPointF(left, y), QPointF(left + width, y));
}

void ReportFlow::NewPage() {
    if (painter_) device_.newPage();
    BeginPage();
}

void ReportFlow::Heading(const QString& text, double keep) {
    const QFont font = Font(kHeadingPt, true);
    const QRectF body = Body();
    const double height =
        QFontMetricsF(font, &device_).boundingRect(QRectF(0, 0, body.width(), 1e9), Qt::TextWordWrap, text).height();
    if (y_ > body.top() && Room() < height + Mm(1.5) + keep) NewPage();
    if (y_ > body.top()) y_ += Mm(3);
    if (painter_) {
        painter_->setFont(font);
        painter_->setPen(Qt::black);
        painter_->drawText(QRectF(body.left(), y_, body.width(), height), Qt::TextWordWrap, text);
    }
    y_ += height + Mm(1.5);
}

void ReportFlow::Subheading(const QString& text, double keep) {
    if (y_ > Body().top() && Room() < LineHeight(Font(kBodyPt, true)) + Mm(1.5) + keep) NewPage();
    if (y_ > Body().top()) y_ += Mm(1.5);
    Paragraph(text, kBodyPt, true);
}

void ReportFlow::Paragraph(const QString& text, double pt, bool bold, double indent) {
    const QFont font = Font(pt, bold);
    const QRectF body = Body();
    const double width = body.width() - Mm(indent);
    const QRectF need = QFontMetricsF(font, &device_).boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text);
    if (Room() < need.height() && y_ > body.top()) NewPage();
    if (painter_) {
        painter_->setFont(font);
        painter_->setPen(Qt::black);
        painter_->drawText(QRectF(body.left() + Mm(indent), y_, width, need.height()), Qt::TextWordWrap, text);
    }
    y_ += need.height() + Mm(0.8);
}

std::vector<double> ReportFlow::ColumnWidths(const TextTable& table, const QString& firstColumn,
                                             const QFont& bold) const {
    const QFontMetricsF strong(bold, &device_);  // a marked cell is bold
    const double slack = 2 * Mm(kPadMm) + Mm(0.5);  // the slack keeps a fitting text on one line
    // Each column as wide as its widest text, and at the least as its widest cell (a heading
    // may wrap, a figure not).
    std::vector<double> widths(size_t(table.columns.size()) + 1, 0), least(widths.size(), 0);
    for (const TextTable::Row& row : table.rows) {
        least[0] = std::max(least[0], strong.horizontalAdvance(row.heading));
        for (size_t c = 0; c < row.cells.size(); ++c)
            least[c + 1] = std::max(least[c + 1], strong.horizontalAdvance(row.cells[c].text));
    }
    widths[0] = std::max(least[0], strong.horizontalAdvance(firstColumn));
    for (qsizetype c = 0; c < table.columns.size(); ++c)
        widths[size_t(c) + 1] = std::max(least[size_t(c) + 1], strong.horizontalAdvance(table.columns[c]));
    for (size_t c = 0; c < widths.size(); ++c) {
        widths[c] += slack;
        least[c] += slack;
    }
    const double room = Body().width(), total = std::accumulate(widths.begin(), widths.end(), 0.0);
    if (total <= room) return widths;
    // Too wide for the page: the headings wrap first, each column giving up a share of what
    // it has beyond its cells; then every column alike.
    const double spare = total - std::accumulate(least.begin(), least.end(), 0.0);
    const double give = std::min(1.0, (total - room) / std::max(spare, 1e-9));
    for (size_t c = 0; c < widths.size(); ++c) widths[c] -= (widths[c] - least[c]) * give;
    const double left = std::accumulate(widths.begin(), widths.end(), 0.0);
    if (left > room)
        for (double& w : widths) w *= room / left;
    return widths;
}

double ReportFlow::RowHeight(const QStringList& texts, const std::vector<double>& widths, const QFont& font) const {
    const QFontMetricsF fm(font, &device_);
    double height = fm.height();
    for (qsizetype c = 0; c < texts.size(); ++c)
        height = std::max(height, fm.boundingRect(QRectF(0, 0, widths[size_t(c)] - 2 * Mm(kPadMm), 1e9),
                                                  Qt::TextWordWrap, texts[c]).height());
    return height + 2 * Mm(kRowPadMm);
}

void ReportFlow::DrawRow(const QStringList& texts, const std::vector<bool>& marked, const std::vector<double>& widths,
                         const QFont& font, const QFont& bold, double height, bool header) {
    if (!painter_) return;
    QPainter& p = *painter_;
    double x = Body().left();
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    if (header) p.fillRect(QRectF(x, y_, total, height), kHeaderPaper);
    for (qsizetype c = 0; c < texts.size(); ++c) {
        const QRectF cell(x, y_, widths[size_t(c)], height);
        const bool mark = !header && size_t(c) < marked.size() && marked[size_t(c)];
        if (mark) p.fillRect(cell, kMarkedPaper);
        p.setFont(header || mark ? bold : font);
        p.setPen(Qt::black);
        const int align = c == 0 ? Qt::AlignLeft : Qt::AlignRight;
        p.drawText(cell.adjusted(Mm(kPadMm), Mm(kRowPadMm), -Mm(kPadMm), -Mm(kRowPadMm)),
                   align | Qt::AlignVCenter | Qt::TextWordWrap, texts[c]);
        x += widths[size_t(c)];
    }
    p.setPen(QPen(kRule, Mm(0.15)));
    p.drawLine(QPointF(Body().left(), y_ + height), QPointF(Body().left() + total, y_ + height));
}

void ReportFlow::Table(const TextTable& table, const QString& firstColumn) {
    const QFont font = Font(kBodyPt - 0.5), bold = Font(kBodyPt - 0.5, true);
    const std::vector<double> widths = ColumnWidths(table, firstColumn, bold);
    QStringList header = QStringList{firstColumn} + table.columns;
    const QFontMetricsF strong(bold, &device_);
    for (qsizetype c = 0; c < header.size(); ++c)
        header[c] = BreakAtSpaces(header[c], widths[size_t(c)] - 2 * Mm(kPadMm), strong);
    const double headerHeight = RowHeight(header, widths, bold);
    bool headed = false;
    for (const TextTable::Row& row : table.rows) {
        QStringList texts{row.heading};
        std::vector<bool> marked{false};
        for (const TextTable::Cell& c : row.cells) {
            texts << c.text;
            marked.push_back(c.marked);
        }
        const double height = RowHeight(texts, widths, bold);
        if (Room() < height + (headed ? 0 : headerHeight)) {
            NewPage();
            headed = false;
        }
        if (!headed) {
            DrawRow(header, {}, widths, font, bold, headerHeight, true);
            y_ += headerHeight;
            headed = true;
        }
        DrawRow(texts, marked, widths, font, bold, height, false);
        y_ += height;
    }
    y_ += Mm(2);
}

void ReportFlow::Picture(double height, const std::function<void(QCPPainter&, const QRectF&)>& paint) {
    if (Room() < height && y_ > Body().top()) NewPage();
    const QRectF area(Body().left(), y_, Body().width(), std::min(height, Body().height()));
    if (painter_) {
        painter_->save();
        paint(*painter_, area);
        painter_->restore();
    }
    y_ += area.height() + Mm(2);
}

void ReportFlow::RestOfPage(double least, const std::function<void(QCPPainter&, const QRectF&)>& paint) {
    if (Room() < least && y_ > Body().top()) NewPage();
    Picture(Room(), paint);
}

}  // namespace krelby
