// The printed report's layout, without a printer: what each page draws,
// where, in which font, and how pictures larger than their place shrink.

#include "CutReportFixtures.h"
#include "core/Common.h"
#include "ui/ReportLayout.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using cuttest::SampleReport;
using cuttest::Solid;

// A4 as a PDF printer gives it; h and w pinned.
constexpr ReportMetrics kA4{9583, 13699, 40, 20};
const QDateTime kPrintedAt(QDate(2026, 1, 2), QTime(8, 5, 9));

std::vector<ReportPage> Layout(int streams, const PrintReportData& record = SampleReport(), ReportMetrics metrics = kA4)
{
    return ReportLayout(metrics, streams, record, kPrintedAt).Pages();
}

const ReportOperation* Find(const ReportPage& page, const QString& text)
{
    const auto found = std::find_if(page.operations.begin(), page.operations.end(),
                                    [&](const ReportOperation& op) { return op.text == text; });
    return found == page.operations.end() ? nullptr : &*found;
}

const ReportOperation* FindImage(const ReportPage& page, ReportImage image)
{
    const auto found = std::find_if(page.operations.begin(), page.operations.end(),
                                    [&](const ReportOperation& op) { return op.image == image; });
    return found == page.operations.end() ? nullptr : &*found;
}

// Where a single line's vertical centre lies.
int Centre(const QRect& rect)
{
    return rect.y() + rect.height() / 2;
}

QString S(int id)
{
    return Common::GetResourceString(id);
}

TEST(ReportLayout, TwoStreamsGiveTwoPages)
{
    const std::vector<ReportPage> pages = Layout(2);
    ASSERT_EQ(pages.size(), 2u);
    const ReportPage& first = pages[0];
    const QPoint body(-1, -80);

    const ReportOperation* title = Find(first, "Velmark Tarsim Report");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->font, ReportFont::Title);
    EXPECT_EQ(title->rect, QRect(0, 0, 800, 120));
    EXPECT_EQ(title->flags, int(Qt::TextSingleLine) | Qt::AlignVCenter | Qt::AlignHCenter);
    EXPECT_EQ(title->windowOrigin, body);

    const ReportOperation* heading = Find(first, S(310));
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->font, ReportFont::Heading);
    EXPECT_EQ(heading->rect.left(), 30);
    EXPECT_EQ(Centre(heading->rect), 130);
    EXPECT_EQ(heading->flags, int(Qt::TextSingleLine) | Qt::AlignVCenter | Qt::AlignLeft);
    const ReportOperation* channel2 = Find(first, "▶ " + S(315));
    ASSERT_TRUE(channel2);
    EXPECT_EQ(channel2->font, ReportFont::Text);
    EXPECT_EQ(Centre(channel2->rect), 590);
    EXPECT_EQ(channel2->rect.left(), 90);
    EXPECT_TRUE(Find(first, "● " + S(313)));
    EXPECT_TRUE(Find(first, "▶ " + S(314)));

    ASSERT_TRUE(FindImage(first, ReportImage::Channel1));
    EXPECT_EQ(FindImage(first, ReportImage::Channel1)->rect, QRect(80, 220, 640, 360));
    EXPECT_EQ(FindImage(first, ReportImage::Channel1)->windowOrigin, body);
    ASSERT_TRUE(FindImage(first, ReportImage::Channel2));
    EXPECT_EQ(FindImage(first, ReportImage::Channel2)->rect, QRect(80, 620, 640, 360));
    EXPECT_FALSE(FindImage(first, ReportImage::Map));

    const ReportPage& second = pages[1];
    EXPECT_FALSE(Find(second, "Velmark Tarsim Report"));
    ASSERT_TRUE(FindImage(second, ReportImage::Map));
    EXPECT_EQ(FindImage(second, ReportImage::Map)->rect, QRect(80, 150, 276, 237));
    ASSERT_TRUE(Find(second, S(311)));
    EXPECT_EQ(Find(second, S(311))->rect.top(), 0);
    ASSERT_TRUE(Find(second, S(312)));
    EXPECT_EQ(Find(second, S(312))->rect, QRect(30, 80, 770, 890)) << "from the bottom 2h to its top";
    EXPECT_TRUE(Find(second, "● Широта : 37.56000000"));
    EXPECT_TRUE(Find(second, "● Долгота : 126.97000000"));
    EXPECT_TRUE(Find(second, "● " + S(316)));
    EXPECT_TRUE(Find(second, "● " + S(317)));
    EXPECT_TRUE(Find(second, "▶ Датчик : X= 0.03125000, Y= -0.06250000, Z= 1.00000000"));

    for (int page = 0; page < 2; ++page) {
        const ReportOperation* footer = Find(pages[page], QString("Page %1 of 2").arg(page + 1));
        ASSERT_TRUE(footer) << page;
        EXPECT_EQ(footer->font, ReportFont::Band);
        EXPECT_EQ(footer->rect, QRect(0, 0, 800, 80));
        EXPECT_EQ(footer->windowOrigin, QPoint(-20, 80 - 1201));
        EXPECT_EQ(footer->flags, int(Qt::TextSingleLine) | Qt::AlignVCenter | Qt::AlignRight | Qt::TextDontClip);
        const ReportOperation* company = Find(pages[page], S(320));
        ASSERT_TRUE(company);
        EXPECT_EQ(company->flags, int(Qt::TextSingleLine) | Qt::AlignVCenter | Qt::AlignLeft | Qt::TextDontClip);
    }
}

TEST(ReportLayout, HeaderShowsTheTimeOfPrintingNotTheRecordingsLines)
{
    for (const ReportPage& page : Layout(2)) {
        const ReportOperation* product = Find(page, "Velmark Tarsim QV7");
        ASSERT_TRUE(product);
        EXPECT_EQ(product->rect, QRect(20, 10, 780, 70));
        EXPECT_EQ(product->windowOrigin, QPoint(-1, 0));
        const ReportOperation* time = Find(page, "2026-1-2  08:05:09 ");
        ASSERT_TRUE(time);
        EXPECT_EQ(time->flags, int(Qt::TextSingleLine) | Qt::AlignVCenter | Qt::AlignRight | Qt::TextDontClip);
        for (const ReportOperation& op : page.operations) {
            EXPECT_FALSE(op.text.contains("DATE-TIME-LINE") || op.text.contains("SPEED-LINE"));
        }
    }
}

TEST(ReportLayout, OneStreamFitsOnePage)
{
    const std::vector<ReportPage> pages = Layout(1);
    ASSERT_EQ(pages.size(), 1u);
    const ReportPage& page = pages[0];
    const int bodyLines = std::count_if(page.operations.begin(), page.operations.end(), [](const ReportOperation& op) {
        return op.image == ReportImage::None && op.windowOrigin == QPoint(-1, -80) && op.font != ReportFont::Title;
    });
    EXPECT_EQ(bodyLines, 10);
    EXPECT_EQ(FindImage(page, ReportImage::Channel1)->rect, QRect(80, 220, 640, 360));
    ASSERT_TRUE(FindImage(page, ReportImage::Map));
    EXPECT_EQ(FindImage(page, ReportImage::Map)->rect, QRect(80, 700, 276, 237));
    EXPECT_FALSE(FindImage(page, ReportImage::Channel2));
    EXPECT_TRUE(Find(page, "Page 1 of 1"));
    EXPECT_EQ(Centre(Find(page, S(312))->rect), 960);
}

TEST(ReportLayout, MoreThanTwoStreamsStillShowTheMap)
{
    const std::vector<ReportPage> pages = Layout(3);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_TRUE(FindImage(pages[1], ReportImage::Map));
    EXPECT_TRUE(Find(pages[1], "Page 2 of 2"));
}

TEST(ReportLayout, AMissingImageLeavesOnlyItsPlaceBlank)
{
    PrintReportData record = SampleReport();
    record.channel2Image = QImage();
    const std::vector<ReportPage> without = Layout(2, record);
    const std::vector<ReportPage> with = Layout(2);
    EXPECT_FALSE(FindImage(without[0], ReportImage::Channel2));
    EXPECT_EQ(without[0].operations.size() + 1, with[0].operations.size());
    EXPECT_EQ(without[1].operations.size(), with[1].operations.size());
}

TEST(ReportLayout, PageHeightFollowsThePrintableArea)
{
    EXPECT_EQ(ReportLayout::PageHeight(9583, 13699), 1201);
    EXPECT_EQ(ReportLayout::PageHeight(4800, 6600), 1155);
    EXPECT_EQ(ReportLayout::PageHeight(4960, 7015), 1188);
    for (const auto& [horizontal, vertical] : {std::pair{0, 6600}, {4800, 0}, {-1, 6600}}) {
        EXPECT_EQ(ReportLayout::PageHeight(horizontal, vertical), 0);
        EXPECT_TRUE(Layout(2, SampleReport(), {horizontal, vertical, 40, 20}).empty());
    }
}

TEST(ReportLayout, LargePicturesShrinkIntoTheirPlaceKeepingTheirShape)
{
    PrintReportData record = SampleReport();
    record.channel1Image = Solid(1920, 1080, Qt::red);
    record.channel2Image = Solid(1920, 1080, Qt::blue);
    record.mapImage = Solid(1196, 700, Qt::green);
    const std::vector<ReportPage> pages = Layout(2, record);
    // The first picture ends above the line of channel 2 (centre 590, cell
    // 15), the second above the footer band, the map above section 3.
    const std::pair<QRect, QRect> placed[] = {
        {FindImage(pages[0], ReportImage::Channel1)->rect, QRect(80, 220, 720, 583 - 220)},
        {FindImage(pages[0], ReportImage::Channel2)->rect, QRect(80, 620, 720, 1201 - 160 - 620)},
        {FindImage(pages[1], ReportImage::Map)->rect, QRect(80, 150, 720, 515 - 150)},
    };
    const double aspects[] = {1920.0 / 1080, 1920.0 / 1080, 1196.0 / 700};
    for (int i = 0; i < 3; ++i) {
        const auto& [rect, slot] = placed[i];
        EXPECT_EQ(rect.topLeft(), slot.topLeft()) << i;
        EXPECT_TRUE(slot.contains(rect)) << i;
        EXPECT_TRUE(rect.width() == slot.width() || rect.height() == slot.height()) << i << " fills its place";
        EXPECT_NEAR(double(rect.width()) / rect.height(), aspects[i], 0.01) << i;
    }
}

}  // namespace
