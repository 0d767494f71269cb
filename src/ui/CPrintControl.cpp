#include "ui/CPrintControl.h"

#include "core/Common.h"
#include "hub/ApplicationHub.h"
#include "platform/AtomicFile.h"
#include "platform/UserNotifier.h"
#include "platform/gdi/GdiCompat.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <mutex>

namespace {

const QString kFontFace = QStringLiteral("MS Shell Dlg");
// The letters whose mean width is the report's character width.
const QString kProbe = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ");

}  // namespace

CPrintControl::CPrintControl(ApplicationHub& hub) : hub(hub), clock([] { return QDateTime::currentDateTime(); }) {}

bool CPrintControl::Print(QWidget* parent)
{
    int streamCount = 0;
    {
        std::lock_guard lock(hub.fileLock);
        const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
        if (!entry) {
            return false;
        }
        streamCount = entry->videoStreamCount;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString());
    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
    // Printing to a file is offered only where it is the only printer.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        options |= QAbstractPrintDialog::PrintToFile;
    }
    dialog.setOptions(options);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    return PrintTo(printer, streamCount);
}

bool CPrintControl::PrintTo(QPrinter& printer, int streamCount)
{
    bool printed = false;
    const QString file = printer.outputFileName();
    if (file.isEmpty()) {
        printed = RunJob(printer, streamCount);
    } else {
        printed = !AtomicFile::Replace(file, [&](const QString& temporary) {
            printer.setOutputFileName(temporary);
            const bool ended = RunJob(printer, streamCount);
            printer.setOutputFileName(file);
            return ended;
        });
    }
    if (!printed) {
        UserNotifier::Current().ShowMessage(Common::GetResourceString(kPrintFailedText));
    }
    return printed;
}

bool CPrintControl::RunJob(QPrinter& printer, int streamCount)
{
    // Without a printable area there is no page to map the report onto.
    if (printer.width() <= 0 || printer.height() <= 0) {
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    PrintInfo info;
    info.streamCount = streamCount;
    OnBeginPrinting(&painter, &info);
    bool ended = true;
    for (int page = 1; page <= info.lastPage && ended; ++page) {
        if (page > 1) {
            ended = printer.newPage();
        }
        if (ended) {
            info.currentPage = page;
            OnPrint(&painter, &info);
        }
    }
    OnEndPrinting(&painter, &info);
    if (!ended) {
        printer.abort();
        painter.end();
        return false;
    }
    return painter.end();
}

void CPrintControl::OnBeginPrinting(QPainter* painter, PrintInfo* info)
{
    if (!painter || !info) {
        return;
    }
    fonts = {{ReportFont::Title, gdi::MakeFont(kFontFace, ReportLayout::CellHeight(ReportFont::Title), 700)},
             {ReportFont::Heading, gdi::MakeFont(kFontFace, ReportLayout::CellHeight(ReportFont::Heading), 700)},
             {ReportFont::Text, gdi::MakeFont(kFontFace, ReportLayout::CellHeight(ReportFont::Text), 400)},
             {ReportFont::Band, gdi::MakeFont(kFontFace, ReportLayout::CellHeight(ReportFont::Band), 700)}};
    // Measured in the fonts' own units, which the page's mapping scales:
    // the same on every printer.
    const QFontMetrics title(fonts[ReportFont::Title]);
    metrics.lineHeight = title.height();
    metrics.charWidth = title.horizontalAdvance(kProbe) / static_cast<int>(kProbe.size());
    metrics.horizontalResolution = painter->device()->width();
    metrics.verticalResolution = painter->device()->height();
    printedAt = clock();
    info->lastPage = ReportLayout::PageCount(info->streamCount);
    info->currentPage = 1;
}

void CPrintControl::OnPrint(QPainter* painter, PrintInfo* info)
{
    if (!painter || !info) {
        return;
    }
    const ReportLayout layout(metrics, info->streamCount, report, printedAt);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setPen(Qt::black);
    for (const ReportOperation& operation : layout.Page(info->currentPage).operations) {
        painter->setViewport(0, 0, metrics.horizontalResolution, metrics.verticalResolution);
        painter->setWindow(operation.windowOrigin.x(), operation.windowOrigin.y(), ReportLayout::kPageWidth,
                           layout.PageHeight());
        if (operation.image != ReportImage::None) {
            painter->drawImage(operation.rect, layout.ImageOf(operation.image));
        } else {
            painter->setFont(fonts[operation.font]);
            painter->drawText(operation.rect, operation.flags, operation.text);
        }
    }
}

void CPrintControl::OnEndPrinting(QPainter* painter, PrintInfo* info)
{
    if (!painter || !info) {
        return;
    }
    fonts.clear();
}
