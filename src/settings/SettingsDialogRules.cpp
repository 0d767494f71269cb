#include "settings/SettingsDialogRules.h"

#include "core/Common.h"
#include "core/Numbers.h"
#include "platform/UserNotifier.h"

#include <QStringList>
#include <array>

namespace {

QString Text(int id)
{
    return Common::GetResourceString(id);
}

QString TwoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Three fields of exactly two digits between separator.
std::optional<std::array<int, 3>> ThreeFields(const QString& text, QChar separator)
{
    const QStringList parts = text.split(separator);
    if (parts.size() != 3)
        return std::nullopt;
    std::array<int, 3> values{};
    for (int i = 0; i < 3; ++i) {
        const std::optional<int> value = parts[i].size() == 2 ? Numbers::ParseDecimal(parts[i]) : std::nullopt;
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    return values;
}

}  // namespace

bool FormatButtonEnabled(DriveType type)
{
    return type == DriveType::Removable || type == DriveType::RamDisk;
}

QString WriteFailureText(const CVelmarkSetupData::WriteError& error)
{
    using Kind = CVelmarkSetupData::WriteError::Kind;
    switch (error.kind) {
    case Kind::None: return QString();
    case Kind::NoCard: return Text(SettingsText::kChooseDrive);
    case Kind::CardGone: return Text(SettingsText::kCardNotFound);
    case Kind::Folder:
        return WithReason(Text(SettingsText::kFolderNotMade), UserNotifier::FileErrorText(error.path, error.error));
    case Kind::Write: return UserNotifier::FileErrorText(error.path, error.error);
    }
    return QString();
}

QString FormatOutcomeText(const FormatOutcome& outcome)
{
    if (outcome.ok) {
        switch (outcome.notice) {
        case FormatNotice::None: return QString();
        case FormatNotice::Fat16: return Text(SettingsText::kFat16);
        case FormatNotice::NotRemounted: return Text(SettingsText::kReinsert);
        }
        return QString();
    }
    switch (outcome.problem) {
    case FormatProblem::None:
    case FormatProblem::Failed: return QString();
    case FormatProblem::NotChosen: return Text(SettingsText::kChooseDrive);
    case FormatProblem::Gone: return Text(SettingsText::kCardNotFound);
    case FormatProblem::Changed: return Text(SettingsText::kOtherDevice);
    case FormatProblem::NotRemovable: return Text(SettingsText::kNotRemovable);
    case FormatProblem::ReadOnly: return Text(SettingsText::kReadOnly);
    case FormatProblem::SystemUse: return Text(SettingsText::kSystemUse);
    case FormatProblem::Busy: return Text(SettingsText::kBusy);
    case FormatProblem::NotAuthorized: return Text(SettingsText::kNotAuthorized);
    case FormatProblem::Unavailable: return Text(SettingsText::kUnavailable);
    }
    return QString();
}

QString WithReason(const QString& head, const QString& reason)
{
    return reason.isEmpty() ? head : head + QLatin1Char('\n') + reason;
}

QString FormatConfirmationText(const DriveInfo& drive, const QString& entryText)
{
    const QString size = Numbers::FormatFixed(static_cast<double>(drive.sizeBytes) / 1e9, 1) + QStringLiteral(" ГБ");
    return Text(SettingsText::kConfirmFormat).arg(drive.deviceNode, entryText, size);
}

std::optional<QDate> DateFromText(const QString& text)
{
    // By hand: QDate::fromString reads "yy" as 19yy.
    const std::optional<std::array<int, 3>> fields = ThreeFields(text, u'/');
    if (!fields)
        return std::nullopt;
    const QDate date(2000 + (*fields)[0], (*fields)[1], (*fields)[2]);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<QTime> TimeFromText(const QString& text)
{
    const std::optional<std::array<int, 3>> fields = ThreeFields(text, u':');
    if (!fields)
        return std::nullopt;
    const QTime time((*fields)[0], (*fields)[1], (*fields)[2]);
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

QString DateText(QDate date)
{
    return TwoDigits(date.year() - 2000) + u'/' + TwoDigits(date.month()) + u'/' + TwoDigits(date.day());
}

QString TimeText(QTime time)
{
    return TwoDigits(time.hour()) + u':' + TwoDigits(time.minute()) + u':' + TwoDigits(time.second());
}
