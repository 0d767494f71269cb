#pragma once
// What the main window's commands compute without a window: the time
// suffix and the paths of snapshots, the report's text lines, and the wait
// for a snapshot file another part of the program writes.

#include "recordings/RecordingEntry.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// "-%d-%d-%d-%.2dh%.2dm%.2ds%.d" of the time's year, month, day, hour,
// minute, second and milliseconds: no leading zeros in the date, two digits
// in the time, and no digit at all for 0 milliseconds.
QString MakeTimeSuffix(const QDateTime& time);

// The capture folder: the save directory, then the capture folder's name.
QString MakeCaptureFolder(const QString& saveDirectory, const QString& captureFolderName);
// folder / the recording's file name less its last four characters (its
// ".avi"; a name of four or fewer leaves nothing) + suffix + ".png".
QString MakeCapturePath(const QString& folder, const QString& fileName, const QString& suffix);

// The files a snapshot of a recording with that many video streams becomes:
// the path itself for one, the "(Track1)" and "(Track2)" files for more.
std::vector<QString> SnapshotFiles(const QString& path, int videoStreamCount);

// The report's five lines for the moment printed.
struct ReportLines {
    QString gSensor;
    QString dateTime;
    QString latitude;
    QString longitude;
    QString speed;
};
// From the sample and the fix at the play time (either may be missing) and
// the recording's start date and time texts. Numbers in the C locale.
ReportLines MakeReportLines(const std::optional<GpsFix>& fix, const std::optional<MotionSample>& sample,
                            const QString& dateText, const QString& timeText);

// Waits, for at most `bound`, until the PNG at path is complete: it exists,
// is not empty, kept its size since the previous look 50 ms before and
// decodes. serve runs between the looks (the UI thread's pending hand-offs).
// The picture, or an empty image when it never became complete.
QImage WaitForCompletePng(const QString& path, std::chrono::milliseconds bound, const std::function<void()>& serve);
