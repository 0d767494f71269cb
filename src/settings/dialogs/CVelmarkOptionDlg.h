#pragma once
// The settings dialog: the recorder's settings on the card (setup.cfg, and
// its clock through time.cfg) and two of the viewer's own options, the seek
// step and the capture folder. It edits the models the settings session
// makes and owns; the session writes setup.cfg after the dialog ends with OK.

#include "platform/widgets/DialogBuilder.h"
#include "settings/CVelmarkSetupData.h"
#include "settings/SettingsListMap.h"
#include "settings/dialogs/CSetupDlg.h"
#include "settings/dialogs/CardFormatFlow.h"
#include "settings/dialogs/SettingsServices.h"

#include <QString>
#include <functional>
#include <optional>

class QComboBox;

// The controls of dialog template 272.
enum class OptionDlgId : int {
    Defaults = 1053,
    SeekStep = 1061,
    SeekStepText = 1062,
    CaptureFolder = 1049,
    ChooseFolder = 1060,
    Cancel = 1055,
    Save = 1054,
    VideoQuality = 1063,
    SpeakerVolume = 1056,
    AccTriggerLevel = 1058,
    AutoParking = 32796,
    DriveList = 1015,
    Format = 1018,
    Voltage = 1072,
    Car = 1071,
    Truck = 1068,
    LcdOffTime = 1031,
    PowerOffTime = 1032,
    Date = 1074,
    Time = 1075,
    LcdBrightness = 1030,
    ScreenSaverOn = 1086,
    ScreenSaverOff = 1087,
    VoiceOn = 1082,
    VoiceOff = 1083,
    BeepOn = 1084,
    BeepOff = 1085,
    KeepSettingsYes = 1088,
    KeepSettingsNo = 1089,
    SetClock = 1029,
    TimeZone = 1094,
};

class CVelmarkOptionDlg : public CSetupDlg {
    Q_OBJECT

public:
    // A new model with its defaults, owned by the session.
    using ModelFactory = std::function<CVelmarkSetupData*()>;

    CVelmarkOptionDlg(SettingsServices services, ModelFactory newModel, QWidget* parent = nullptr);
    ~CVelmarkOptionDlg() override;

    // Runs once, at the first show (tests run it before showing), after the
    // session has set setupData and options.
    bool OnInitDialog();
    // Shows currentSetup and options in the controls; stores nothing.
    void RefreshControls();

    // The drive list.
    void FillDriveList();
    void SelectInitialDrive();
    // A new model for the selected drive (none: a model without card), its
    // setup.cfg read, shown.
    void OnDriveChanged();
    // The user's choice in the drive list: the entry in use chosen again
    // changes nothing.
    void OnDriveListChosen(int index);

    // The user's choices in the controls of the recorder's settings.
    void OnListChosen(int listId, int index);
    void OnOffClicked(int buttonId);
    void OnVehicleClicked();
    void OnClockClicked();
    // The seek-step track bar moved (also when it is set).
    void OnSeekStepChanged(int position);

    void OnBnClickedFormat();
    void OnBnClickedSave();
    void OnBnClickedCancel();
    void OnBnClickedDefaults();
    void OnBnClickedChooseFolder();

    // While a format runs the dialog takes no input and cannot be ended.
    bool Busy() const { return busy; }
    const ControlMap& Controls() const { return controls; }

    // The model the controls show and change.
    CVelmarkSetupData* currentSetup = nullptr;
    // DRIVE_PATH when the dialog opened.
    QString initialDrive;

public slots:
    // Cancel, Esc and the window's close; nothing while busy.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    template <typename T>
    T* Control(OptionDlgId id) const
    {
        return controls.Get<T>(static_cast<int>(id));
    }
    void SetUpControls();
    void Connect();
    void FillVoltageList(SettingsListMap::Vehicle vehicle);
    void ShowOnPicker(const QString& dateText, const QString& timeText);
    void UpdateFormatButton();
    void SetBusy(bool on);
    // After a format: the list refilled, the same block device selected.
    void ReselectDevice(quint64 deviceNumber);
    QComboBox& DriveList() const;
    QDateTime Now() const;

    SettingsServices services;
    ModelFactory newModel;
    ControlMap controls;
    // The card whose model is shown (none: no drive chosen).
    std::optional<DriveInfo> shownDrive;
    CardFormatFlow formatFlow;
    bool initialised = false;
    bool busy = false;
    std::vector<QPointer<QWidget>> disabledWhileBusy;
};
