#include "settings/dialogs/CVelmarkOptionDlg.h"

#include "core/Common.h"
#include "platform/widgets/ChooseFolder.h"
#include "platform/widgets/FitTexts.h"
#include "settings/SettingsDialogRules.h"
#include "settings/dialogs/DriveCombo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDateTimeEdit>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolTip>

namespace {

using Id = OptionDlgId;
using Vehicle = SettingsListMap::Vehicle;

// The ON/OFF and YES/NO pairs: the first button stores 1, the second 0.
struct OnOffPair {
    Id first;
    Id second;
    int CVelmarkSetupData::*field;
};

constexpr OnOffPair kOnOffPairs[] = {
    {Id::VoiceOn, Id::VoiceOff, &CVelmarkSetupData::recAudioEnable},
    {Id::ScreenSaverOn, Id::ScreenSaverOff, &CVelmarkSetupData::screenSaverEnable},
    {Id::KeepSettingsYes, Id::KeepSettingsNo, &CVelmarkSetupData::sdFormatReserved},
    {Id::BeepOn, Id::BeepOff, &CVelmarkSetupData::touchAudioEnable},
};

constexpr int kSeekStepLow = 1;
constexpr int kSeekStepHigh = 10;
constexpr int kSeekStepFallback = 5;

const QDate FirstPickerDate(2000, 1, 1);
const QDate LastPickerDate(2099, 12, 31);

int Number(Id id)
{
    return static_cast<int>(id);
}

}  // namespace

CVelmarkOptionDlg::CVelmarkOptionDlg(SettingsServices services, ModelFactory newModel, QWidget* parent)
    : CSetupDlg(parent),
      services(std::move(services)),
      newModel(std::move(newModel)),
      formatFlow(this, this->services,
                 CardFormatFlow::Hooks{
                     .selection = [this]() -> std::optional<CardFormatFlow::Selection> {
                         const std::optional<DriveInfo> drive = SelectedDrive(DriveList());
                         if (!drive)
                             return std::nullopt;
                         return CardFormatFlow::Selection{*drive, DriveList().currentText()};
                     },
                     .setBusy = [this](bool on) { SetBusy(on); },
                     .finished = [this](quint64 deviceNumber) { ReselectDevice(deviceNumber); },
                 })
{
    controls = DialogBuilder::Build(DialogTemplate::Get(272), this);
    platform::FitTexts(*this);
    SetUpControls();
    Connect();
}

CVelmarkOptionDlg::~CVelmarkOptionDlg()
{
    if (busy)
        QGuiApplication::restoreOverrideCursor();
}

void CVelmarkOptionDlg::SetUpControls()
{
    // The range first, before anything listens: setting it moves the thumb.
    auto* seekStep = Control<QSlider>(Id::SeekStep);
    seekStep->setRange(kSeekStepLow, kSeekStepHigh);
    seekStep->setTickPosition(QSlider::TicksBothSides);
    seekStep->setTickInterval(1);

    const QDateTime now = Now();
    auto* date = Control<QDateEdit>(Id::Date);
    auto* time = Control<QTimeEdit>(Id::Time);
    for (QDateTimeEdit* picker : {static_cast<QDateTimeEdit*>(date), static_cast<QDateTimeEdit*>(time)}) {
        picker->setLocale(QLocale::c());
        const DialogControl* control = DialogTemplate::Get(272).Control(picker->objectName().toInt());
        if (control && control->HasFlag(QStringLiteral("right")))
            picker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        picker->setEnabled(false);
    }
    date->setDisplayFormat(QStringLiteral("yy/MM/dd"));
    date->setCalendarPopup(true);
    date->setDateRange(FirstPickerDate, LastPickerDate);
    date->setDate(now.date());
    time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    time->setTime(now.time());

    // Each pair is exclusive: a click checks its button and unchecks the
    // other; none is checked until the model is first shown.
    auto pair = [this](Id first, Id second) {
        auto* group = new QButtonGroup(this);
        group->setExclusive(true);
        group->addButton(Control<QRadioButton>(first));
        group->addButton(Control<QRadioButton>(second));
    };
    for (const OnOffPair& onOff : kOnOffPairs)
        pair(onOff.first, onOff.second);
    pair(Id::Car, Id::Truck);
}

// User actions only: activated and clicked, never currentIndexChanged or
// toggled, so showing a model never stores into it.
void CVelmarkOptionDlg::Connect()
{
    for (const SettingsListMap::List& list : SettingsListMap::Lists()) {
        const int id = list.id;
        connect(controls.Get<QComboBox>(id), &QComboBox::activated, this,
                [this, id](int index) { OnListChosen(id, index); });
    }
    connect(&DriveList(), &QComboBox::activated, this, &CVelmarkOptionDlg::OnDriveListChosen);
    for (const OnOffPair& onOff : kOnOffPairs) {
        for (Id id : {onOff.first, onOff.second})
            connect(Control<QRadioButton>(id), &QRadioButton::clicked, this, [this, id] { OnOffClicked(Number(id)); });
    }
    for (Id id : {Id::Car, Id::Truck})
        connect(Control<QRadioButton>(id), &QRadioButton::clicked, this, &CVelmarkOptionDlg::OnVehicleClicked);
    connect(Control<QCheckBox>(Id::SetClock), &QCheckBox::clicked, this, &CVelmarkOptionDlg::OnClockClicked);

    auto* seekStep = Control<QSlider>(Id::SeekStep);
    connect(seekStep, &QSlider::valueChanged, this, &CVelmarkOptionDlg::OnSeekStepChanged);
    connect(seekStep, &QSlider::sliderMoved, this, [seekStep](int position) {
        QToolTip::showText(QCursor::pos(), QString::number(position), seekStep);
    });

    connect(Control<QPushButton>(Id::Format), &QPushButton::clicked, this, &CVelmarkOptionDlg::OnBnClickedFormat);
    connect(Control<QPushButton>(Id::Save), &QPushButton::clicked, this, &CVelmarkOptionDlg::OnBnClickedSave);
    connect(Control<QPushButton>(Id::Cancel), &QPushButton::clicked, this, &CVelmarkOptionDlg::OnBnClickedCancel);
    connect(Control<QPushButton>(Id::Defaults), &QPushButton::clicked, this, &CVelmarkOptionDlg::OnBnClickedDefaults);
    connect(Control<QPushButton>(Id::ChooseFolder), &QPushButton::clicked, this,
            &CVelmarkOptionDlg::OnBnClickedChooseFolder);
}

void CVelmarkOptionDlg::showEvent(QShowEvent* event)
{
    if (!initialised)
        OnInitDialog();
    CSetupDlg::showEvent(event);
}

bool CVelmarkOptionDlg::OnInitDialog()
{
    if (initialised)
        return true;
    initialised = true;
    currentSetup = dynamic_cast<CVelmarkSetupData*>(setupData);
    if (!currentSetup)
        currentSetup = newModel();

    FillDriveList();
    for (const SettingsListMap::List& list : SettingsListMap::Lists()) {
        auto* combo = controls.Get<QComboBox>(list.id);
        combo->clear();
        for (QAnyStringView text : list.texts)
            combo->addItem(text.toString());
        combo->setCurrentIndex(-1);
    }

    Control<QLineEdit>(Id::SeekStepText)->setText(QString::number(options.playValue));
    Control<QSlider>(Id::SeekStep)->setValue(options.playValue);
    Control<QLineEdit>(Id::CaptureFolder)->setText(options.saveDirectory);

    initialDrive = options.drivePath;
    if (!initialDrive.isEmpty()) {
        SelectInitialDrive();
        OnDriveChanged();
    } else {
        Control<QPushButton>(Id::Format)->setEnabled(false);
    }
    return true;
}

void CVelmarkOptionDlg::RefreshControls()
{
    Control<QLineEdit>(Id::SeekStepText)->setText(QString::number(options.playValue));
    Control<QSlider>(Id::SeekStep)->setValue(options.playValue);
    Control<QLineEdit>(Id::CaptureFolder)->setText(options.saveDirectory);

    for (const SettingsListMap::List& list : SettingsListMap::Lists()) {
        if (list.id == Number(Id::Voltage))
            continue;  // refilled for the car below
        const std::optional<int> entry = SettingsListMap::EntryForValue(list.id, currentSetup->*list.field);
        controls.Get<QComboBox>(list.id)->setCurrentIndex(entry.value_or(-1));
    }
    for (const OnOffPair& onOff : kOnOffPairs)
        Control<QRadioButton>(currentSetup->*onOff.field != 0 ? onOff.first : onOff.second)->setChecked(true);
    Control<QRadioButton>(Id::Car)->setChecked(true);
    FillVoltageList(Vehicle::Car);

    ShowOnPicker(currentSetup->GetDateText(), currentSetup->GetTimeText());
    OnClockClicked();
}

void CVelmarkOptionDlg::ShowOnPicker(const QString& dateText, const QString& timeText)
{
    if (const std::optional<QDate> date = DateFromText(dateText))
        Control<QDateEdit>(Id::Date)->setDate(*date);
    if (const std::optional<QTime> time = TimeFromText(timeText))
        Control<QTimeEdit>(Id::Time)->setTime(*time);
}

void CVelmarkOptionDlg::FillVoltageList(Vehicle vehicle)
{
    auto* voltage = Control<QComboBox>(Id::Voltage);
    voltage->clear();
    for (QAnyStringView text : SettingsListMap::Texts(Number(Id::Voltage), vehicle))
        voltage->addItem(text.toString());
    const std::optional<int> entry = SettingsListMap::EntryForValue(Number(Id::Voltage), currentSetup->powerOffVoltage);
    voltage->setCurrentIndex(entry.value_or(-1));
}

void CVelmarkOptionDlg::OnListChosen(int listId, int index)
{
    const SettingsListMap::List* list = SettingsListMap::Find(listId);
    if (list)
        currentSetup->*list->field = SettingsListMap::ValueForEntry(listId, index);
}

void CVelmarkOptionDlg::OnOffClicked(int buttonId)
{
    for (const OnOffPair& onOff : kOnOffPairs) {
        if (buttonId == Number(onOff.first))
            currentSetup->*onOff.field = 1;
        else if (buttonId == Number(onOff.second))
            currentSetup->*onOff.field = 0;
    }
}

void CVelmarkOptionDlg::OnVehicleClicked()
{
    FillVoltageList(Control<QRadioButton>(Id::Truck)->isChecked() ? Vehicle::Truck : Vehicle::Car);
}

void CVelmarkOptionDlg::OnClockClicked()
{
    const bool on = Control<QCheckBox>(Id::SetClock)->isChecked();
    Control<QDateEdit>(Id::Date)->setEnabled(on);
    Control<QTimeEdit>(Id::Time)->setEnabled(on);
}

void CVelmarkOptionDlg::OnSeekStepChanged(int position)
{
    Control<QLineEdit>(Id::SeekStepText)->setText(QString::number(position));
    options.playValue = position >= kSeekStepLow && position <= kSeekStepHigh ? position : kSeekStepFallback;
}

QComboBox& CVelmarkOptionDlg::DriveList() const
{
    return *Control<QComboBox>(Id::DriveList);
}

void CVelmarkOptionDlg::FillDriveList()
{
    FillDriveCombo(DriveList(), *services.drives);
}

void CVelmarkOptionDlg::SelectInitialDrive()
{
    const QString wanted = NormalizeRoot(initialDrive);
    QComboBox& list = DriveList();
    list.setCurrentIndex(-1);
    for (int index = 0; index < list.count(); ++index) {
        const std::optional<DriveInfo> drive = DriveAt(list, index);
        if (drive && NormalizeRoot(drive->root) == wanted) {
            list.setCurrentIndex(index);
            return;
        }
    }
}

void CVelmarkOptionDlg::OnDriveListChosen(int index)
{
    const std::optional<DriveInfo> chosen = DriveAt(DriveList(), index);
    if (chosen && shownDrive && chosen->root == shownDrive->root && chosen->deviceNumber == shownDrive->deviceNumber)
        return;
    OnDriveChanged();
}

void CVelmarkOptionDlg::OnDriveChanged()
{
    const std::optional<DriveInfo> drive = SelectedDrive(DriveList());
    currentSetup = newModel();
    if (drive)
        currentSetup->SetCard(*drive, services.drives);
    else
        currentSetup->SetBasePath(QString());  // reads and writes nothing
    currentSetup->Load();
    shownDrive = drive;
    RefreshControls();
    UpdateFormatButton();
}

void CVelmarkOptionDlg::UpdateFormatButton()
{
    const std::optional<DriveInfo> drive = SelectedDrive(DriveList());
    Control<QPushButton>(Id::Format)->setEnabled(drive && FormatButtonEnabled(services.drives->TypeOf(drive->root)));
}

void CVelmarkOptionDlg::OnBnClickedFormat()
{
    if (!busy)
        formatFlow.Start();
}

void CVelmarkOptionDlg::ReselectDevice(quint64 deviceNumber)
{
    FillDriveList();
    QComboBox& list = DriveList();
    for (int index = 0; deviceNumber != 0 && index < list.count(); ++index) {
        const std::optional<DriveInfo> drive = DriveAt(list, index);
        if (drive && drive->deviceNumber == deviceNumber) {
            // Remounted under its new label: the same card, the edits kept.
            list.setCurrentIndex(index);
            currentSetup->SetCard(*drive, services.drives);
            shownDrive = drive;
            UpdateFormatButton();
            return;
        }
    }
    shownDrive.reset();
    Control<QPushButton>(Id::Format)->setEnabled(false);
}

void CVelmarkOptionDlg::SetBusy(bool on)
{
    if (on == busy)
        return;
    busy = on;
    if (on) {
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isEnabled()) {
                child->setEnabled(false);
                disabledWhileBusy.emplace_back(child);
            }
        }
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        for (const QPointer<QWidget>& child : disabledWhileBusy) {
            if (child)
                child->setEnabled(true);
        }
        disabledWhileBusy.clear();
        QGuiApplication::restoreOverrideCursor();
    }
}

void CVelmarkOptionDlg::OnBnClickedSave()
{
    if (busy)
        return;
    const std::optional<DriveInfo> drive = SelectedDrive(DriveList());
    if (!drive) {
        services.notifier.ShowMessage(Common::GetResourceString(SettingsText::kChooseDrive));
        return;
    }
    // A pulled card: say so while the edits are still here.
    if (!services.drives->StillMounted(*drive)) {
        services.notifier.ShowMessage(Common::GetResourceString(SettingsText::kCardNotFound));
        return;
    }
    if (Control<QCheckBox>(Id::SetClock)->isChecked()) {
        currentSetup->dateText = DateText(Control<QDateEdit>(Id::Date)->date());
        currentSetup->timeText = TimeText(Control<QTimeEdit>(Id::Time)->time());
        if (!currentSetup->SaveTimeFile()) {
            services.notifier.ShowMessage(WithReason(Common::GetResourceString(SettingsText::kTimeNotSaved),
                                                     WriteFailureText(currentSetup->LastWriteError())));
            return;
        }
    }
    setupData = currentSetup;
    options.drivePath = currentSetup->GetBasePath();
    accept();
}

void CVelmarkOptionDlg::OnBnClickedCancel()
{
    reject();
}

void CVelmarkOptionDlg::reject()
{
    if (!busy)
        CSetupDlg::reject();
}

void CVelmarkOptionDlg::OnBnClickedDefaults()
{
    if (busy)
        return;
    const std::optional<DriveInfo> drive = SelectedDrive(DriveList());
    currentSetup->SetDefaults();
    if (drive)
        currentSetup->SetCard(*drive, services.drives);
    else
        currentSetup->SetBasePath(QString());
    currentSetup->dateText.clear();
    currentSetup->timeText.clear();
    options = OptionRecord();
    RefreshControls();
}

void CVelmarkOptionDlg::OnBnClickedChooseFolder()
{
    const std::optional<QString> folder = platform::ChooseFolder(
        this, Common::GetResourceString(SettingsText::kChooseFolderCaption), QDir::homePath());
    if (!folder || folder->isEmpty())
        return;
    Control<QLineEdit>(Id::CaptureFolder)->setText(*folder);
    options.saveDirectory = *folder;
}

QDateTime CVelmarkOptionDlg::Now() const
{
    return services.clock ? services.clock() : QDateTime::currentDateTime();
}
