#pragma once
// The report printer: asks for a printer, then plays the report's layout
// (ReportLayout) on it, one page, or two for a recording with two video
// streams. One printer serves one print command.

#include "ui/PrintReportData.h"
#include "ui/ReportLayout.h"

#include <QDateTime>
#include <QFont>
#include <functional>
#include <map>

class ApplicationHub;
class QPainter;
class QPrinter;
class QWidget;

// One print job's state, handed through the three printing steps.
struct PrintInfo {
    int streamCount = 1;  // of the recording, read once before the job
    int currentPage = 1;
    int lastPage = 1;
};

class CPrintControl {
public:
    using Clock = std::function<QDateTime()>;

    explicit CPrintControl(ApplicationHub& hub);

    // Set by the caller before printing.
    PrintReportData report;

    // The current recording's stream count (read once, under fileLock), the
    // print dialog over parent, then the job. False, and nothing printed,
    // without a current recording, when the dialog is cancelled or when the
    // job failed (the user has been told then).
    bool Print(QWidget* parent);
    // The job alone, on a printer that is set up. A printer writing a file
    // writes a temporary beside it, renamed over the file only when the job
    // ended well. False when the printer has no printable area, the document
    // did not start, a page did not end or the file could not be written;
    // the user is told once.
    bool PrintTo(QPrinter& printer, int streamCount);

    // The three printing steps; each does nothing when either pointer is null.
    void OnBeginPrinting(QPainter* painter, PrintInfo* info);
    void OnPrint(QPainter* painter, PrintInfo* info);
    void OnEndPrinting(QPainter* painter, PrintInfo* info);

    // The clock of the header's time of printing (tests fix it).
    void SetClock(Clock clock) { this->clock = std::move(clock); }
    // Measured by OnBeginPrinting.
    const ReportMetrics& Metrics() const { return metrics; }

    // The message of a failed job (string table).
    static constexpr int kPrintFailedText = 6060;

private:
    bool RunJob(QPrinter& printer, int streamCount);

    ApplicationHub& hub;
    Clock clock;
    std::map<ReportFont, QFont> fonts;
    ReportMetrics metrics;
    QDateTime printedAt;
};
