#pragma once
// The G-sensor strip under the video: the three axes of the current
// recording plotted over its whole length, and below the plot the three
// values at the play position.

#include "hub/IListener.h"
#include "platform/widgets/DialogBuilder.h"
#include "platform/widgets/WindowMove.h"
#include "playback/PlayerPaneSeams.h"
#include "ui/PaneSupport.h"

#include <QWidget>

class ApplicationHub;
class CGraphStatic;
class QLabel;
class RecordingEntry;

// A G-sensor value in pixels of a graph clientHeight high that spans
// ±yRange, held at the plot's height above (there is no lower bound).
double ScaleGraphValue(double value, double clientHeight, double plotHeight, double yRange);

// "   %.6f" in the C locale, whatever the user's locale.
QString FormatSensorValue(double value);

class GyroscopeGraphControl : public QWidget, public IListener, public IGyroscopePane {
    Q_OBJECT
public:
    // Template 231's controls.
    enum Control : int {
        Graph = 1124,
        ValueX = 1125,
        ValueY = 1126,
        ValueZ = 1127,
        CaptionX = 1128,
        CaptionY = 1129,
        CaptionZ = 1130,
        SpeedLabel = 1156,
    };
    static constexpr int kTemplate = 231;
    static constexpr double kYRange = 5.0;

    // Logs and attaches to the hub; Create builds the widgets.
    explicit GyroscopeGraphControl(ApplicationHub& hub, WindowMoveRequest moveWindow = platform::StartWindowMove);
    // Detaches first, so no delivery reaches a pane being destroyed.
    ~GyroscopeGraphControl() override;

    // Builds template 231 on the pane, a child of parent, and initialises it.
    void Create(QWidget* parent);

    // Hub worker: takes what it needs, then one UI-thread task does the rest.
    using QWidget::update;
    void update(int code, const MessageParam* payload) override;

    // UI thread.
    QWidget* Widget() override { return this; }
    void ClearGraph() override;
    void SetSensorValueLabels(const MotionSample& sample) override;
    void LoadGraphSeries(const RecordingEntry& entry);

    CGraphStatic* GraphControl() const { return graph; }
    QLabel* Label(Control id) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnInitDialog();
    void LayOut();
    void ShowEmptyGraph();
    void ResetValueLabels();
    void ResetSpeedLabel();

    ApplicationHub& hub;
    WindowMoveRequest moveWindow;
    ControlMap controls;
    CGraphStatic* graph = nullptr;
    bool initialized = false;
};
