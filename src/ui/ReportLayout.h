#pragma once
// The printed report as data: for each page, the draw operations (font,
// rectangle, flags, text or image, window origin) in logical units of a page
// 840 wide. Pure: no painter, no printer; CPrintControl plays them.
//
// A page is a header band (product line, time of printing), the body (title,
// headings, images, data lines) and a footer band (company line, page
// number), each band 2h high, h being the title font's line height.

#include "ui/PrintReportData.h"

#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

enum class ReportFont { Title, Heading, Text, Band };
enum class ReportImage { None, Channel1, Channel2, Map };

struct ReportOperation {
    ReportFont font = ReportFont::Text;
    QRect rect;  // in the window that origin sets
    int flags = 0;  // Qt::AlignmentFlag | Qt::TextFlag
    QString text;  // a text, when image is None
    ReportImage image = ReportImage::None;
    QPoint windowOrigin;  // the logical point at the page's top left
};

struct ReportPage {
    std::vector<ReportOperation> operations;
};

// What the printer measured: its printable area in device pixels (HORZRES,
// VERTRES) and the title font's line height h and mean letter width w.
struct ReportMetrics {
    int horizontalResolution = 0;
    int verticalResolution = 0;
    int lineHeight = 0;
    int charWidth = 0;
};

class ReportLayout {
public:
    static constexpr int kPageWidth = 840;

    ReportLayout(const ReportMetrics& metrics, int streamCount, const PrintReportData& record,
                 const QDateTime& printedAt);

    // MulDiv(840, VERTRES, HORZRES); 0 when either is 0 or less.
    static int PageHeight(int horizontalResolution, int verticalResolution);
    // Two pages for two or more video streams, else one.
    static int PageCount(int streamCount);
    // "%d-%d-%d  %.2d:%.2d:%.2d ".
    static QString TimeText(const QDateTime& time);
    // The cell height each font is made with.
    static int CellHeight(ReportFont font);

    int PageHeight() const { return pageHeight; }
    // Empty when the printer has no printable area.
    std::vector<ReportPage> Pages() const;
    // page from 1.
    ReportPage Page(int page) const;
    // The record's picture an operation draws.
    QImage ImageOf(ReportImage image) const;

private:
    struct Line {
        ReportFont font;
        QString text;
        int left;
        int top;
    };
    struct Placement {
        ReportImage image;
        QPoint at;
        bool half;
    };

    void DrawHeader(ReportPage& page) const;
    void DrawImages(ReportPage& page, const std::vector<Placement>& placements, const std::vector<Line>& lines,
                    int bottom) const;
    void DrawReportBody(ReportPage& page, int pageNumber, const std::vector<Line>& lines, int bottom) const;
    void DrawFooter(ReportPage& page, int pageNumber) const;
    void DrawReportLine(ReportPage& page, const Line& line, int bottom, Qt::Alignment alignment) const;
    std::vector<Line> BodyLines(int pageNumber) const;
    std::vector<Placement> Placements(int pageNumber) const;
    QPoint BodyOrigin() const;

    ReportMetrics metrics;
    int streamCount;
    PrintReportData record;
    QDateTime printedAt;
    int pageHeight;
};
