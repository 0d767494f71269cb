#pragma once
// The settings dialogs' rules that need no window: which drives may be
// formatted from the dialog, the words for a failed write or format, and the
// picker texts the model's clock file is made of.

#include "platform/CardFormatter.h"
#include "platform/Drives.h"
#include "settings/CVelmarkSetupData.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

namespace SettingsText {
// String-table ids of the settings dialogs.
inline constexpr int kAskFormat = 227;
inline constexpr int kChooseFolderCaption = 250;
inline constexpr int kChooseDrive = 297;
inline constexpr int kSettingsNotSaved = 7001;
inline constexpr int kTimeNotSaved = 7002;
inline constexpr int kCardNotFound = 7003;
inline constexpr int kConfirmFormat = 7004;
inline constexpr int kFormatFailed = 7005;
inline constexpr int kReinsert = 7006;
inline constexpr int kFolderNotMade = 7007;
inline constexpr int kOtherDevice = 7008;
inline constexpr int kNotRemovable = 7009;
inline constexpr int kReadOnly = 7010;
inline constexpr int kSystemUse = 7011;
inline constexpr int kBusy = 7012;
inline constexpr int kNotAuthorized = 7013;
inline constexpr int kUnavailable = 7014;
inline constexpr int kFat16 = 7015;
}  // namespace SettingsText

// The card's label after a format from the dialog.
inline const QString CardLabel = QStringLiteral("Tarsim");

// The format button is on for removable cards and RAM disks, off for every
// other type.
bool FormatButtonEnabled(DriveType type);

// What the user is told about a failed write of setup.cfg or time.cfg; empty
// for no failure.
QString WriteFailureText(const CVelmarkSetupData::WriteError& error);
// What the user is told about a label or format outcome beyond the head text:
// the worded problem of a failure, the notice of a success; empty when there
// is nothing to word.
QString FormatOutcomeText(const FormatOutcome& outcome);
// A message box text: the head, then on its own line the reason (when any).
QString WithReason(const QString& head, const QString& reason);
// The second question before a format, naming the device, its list entry and
// its size.
QString FormatConfirmationText(const DriveInfo& drive, const QString& entryText);

// The date a "yy/MM/dd" text denotes (20yy); none for any other text.
std::optional<QDate> DateFromText(const QString& text);
// The time a "HH:mm:ss" text denotes; none for any other text.
std::optional<QTime> TimeFromText(const QString& text);
// A date of 2000-2099 as "yy/MM/dd", a time as "HH:mm:ss".
QString DateText(QDate date);
QString TimeText(QTime time);
