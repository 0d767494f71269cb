#include "ui/GyroscopeGraphControl.h"

#include "controls/CGraphStatic.h"
#include "core/Numbers.h"
#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"
#include "platform/UiThread.h"
#include "recordings/RecordingEntry.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <optional>

namespace {

const QString kClass = QStringLiteral("GyroscopeGraphControl");

// One colour per axis, for its series, caption and value.
struct Axis {
    gdi::ColorRef color;
    GyroscopeGraphControl::Control caption;
    GyroscopeGraphControl::Control value;
    int captionX;
    int valueX;
};
constexpr std::array<Axis, 3> kAxes{{
    {0x0064FF, GyroscopeGraphControl::CaptionX, GyroscopeGraphControl::ValueX, 20, 50},
    {0x64FFFF, GyroscopeGraphControl::CaptionY, GyroscopeGraphControl::ValueY, 170, 200},
    {0x40FF00, GyroscopeGraphControl::CaptionZ, GyroscopeGraphControl::ValueZ, 320, 350},
}};

const QString kNoValue = QStringLiteral("-");
const QString kNoSpeed = QStringLiteral("- km/h");

void SetTextColour(QLabel* label, gdi::ColorRef color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, gdi::ToQColor(color));
    label->setPalette(palette);
}

}  // namespace

double ScaleGraphValue(double value, double clientHeight, double plotHeight, double yRange)
{
    return std::min(clientHeight * value / yRange, plotHeight);
}

QString FormatSensorValue(double value)
{
    return QStringLiteral("   ") + Numbers::FormatFixed(value, 6);
}

GyroscopeGraphControl::GyroscopeGraphControl(ApplicationHub& hub, WindowMoveRequest moveWindow)
    : hub(hub), moveWindow(std::move(moveWindow))
{
    LogPane(QStringLiteral("create"), kClass, kClass);
    hub.AttachListener(this);
}

GyroscopeGraphControl::~GyroscopeGraphControl()
{
    hub.DetachListener(this);
}

void GyroscopeGraphControl::Create(QWidget* parent)
{
    Q_ASSERT(UiThread::IsUiThread());
    setParent(parent);
    const DialogBuilder::Overrides overrides{
        {Graph, [this](QWidget* dialog, const DialogControl&) { return graph = new CGraphStatic(dialog); }},
    };
    controls = DialogBuilder::Build(DialogTemplate::Get(kTemplate), this, overrides);
    OnInitDialog();
}

void GyroscopeGraphControl::OnInitDialog()
{
    LogPane(QStringLiteral("Init"), kClass, kClass);
    graph->SetYRange(kYRange);
    graph->RecalcLayout();
    ShowEmptyGraph();
    for (const Axis& axis : kAxes) {
        SetTextColour(Label(axis.caption), axis.color);
        SetTextColour(Label(axis.value), axis.color);
    }
    Label(SpeedLabel)->hide();
    initialized = true;
    LayOut();
}

QLabel* GyroscopeGraphControl::Label(Control id) const
{
    return controls.Get<QLabel>(id);
}

void GyroscopeGraphControl::update(int code, const MessageParam* payload)
{
    switch (code) {
    case VIDEO_STOP:
        UiThread::Invoke([this] {
            ResetValueLabels();
            ClearGraph();
            ResetSpeedLabel();
        });
        break;
    case VIDEO_END_REACHED:
        UiThread::Invoke([this] {
            ResetValueLabels();
            ResetSpeedLabel();
        });
        break;
    case VIDEO_METADATA_CREATED:
        if (const std::shared_ptr<RecordingEntry> entry = EntryAtCurrentIndex(hub)) {
            // The worker waits in Invoke, so the entry is read without a lock.
            UiThread::Invoke([this, &entry] {
                LoadGraphSeries(*entry);
                ResetSpeedLabel();
            });
        }
        break;
    case VIDEO_FRAME_POSITION_CHANGED:
        if (const std::optional<MotionSample> sample = MotionSampleAtPosition(hub, payload->position))
            UiThread::Invoke([this, &sample] { SetSensorValueLabels(*sample); });
        break;
    default:
        break;
    }
}

void GyroscopeGraphControl::ClearGraph()
{
    Q_ASSERT(UiThread::IsUiThread());
    graph->RemoveAllSeries();
    ShowEmptyGraph();
}

void GyroscopeGraphControl::SetSensorValueLabels(const MotionSample& sample)
{
    Q_ASSERT(UiThread::IsUiThread());
    Label(ValueX)->setText(FormatSensorValue(sample.x));
    Label(ValueY)->setText(FormatSensorValue(sample.y));
    Label(ValueZ)->setText(FormatSensorValue(sample.z));
}

// The values are stored in pixels of the graph's height now: a later resize
// spreads them over the new width but keeps this vertical scale.
void GyroscopeGraphControl::LoadGraphSeries(const RecordingEntry& entry)
{
    Q_ASSERT(UiThread::IsUiThread());
    graph->RemoveAllSeries();
    if (entry.motionSamples.empty()) {
        ShowEmptyGraph();
        ResetValueLabels();
        return;
    }
    std::array<GraphSeries*, 3> series{};
    for (std::size_t axis = 0; axis < kAxes.size(); ++axis)
        series[axis] = graph->AddSeries(kAxes[axis].color, 1);
    const double height = graph->ClientHeight();
    const double plotHeight = graph->PlotRect().height();
    const auto scaled = [&](double value) { return ScaleGraphValue(value, height, plotHeight, kYRange); };
    for (const MotionSample& sample : entry.motionSamples) {
        graph->AppendValue(series[0], scaled(sample.x));
        graph->AppendValue(series[1], scaled(sample.y));
        graph->AppendValue(series[2], scaled(sample.z));
    }
    graph->Redraw();
}

void GyroscopeGraphControl::ShowEmptyGraph()
{
    graph->FillBackground();
    graph->DrawGrid();
    graph->DrawAxisLabels();
    graph->ShowSurface();
}

void GyroscopeGraphControl::ResetValueLabels()
{
    for (const Axis& axis : kAxes)
        Label(axis.value)->setText(kNoValue);
}

void GyroscopeGraphControl::ResetSpeedLabel()
{
    Label(SpeedLabel)->setText(kNoSpeed);
}

void GyroscopeGraphControl::LayOut()
{
    const int w = width();
    const int h = height();
    graph->setGeometry(0, 0, std::max(0, w - 11), std::max(0, h - 40));
    graph->RecalcLayout();
    graph->Redraw();
    for (const Axis& axis : kAxes) {
        Label(axis.caption)->setGeometry(axis.captionX, h - 30, 60, 15);
        Label(axis.value)->setGeometry(axis.valueX, h - 30, 60, 15);
    }
}

void GyroscopeGraphControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (initialized)
        LayOut();
}

void GyroscopeGraphControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

// A drag on the strip moves the main window; the plot and the labels pass
// their presses on to here.
void GyroscopeGraphControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && moveWindow)
        moveWindow(window());
    event->accept();
}
