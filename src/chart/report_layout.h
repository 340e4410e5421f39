// The flight report's pages: the title block on each, with "2 / 5", and a flow of headings,
// paragraphs, tables and pictures down the body, each moved to the next page when it does
// not fit; a table that runs on repeats its header there. Laid out twice: once without
// drawing to count the pages, then drawn. Private to the flight report.
#pragma once
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "chart/engine_rows.h"

class QPagedPaintDevice;
class QCPPainter;

namespace krelby {

// What heads every page: the flight's name, its date and times, the program.
struct PageHead {
    QString title;   // the flight file's name
    QString line;    // "5 March 2014 · 09:41:17 to 09:48:16 · 6 min 59 s"
    QString program; // "Krelby 1.4.0"
};

// Sizes of the text, in points: nothing smaller than kSmallPt is printed.
constexpr double kBodyPt = 9, kSmallPt = 7.5, kHeadingPt = 12, kTitlePt = 13;

class ReportFlow {
public:
    // `painter` null: a dry run, which counts the pages and draws nothing.
    ReportFlow(QPagedPaintDevice& device, QCPPainter* painter, PageHead head, int pages);
    double Dpi() const { return dpi_; }
    int Pages() const { return page_; }

    double Mm(double mm) const { return mm * dpi_ / 25.4; }
    QFont Font(double pt, bool bold = false) const;
    QRectF Body() const;  // of a page, under the title block
    double Room() const { return Body().bottom() - y_; }

    // A section's heading, kept with `keep` of room under it (the start of what follows).
    void Heading(const QString& text, double keep);
    // A bold line over what follows, kept with `keep` of room under it.
    void Subheading(const QString& text, double keep);
    // Wrapped text; `indent` in mm.
    void Paragraph(const QString& text, double pt = kBodyPt, bool bold = false, double indent = 0);
    // A table with its header repeated on each page it runs onto; `firstColumn`: the row
    // headings' column heading ("" for none).
    void Table(const TextTable& table, const QString& firstColumn = {});
    void Space(double mm) { y_ += Mm(mm); }
    // A picture `height` high across the body (moved to a new page when it does not fit);
    // `paint` draws it into its rectangle, and is not called on the dry run.
    void Picture(double height, const std::function<void(QCPPainter&, const QRectF&)>& paint);
    // The rest of this page, or a page of its own when less than `least` of it is left.
    void RestOfPage(double least, const std::function<void(QCPPainter&, const QRectF&)>& paint);
    void NewPage();

private:
    void BeginPage();
    double LineHeight(const QFont& font) const;
    // Column widths that fit the body, the first column's the row headings'.
    std::vector<double> ColumnWidths(const TextTable& table, const QString& firstColumn, const QFont& bold) const;
    double RowHeight(const QStringList& texts, const std::vector<double>& widths, const QFont& font) const;
    void DrawRow(const QStringList& texts, const std::vector<bool>& marked, const std::vector<double>& widths,
                 const QFont& font, const QFont& bold, double height, bool header);

    QPagedPaintDevice& device_;
    QCPPainter* painter_;
    PageHead head_;
    int pages_;  // in all, once known (0 on the dry run)
    int page_ = 0;
    double dpi_;
    double y_ = 0;
};

}  // namespace krelby
