#pragma once
// The cut dialog: the user picks the start and end second of the current
// recording on two sliders, sees the frame at the start and the one a second
// before the end in two still previews (a command-line player each, drawing
// into a native child window), and chooses the folder. It works out a free
// output name; the caller cuts. It writes no file.

#include "platform/widgets/DialogBuilder.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class ApplicationHub;
class CutSlider;
class MplayerControl;
class QLabel;
class RecordingEntry;

// The controls of dialog template 132.
enum class CutDialogControl : int {
    StartPreview = 1082,
    EndPreview = 1081,
    StartCaption = 32789,
    StartLabel = 1083,
    EndCaption = 32790,
    EndLabel = 1085,
    StartSlider = 1013,
    EndSlider = 1014,
    LengthCaption = 32791,
    LengthLabel = 1084,
    Save = 1058,
    Cancel = 1059,
};

// What the dialog takes from the machine; tests put in their own.
struct CutDialogSeams {
    // The window a preview player draws into: the X11 id of the native
    // child, or 0 where there is none (offscreen, Wayland): no player
    // starts and the preview stays black.
    std::function<unsigned long long(QWidget* preview)> previewWindowId = X11WindowId;
    QString playerPath = DefaultPlayerPath();

    static unsigned long long X11WindowId(QWidget* preview);
    static QString DefaultPlayerPath();
};

class CSaveVideoDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 132;
    static constexpr int kPreviewVolume = 10;

    CSaveVideoDialog(QWidget* parent, ApplicationHub& hub, CutDialogSeams seams = {});
    // Drops both previews, each reaping its player.
    ~CSaveVideoDialog() override;

    // The recording to cut, set before exec(). Its path, file name and
    // duration are copied once, under the hub's fileLock, when the dialog
    // is first shown.
    std::shared_ptr<const RecordingEntry> recording;

    // The results; they keep their values after the dialog has closed.
    QString GetOutputFileName() const { return outputFileName; }
    QString GetOutputFolder() const { return outputFolder; }
    QString GetStartTime() const { return segmentStart; }
    QString GetEndTime() const { return segmentEnd; }

    // Runs once, at the first show (the native preview windows exist then).
    bool OnInitDialog();
    bool InitVideoPanel();
    bool SetTimeLabels();
    bool InitSliders();
    void OnStartSliderReleased();
    void OnEndSliderReleased();
    void UpdateSegmentLength();
    // Save: asks for the folder; none keeps the dialog open as it was.
    void OnBnClickedokbtn();
    void StopPreviews();
    // The output name for the folder; false, and no name, for an empty one.
    bool setOutputFileName(const QString& folder);
    // sourceFileName's base + "_copy(n)." + its extension ("avi" or "mp4",
    // as written), n the first for which nothing (not even a dangling link)
    // is in folder. False, and no name, for any other extension, an empty
    // name or an empty folder.
    bool MakeOutputFileName(const QString& folder, const QString& sourceFileName);

    const ControlMap& Controls() const { return controls; }

    // Every way of closing stops the previews first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* MakePreviewWindow(QWidget* parent) const;
    void FitCaptions();
    void StartPreview(MplayerControl& preview, QWidget* window, const QString& start);

    ApplicationHub& hub;
    CutDialogSeams seams;
    ControlMap controls;
    CutSlider* startSlider = nullptr;
    CutSlider* endSlider = nullptr;
    QLabel* startLabel = nullptr;
    QLabel* endLabel = nullptr;
    QLabel* lengthLabel = nullptr;

    // Copied from the recording at initialisation.
    QString sourcePath;
    QString sourceFileName;
    int duration = 0;

    QString outputFileName;
    QString outputFolder;
    QString segmentStart;
    QString segmentEnd;
    std::unique_ptr<MplayerControl> startPreview;
    std::unique_ptr<MplayerControl> endPreview;
    bool initialised = false;
};
