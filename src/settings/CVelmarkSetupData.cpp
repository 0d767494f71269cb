#include "settings/CVelmarkSetupData.h"

#include "core/Common.h"
#include "core/Logger.h"
#include "core/Numbers.h"
#include "platform/Paths.h"
#include "settings/DriveListEntries.h"
#include "settings/SettingsVocabulary.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>

namespace {

using namespace SettingsVocabulary;
using Model = CVelmarkSetupData;

struct TextField {
    QLatin1StringView key;
    QString Model::*field;
};

// A value outside low..high is stored as fallback; an unranged key takes any
// number the file holds.
struct IntField {
    QLatin1StringView key;
    int Model::*field;
    bool ranged;
    int low;
    int high;
    int fallback;
};

constexpr IntField Any(QLatin1StringView key, int Model::*field)
{
    return {key, field, false, 0, 0, 0};
}

constexpr IntField Ranged(QLatin1StringView key, int Model::*field, int low, int high, int fallback)
{
    return {key, field, true, low, high, fallback};
}

constexpr TextField kTextFields[] = {
    {kKeyProductName, &Model::productName},
    {kKeyHwVersion, &Model::hwVersion},
    {kKeySwVersion, &Model::swVersion},
};

// In the order of setup.cfg's lines after the three texts.
constexpr IntField kIntFields[] = {
    Ranged(kKeyAccTriggerLevel, &Model::accTriggerLevel, 0, 3, 2),
    Ranged(kKeyLcdBrightness, &Model::lcdBrightness, 1, 4, 3),
    Ranged(kKeyBackgroundImage, &Model::backgroundImage, 1, 5, 5),
    Ranged(kKeyScreenSaverEnable, &Model::screenSaverEnable, 0, 1, 1),
    Ranged(kKeyRecAudioEnable, &Model::recAudioEnable, 0, 1, 1),
    Ranged(kKeySpkVol, &Model::spkVol, 0, 4, 2),
    Ranged(kKeyTouchAudioEnable, &Model::touchAudioEnable, 0, 1, 1),
    Any(kKeyParkingModeOnOff, &Model::parkingModeOnOff),
    Ranged(kKeyPowerOffVoltage, &Model::powerOffVoltage, 0, 3, 1),
    Ranged(kKeyPowerOffTime, &Model::powerOffTime, 0, 5, 3),
    Ranged(kKeyLcdOffTime, &Model::lcdOffTime, 0, 3, 1),
    Any(kKeyCameraAngle, &Model::cameraAngle),
    Ranged(kKeyAutoParkingMode, &Model::autoParkingMode, 0, 3, 2),
    Ranged(kKeySdFormatReserved, &Model::sdFormatReserved, 0, 1, 1),
    Any(kKeySdFormatYear, &Model::sdFormatYear),
    Any(kKeySdFormatMonth, &Model::sdFormatMonth),
    Any(kKeySdFormatDay, &Model::sdFormatDay),
    Ranged(kKeyVideoQuality, &Model::videoQuality, 4, 8, 8),
    Any(kKeyTimeZone, &Model::timeZone),
};

// Read only: the recorder's other spelling of "LCD Off Time".
constexpr IntField kLcdOffTimeAlias = Ranged(kKeyLcdOffTimeAlias, &Model::lcdOffTime, 0, 3, 1);

const IntField* FindIntField(QStringView key)
{
    for (const IntField& field : kIntFields) {
        if (key == field.key)
            return &field;
    }
    return key == kLcdOffTimeAlias.key ? &kLcdOffTimeAlias : nullptr;
}

// printf's "%.2d": at least two digits, the sign before them.
QString TwoDigits(int value)
{
    const QString digits = Numbers::FormatInt(value < 0 ? -static_cast<long long>(value) : value);
    return (value < 0 ? QStringLiteral("-") : QString()) + digits.rightJustified(2, u'0');
}

// One folder level; 0, or the errno value of why it cannot be made.
int EnsureFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return 0;
    if (info.exists() || info.isSymLink())
        return ENOTDIR;
    return ::mkdir(QFile::encodeName(path).constData(), 0777) == 0 ? 0 : errno;
}

}  // namespace

CVelmarkSetupData::CVelmarkSetupData()
{
    SetDefaults();
}

void CVelmarkSetupData::SetDefaults()
{
    basePath = Paths::WorkingFolder();
    card.reset();
    drives.reset();
    timeFileName = QStringLiteral("time.cfg");
    setupFileName = QStringLiteral("setup.cfg");
    productName = QStringLiteral("QV7");
    hwVersion = QStringLiteral("V1.0.0");
    swVersion = QStringLiteral("V1.0.1");
    timeZone = kDefaultTimeZone;
    accTriggerLevel = 2;
    lcdBrightness = 3;
    backgroundImage = 5;
    screenSaverEnable = 1;
    recAudioEnable = 1;
    spkVol = 2;
    touchAudioEnable = 1;
    parkingModeOnOff = 1;
    powerOffVoltage = 1;
    powerOffTime = 3;
    lcdOffTime = 1;
    cameraAngle = 0;
    autoParkingMode = 2;
    sdFormatReserved = 1;
    sdFormatYear = 0;
    sdFormatMonth = 0;
    sdFormatDay = 0;
    videoQuality = 8;
}

QString CVelmarkSetupData::ConfigFolder() const
{
    return Paths::Join(Paths::Join(basePath, QStringLiteral("TARSIM")), QStringLiteral("config"));
}

bool CVelmarkSetupData::Load()
{
    // An empty base path would read the working folder or the filesystem
    // root as if it were the card.
    if (basePath.isEmpty())
        return true;
    ApplyLines(ReadTextLines(Paths::Join(ConfigFolder(), setupFileName)));
    return true;
}

void CVelmarkSetupData::ApplyLines(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        const QStringView key = QStringView(line).left(kKeyLength);
        // Positions 24 and 25 hold the separator; the recorder does not check them.
        const QString value = line.mid(kValuePosition);
        if (Common::IsNumber(value)) {
            if (const IntField* field = FindIntField(key)) {
                const int number = Numbers::ParseDecimal(value).value_or(0);
                const bool inRange = !field->ranged || (number >= field->low && number <= field->high);
                this->*(field->field) = inRange ? number : field->fallback;
            }
        }
        for (const TextField& field : kTextFields) {
            if (key == field.key)
                this->*(field.field) = value;
        }
    }
}

QString CVelmarkSetupData::MakeFileText()
{
    QString text;
    for (const TextField& field : kTextFields)
        text += field.key + kSeparator + this->*(field.field) + u'\n';
    for (const IntField& field : kIntFields)
        text += field.key + kSeparator + Numbers::FormatInt(this->*(field.field)) + u'\n';
    return text;
}

bool CVelmarkSetupData::Save()
{
    if (!MayWrite("Save"))
        return false;
    const QString tarsim = Paths::Join(basePath, QStringLiteral("TARSIM"));
    const QString config = ConfigFolder();
    for (const QString& folder : {tarsim, config}) {
        if (const int error = EnsureFolder(folder))
            return Fail("Save", WriteError::Kind::Folder, folder, error);
    }
    if (const int error = WriteTextFileError(setupFileName, config, MakeFileText()))
        return Fail("Save", WriteError::Kind::Write, Paths::Join(config, setupFileName), error);
    lastWriteError = {};
    return true;
}

bool CVelmarkSetupData::SaveTimeFile()
{
    if (!MayWrite("SaveTimeFile"))
        return false;
    if (const int error = WriteTextFileError(timeFileName, basePath, MakeTimeFileText()))
        return Fail("SaveTimeFile", WriteError::Kind::Write, Paths::Join(basePath, timeFileName), error);
    lastWriteError = {};
    return true;
}

bool CVelmarkSetupData::MayWrite(const char* function)
{
    if (basePath.isEmpty())
        return Fail(function, WriteError::Kind::NoCard, basePath, 0);
    // A pulled card can leave its mount folder behind on the system disk.
    if (card && (!drives || !drives->StillMounted(*card)))
        return Fail(function, WriteError::Kind::CardGone, basePath, 0);
    if (!QFileInfo(basePath).isDir())
        return Fail(function, WriteError::Kind::Folder, basePath, QFileInfo::exists(basePath) ? ENOTDIR : ENOENT);
    return true;
}

bool CVelmarkSetupData::Fail(const char* function, WriteError::Kind kind, const QString& path, int error)
{
    lastWriteError = WriteError{kind, path, error};
    Logger::GetInstance().Log(WriteFailureText(path, error), QStringLiteral("CVelmarkSetupData"),
                              QLatin1StringView(function), 3, 3);
    return false;
}

QString CVelmarkSetupData::WriteFailureText(const QString& path, int error)
{
    // One multi-argument arg: a "%1" inside the path stays as it is.
    return QStringLiteral("cannot write %1 (%2)").arg(path, Numbers::FormatInt(error));
}

QString CVelmarkSetupData::MakeTimeFileText()
{
    return GetDateText() + u'\n' + GetTimeText() + u'\n';
}

QString CVelmarkSetupData::GetDateText()
{
    if (dateText.isEmpty()) {
        const QDateTime now = Now();
        const QDate date = now.date();
        // An unavailable clock reads as year 0, month 0, day 0.
        const bool known = now.isValid();
        dateText = TwoDigits((known ? date.year() : 0) - 2000) + u'/' + TwoDigits(known ? date.month() : 0) + u'/'
                   + TwoDigits(known ? date.day() : 0);
    }
    return dateText;
}

QString CVelmarkSetupData::GetTimeText()
{
    if (timeText.isEmpty()) {
        const QDateTime now = Now();
        const QTime time = now.time();
        const bool known = now.isValid();
        timeText = TwoDigits(known ? time.hour() : -1) + u':' + TwoDigits(known ? time.minute() : -1) + u':'
                   + TwoDigits(known ? time.second() : -1);
    }
    return timeText;
}

void CVelmarkSetupData::SetBasePathFromDriveText(const QString& text)
{
    SetBasePath(DriveRootFromEntryText(text));
}

void CVelmarkSetupData::SetCard(const DriveInfo& drive, std::shared_ptr<const Drives> currentDrives)
{
    basePath = drive.root;
    card = drive;
    drives = std::move(currentDrives);
}

void CVelmarkSetupData::SetBasePath(const QString& path)
{
    basePath = path;
    card.reset();
    drives.reset();
}

void CVelmarkSetupData::SetClock(Clock newClock)
{
    clock = std::move(newClock);
}

QDateTime CVelmarkSetupData::Now() const
{
    return clock ? clock() : QDateTime::currentDateTime();
}
