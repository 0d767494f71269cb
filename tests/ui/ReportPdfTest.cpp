// The printed report through Qt's PDF printer, read back by poppler: pages,
// texts, fonts and where the pictures landed; and printers that fail.

#include "CutReportFixtures.h"
#include "core/Common.h"
#include "playback/RealComponents.h"
#include "support/FileFixtures.h"
#include "support/TestSupport.h"
#include "support/gui/NextModal.h"
#include "support/gui/Screenshot.h"
#include "ui/CPrintControl.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace cuttest;
using realcheck::Colour;
using realcheck::Describe;
using realcheck::Is;

const QDateTime kPrintedAt(QDate(2026, 1, 2), QTime(8, 5, 9));

// A poppler tool's standard output; fails the test when it does not run.
QByteArray Tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool ran = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                     process.exitCode() == 0;
    EXPECT_TRUE(ran) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

bool PopplerInstalled()
{
    for (const char* tool : {"pdfinfo", "pdftotext", "pdffonts", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            return false;
        }
    }
    return true;
}

#define REQUIRE_POPPLER() KESTROV_REQUIRE_REAL_OR_SKIP(PopplerInstalled(), "poppler-utils are not installed")

class ReportPdf : public testing::Test {
protected:
    QTemporaryDir dir;
    QString pdf = dir.path() + "/report.pdf";
    std::unique_ptr<ApplicationHub> hub = MakeHub();
    ScopedRecordingNotifier boxes;

    static void UsePdf(QPrinter& printer, const QString& file)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    }

    // A printer for the report at kPrintedAt.
    std::unique_ptr<CPrintControl> Control() const
    {
        auto control = std::make_unique<CPrintControl>(*hub);
        control->report = SampleReport();
        control->SetClock([] { return kPrintedAt; });
        return control;
    }
    bool Print(QPrinter& printer, int streams) const { return Control()->PrintTo(printer, streams); }

    // The pages as pdftoppm renders them at dpi.
    std::vector<QImage> Pages(int dpi) const
    {
        Tool("pdftoppm", {"-r", QString::number(dpi), "-png", pdf, dir.path() + "/page"});
        std::vector<QImage> pages;
        for (const QString& name : QDir(dir.path()).entryList({"page-*.png"}, QDir::Files, QDir::Name)) {
            pages.emplace_back(dir.path() + "/" + name);
        }
        return pages;
    }

    // Where a point of the layout lands on a page rendered at dpi.
    static QPoint PagePixel(const QPrinter& printer, const ReportLayout& layout, const ReportMetrics& metrics,
                            const QPoint& origin, const QPointF& logical, int dpi)
    {
        const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
        const double deviceX = (logical.x() - origin.x()) * metrics.horizontalResolution / ReportLayout::kPageWidth;
        const double deviceY = (logical.y() - origin.y()) * metrics.verticalResolution / layout.PageHeight();
        const double scale = double(dpi) / printer.resolution();
        return QPoint(int((paint.left() + deviceX) * scale), int((paint.top() + deviceY) * scale));
    }

    // Each picture's centre has its colour, and the page is white beside it.
    void ExpectPictures(const QPrinter& printer, const CPrintControl& control, int streams,
                        const PrintReportData& record, const std::vector<std::pair<ReportImage, Colour>>& expected)
    {
        const ReportLayout layout(control.Metrics(), streams, record, kPrintedAt);
        const std::vector<QImage> pages = Pages(50);
        const std::vector<ReportPage> laidOut = layout.Pages();
        ASSERT_EQ(pages.size(), laidOut.size());
        for (const auto& [image, colour] : expected) {
            bool found = false;
            for (size_t page = 0; page < pages.size(); ++page) {
                for (const ReportOperation& op : laidOut[page].operations) {
                    if (op.image != image) {
                        continue;
                    }
                    found = true;
                    const QPoint centre = PagePixel(printer, layout, control.Metrics(), op.windowOrigin,
                                                    QRectF(op.rect).center(), 50);
                    const QPoint beside = PagePixel(printer, layout, control.Metrics(), op.windowOrigin,
                                                    QPointF(op.rect.right() + 40, QRectF(op.rect).center().y()), 50);
                    EXPECT_TRUE(Is(pages[page].pixel(centre), colour)) << Describe(pages[page].pixel(centre));
                    EXPECT_TRUE(Is(pages[page].pixel(beside), Colour::White)) << Describe(pages[page].pixel(beside));
                }
            }
            EXPECT_TRUE(found) << static_cast<int>(image);
        }
    }
};

TEST_F(ReportPdf, TwoStreamsTwoPages)
{
    REQUIRE_POPPLER();
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, pdf);
    auto control = Control();
    ASSERT_TRUE(control->PrintTo(printer, 2));
    EXPECT_EQ(boxes.notifier.Count(), 0u);
    EXPECT_EQ(control->report.channel1Image, Solid(1280, 720, Qt::red)) << "the caller's pictures stay whole";
    EXPECT_EQ(testsupport::EntryNames(dir.path()), QStringList{"report.pdf"}) << "no temporary left";

    EXPECT_TRUE(Tool("pdfinfo", {pdf}).contains("Pages:           2"));
    const QString text = QString::fromUtf8(Tool("pdftotext", {"-enc", "UTF-8", pdf, "-"}));
    for (const QString& expected :
         {QStringLiteral("Velmark Tarsim Report"), QStringLiteral("Velmark Tarsim QV7"),
          QStringLiteral("2026-1-2 08:05:09"), QStringLiteral("Page 1 of 2"), QStringLiteral("Page 2 of 2"),
          QStringLiteral("●"), QStringLiteral("▶"), QStringLiteral("Широта : 37.56000000"),
          QStringLiteral("Долгота : 126.97000000"), QStringLiteral("X= 0.03125000, Y= -0.06250000, Z= 1.00000000"),
          Common::GetResourceString(320)}) {
        EXPECT_TRUE(text.simplified().contains(expected)) << expected.toStdString();
    }
    for (int id = 310; id <= 317; ++id) {
        EXPECT_TRUE(text.simplified().contains(Common::GetResourceString(id))) << id;
    }

    // Every font is DejaVu, embedded.
    const QStringList fonts = QString::fromUtf8(Tool("pdffonts", {pdf})).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(fonts.size(), 3);
    QList<qsizetype> columns;
    for (qsizetype i = 0; i < fonts[1].size(); ++i) {
        if (fonts[1][i] == '-' && (i == 0 || fonts[1][i - 1] == ' ')) {
            columns << i;
        }
    }
    ASSERT_GE(columns.size(), 4);
    for (const QString& font : fonts.mid(2)) {
        EXPECT_TRUE(font.left(columns[1]).contains("DejaVu")) << font.toStdString();
        EXPECT_EQ(font.mid(columns[3], 3).trimmed(), "yes") << font.toStdString();
    }

    ExpectPictures(printer, *control, 2, control->report,
                   {{ReportImage::Channel1, Colour::Red}, {ReportImage::Channel2, Colour::Blue},
                    {ReportImage::Map, Colour::Green}});
}

TEST_F(ReportPdf, OneStreamOnePage)
{
    REQUIRE_POPPLER();
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, pdf);
    auto control = Control();
    ASSERT_TRUE(control->PrintTo(printer, 1));
    EXPECT_TRUE(Tool("pdfinfo", {pdf}).contains("Pages:           1"));
    const QString text = QString::fromUtf8(Tool("pdftotext", {"-enc", "UTF-8", pdf, "-"}));
    EXPECT_TRUE(text.contains("Page 1 of 1"));
    EXPECT_FALSE(text.contains(Common::GetResourceString(315)));
    ExpectPictures(printer, *control, 1, control->report,
                   {{ReportImage::Channel1, Colour::Red}, {ReportImage::Map, Colour::Green}});
}

// A printer whose page end fails.
class PageEndFails : public QPrinter {
public:
    using QPrinter::QPrinter;
    bool newPage() override { return false; }
};

// A printer that reports no printable width.
class NoPrintableArea : public QPrinter {
public:
    using QPrinter::QPrinter;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        return metric == PdmWidth ? 0 : QPrinter::metric(metric);
    }
};

TEST_F(ReportPdf, FailingPrintersLeaveNoFile)
{
    const QString failed = Common::GetResourceString(CPrintControl::kPrintFailedText);
    EXPECT_EQ(failed, "Не удалось напечатать отчёт.");
    {
        QPrinter printer(QPrinter::HighResolution);
        UsePdf(printer, dir.path() + "/missing/report.pdf");
        EXPECT_FALSE(Print(printer, 2));
        EXPECT_FALSE(QFileInfo::exists(dir.path() + "/missing"));
        ASSERT_EQ(boxes.notifier.Count(), 1u);
        EXPECT_EQ(boxes.notifier.Boxes()[0].text, failed);
    }
    boxes.notifier.Clear();
    {
        testsupport::WriteFileBytes(pdf, "the report printed yesterday");
        PageEndFails printer(QPrinter::HighResolution);
        UsePdf(printer, pdf);
        EXPECT_FALSE(Print(printer, 2));
        EXPECT_EQ(testsupport::ReadFileBytes(pdf), "the report printed yesterday");
        EXPECT_EQ(testsupport::EntryNames(dir.path()), QStringList{"report.pdf"}) << "no partial file";
        ASSERT_EQ(boxes.notifier.Count(), 1u);
        EXPECT_EQ(boxes.notifier.Boxes()[0].text, failed);
    }
    boxes.notifier.Clear();
    {
        NoPrintableArea printer(QPrinter::HighResolution);
        UsePdf(printer, pdf);
        EXPECT_FALSE(Print(printer, 2));
        EXPECT_EQ(testsupport::ReadFileBytes(pdf), "the report printed yesterday");
        EXPECT_EQ(boxes.notifier.Count(), 1u);
    }
    boxes.notifier.Clear();
    {
        // One page needs no page end: the same printer prints it.
        PageEndFails printer(QPrinter::HighResolution);
        UsePdf(printer, pdf);
        EXPECT_TRUE(Print(printer, 1));
        EXPECT_TRUE(testsupport::ReadFileBytes(pdf).startsWith("%PDF"));
        EXPECT_EQ(boxes.notifier.Count(), 0u);
    }
}

TEST_F(ReportPdf, NothingPrintedWithoutEntryOrWhenCancelled)
{
    testsupport::ScopedWorkingFolder working;
    auto control = Control();
    EXPECT_FALSE(control->Print(nullptr)) << "no current recording";

    hub->SetVideoFiles({MakeEntry(dir.path() + "/REC_0001.avi", 10)});
    bool asked = false;
    testsupport::OnNextModal<QPrintDialog>([&](QPrintDialog* dialog) {
        asked = true;
        dialog->reject();
    });
    EXPECT_FALSE(control->Print(nullptr));
    EXPECT_TRUE(asked);
    EXPECT_TRUE(QDir(working.Path()).isEmpty());
    EXPECT_EQ(testsupport::EntryNames(dir.path()), QStringList{});
    EXPECT_EQ(boxes.notifier.Count(), 0u);
}

class ReportScreenshots : public ReportPdf {};

TEST_F(ReportScreenshots, TwoPages)
{
    REQUIRE_POPPLER();
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, pdf);
    ASSERT_TRUE(Print(printer, 2));
    const std::vector<QImage> pages = Pages(100);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(testsupport::SaveScreenshot(pages[0], "report-page-1"));
    EXPECT_TRUE(testsupport::SaveScreenshot(pages[1], "report-page-2"));
}

}  // namespace
