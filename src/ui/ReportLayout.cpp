#include "ui/ReportLayout.h"

#include "core/Common.h"
#include "core/Numbers.h"
#include "platform/MulDiv.h"
#include "platform/gdi/GdiCompat.h"
#include "ui/TimeText.h"

#include <algorithm>

namespace {

const QString kTitle = QStringLiteral("Velmark Tarsim Report");
const QString kProductLine = QStringLiteral("Velmark Tarsim QV7");
const QString kBullet = QStringLiteral("● ");
const QString kArrow = QStringLiteral("▶ ");

// Texts of the string table.
constexpr int kRecordSection = 310;
constexpr int kPositionSection = 311;
constexpr int kSensorSection = 312;
constexpr int kImage = 313;
constexpr int kChannel1 = 314;
constexpr int kChannel2 = 315;
constexpr int kMap = 316;
constexpr int kSensorReading = 317;
constexpr int kCompanyLine = 320;

constexpr int kLineFlags = int(Qt::TextSingleLine) | int(Qt::AlignVCenter);

QString Text(int id)
{
    return Common::GetResourceString(id);
}

}  // namespace

ReportLayout::ReportLayout(const ReportMetrics& metrics, int streamCount, const PrintReportData& record,
                           const QDateTime& printedAt)
    : metrics(metrics),
      streamCount(streamCount),
      record(record),
      printedAt(printedAt),
      pageHeight(PageHeight(metrics.horizontalResolution, metrics.verticalResolution))
{
}

int ReportLayout::PageHeight(int horizontalResolution, int verticalResolution)
{
    if (horizontalResolution <= 0 || verticalResolution <= 0) {
        return 0;
    }
    return platform::MulDiv(kPageWidth, verticalResolution, horizontalResolution);
}

int ReportLayout::PageCount(int streamCount)
{
    return streamCount >= 2 ? 2 : 1;
}

QString ReportLayout::TimeText(const QDateTime& time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    return Numbers::FormatInt(date.year()) + u'-' + Numbers::FormatInt(date.month()) + u'-' +
           Numbers::FormatInt(date.day()) + QStringLiteral("  ") + FormatTwoDigits(clock.hour()) + u':' +
           FormatTwoDigits(clock.minute()) + u':' + FormatTwoDigits(clock.second()) + u' ';
}

int ReportLayout::CellHeight(ReportFont font)
{
    switch (font) {
    case ReportFont::Title: return 40;
    case ReportFont::Heading: return 20;
    case ReportFont::Text:
    case ReportFont::Band: return 15;
    }
    return 15;
}

std::vector<ReportPage> ReportLayout::Pages() const
{
    std::vector<ReportPage> pages;
    if (pageHeight <= 0) {
        return pages;
    }
    for (int page = 1; page <= PageCount(streamCount); ++page) {
        pages.push_back(Page(page));
    }
    return pages;
}

ReportPage ReportLayout::Page(int pageNumber) const
{
    ReportPage page;
    if (pageHeight <= 0 || pageNumber < 1 || pageNumber > PageCount(streamCount)) {
        return page;
    }
    // The title's band on the first page ends 40 below the header's height.
    const int bottom = 2 * metrics.lineHeight + (pageNumber == 1 ? 40 : 0);
    const std::vector<Line> lines = BodyLines(pageNumber);
    DrawHeader(page);
    DrawImages(page, Placements(pageNumber), lines, bottom);
    DrawReportBody(page, pageNumber, lines, bottom);
    DrawFooter(page, pageNumber);
    return page;
}

QPoint ReportLayout::BodyOrigin() const
{
    // The body's y = 0 lies 2h below the top of the page.
    return {-1, -2 * metrics.lineHeight};
}

void ReportLayout::DrawHeader(ReportPage& page) const
{
    const QRect band = gdi::RectLTRB(20, 10, kPageWidth - 2 * metrics.charWidth, 2 * metrics.lineHeight);
    const int flags = kLineFlags | Qt::TextDontClip;
    const QPoint origin(-1, 0);
    page.operations.push_back({ReportFont::Band, band, flags | Qt::AlignLeft, kProductLine, ReportImage::None, origin});
    page.operations.push_back(
        {ReportFont::Band, band, flags | Qt::AlignRight, TimeText(printedAt), ReportImage::None, origin});
}

std::vector<ReportLayout::Line> ReportLayout::BodyLines(int pageNumber) const
{
    const QString latitude = kBullet + record.GetLatitudeText();
    const QString longitude = kBullet + record.GetLongitudeText();
    const QString sensor = kArrow + record.GetGSensorText();
    if (streamCount >= 2 && pageNumber == 2) {
        return {{ReportFont::Heading, Text(kPositionSection), 30, 0},
                {ReportFont::Text, latitude, 60, 90},
                {ReportFont::Text, longitude, 60, 130},
                {ReportFont::Text, kBullet + Text(kMap), 60, 170},
                {ReportFont::Heading, Text(kSensorSection), 30, 970},
                {ReportFont::Text, kBullet + Text(kSensorReading), 60, 1050},
                {ReportFont::Text, sensor, 90, 1090}};
    }
    std::vector<Line> lines = {{ReportFont::Heading, Text(kRecordSection), 30, 140},
                               {ReportFont::Text, kBullet + Text(kImage), 60, 220},
                               {ReportFont::Text, kArrow + Text(kChannel1), 90, 260}};
    if (streamCount >= 2) {
        lines.push_back({ReportFont::Text, kArrow + Text(kChannel2), 90, 1060});
        return lines;
    }
    lines.insert(lines.end(), {{ReportFont::Heading, Text(kPositionSection), 30, 1080},
                               {ReportFont::Text, latitude, 60, 1170},
                               {ReportFont::Text, longitude, 60, 1210},
                               {ReportFont::Text, kBullet + Text(kMap), 60, 1250},
                               {ReportFont::Heading, Text(kSensorSection), 30, 1800},
                               {ReportFont::Text, kBullet + Text(kSensorReading), 60, 1840},
                               {ReportFont::Text, sensor, 90, 1880}});
    return lines;
}

std::vector<ReportLayout::Placement> ReportLayout::Placements(int pageNumber) const
{
    if (pageNumber == 2) {
        // Every report of two pages shows the map on its second.
        return {{ReportImage::Map, {80, 150}, false}};
    }
    if (streamCount >= 2) {
        return {{ReportImage::Channel1, {80, 220}, true}, {ReportImage::Channel2, {80, 620}, true}};
    }
    return {{ReportImage::Channel1, {80, 220}, true}, {ReportImage::Map, {80, 700}, false}};
}

QImage ReportLayout::ImageOf(ReportImage image) const
{
    switch (image) {
    case ReportImage::Channel1: return record.channel1Image;
    case ReportImage::Channel2: return record.channel2Image;
    case ReportImage::Map: return record.mapImage;
    case ReportImage::None: break;
    }
    return {};
}

void ReportLayout::DrawImages(ReportPage& page, const std::vector<Placement>& placements,
                              const std::vector<Line>& lines, int bottom) const
{
    for (const Placement& placement : placements) {
        const QImage image = ImageOf(placement.image);
        if (image.isNull()) {
            continue;
        }
        QSize size = placement.half ? QSize(image.width() / 2, image.height() / 2) : image.size();
        // The image's slot ends before the right margin and above the next
        // line below it, or above the footer band; a larger image is scaled
        // down into it, keeping its aspect.
        int slotBottom = pageHeight - 4 * metrics.lineHeight;
        for (const Line& line : lines) {
            const int centre = (line.top + bottom) / 2;
            if (centre > placement.at.y()) {
                slotBottom = std::min(slotBottom, centre - CellHeight(line.font) / 2);
            }
        }
        const QSize slot(kPageWidth - 2 * metrics.charWidth - placement.at.x(), slotBottom - placement.at.y());
        if (slot.width() <= 0 || slot.height() <= 0 || size.isEmpty()) {
            continue;
        }
        if (size.width() > slot.width() || size.height() > slot.height()) {
            size = size.scaled(slot, Qt::KeepAspectRatio);
        }
        page.operations.push_back(
            {ReportFont::Text, QRect(placement.at, size), 0, QString(), placement.image, BodyOrigin()});
    }
}

void ReportLayout::DrawReportBody(ReportPage& page, int pageNumber, const std::vector<Line>& lines, int bottom) const
{
    if (pageNumber == 1) {
        DrawReportLine(page, {ReportFont::Title, kTitle, 0, 0}, bottom, Qt::AlignHCenter);
    }
    for (const Line& line : lines) {
        DrawReportLine(page, line, bottom, Qt::AlignLeft);
    }
}

void ReportLayout::DrawReportLine(ReportPage& page, const Line& line, int bottom, Qt::Alignment alignment) const
{
    // The line is centred between its top and the fixed bottom, also when
    // the top lies below the bottom, and clipped to the span between them.
    const QRect rect = gdi::RectLTRB(line.left, std::min(line.top, bottom), kPageWidth - 2 * metrics.charWidth,
                                     std::max(line.top, bottom));
    page.operations.push_back(
        {line.font, rect, kLineFlags | static_cast<int>(alignment), line.text, ReportImage::None, BodyOrigin()});
}

void ReportLayout::DrawFooter(ReportPage& page, int pageNumber) const
{
    const QRect band = gdi::RectLTRB(0, 0, kPageWidth - 2 * metrics.charWidth, 2 * metrics.lineHeight);
    const int flags = kLineFlags | Qt::TextDontClip;
    // The footer band is the bottom 2h of the page.
    const QPoint origin(-metrics.charWidth, 2 * metrics.lineHeight - pageHeight);
    const QString number = QStringLiteral("Page ") + Numbers::FormatInt(pageNumber) + QStringLiteral(" of ") +
                           Numbers::FormatInt(PageCount(streamCount));
    page.operations.push_back(
        {ReportFont::Band, band, flags | Qt::AlignLeft, Text(kCompanyLine), ReportImage::None, origin});
    page.operations.push_back({ReportFont::Band, band, flags | Qt::AlignRight, number, ReportImage::None, origin});
}
