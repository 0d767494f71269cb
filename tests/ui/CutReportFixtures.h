#pragma once
// Fixtures of the cut dialog, report and picker suites: a hub whose worker
// parses nothing, recordings and a report made by hand, the boxes the user
// would see, and dragging a slider as a user does.

#include "hub/ApplicationHub.h"
#include "platform/UserNotifier.h"
#include "recordings/RecordingEntry.h"
#include "ui/CSaveVideoDialog.h"
#include "ui/CutSlider.h"
#include "ui/PrintReportData.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <memory>

namespace cuttest {

inline std::unique_ptr<ApplicationHub> MakeHub()
{
    return std::make_unique<ApplicationHub>([](RecordingEntry&) { return true; });
}

inline std::shared_ptr<RecordingEntry> MakeEntry(const QString& path, int duration, int streams = 2)
{
    auto entry = std::make_shared<RecordingEntry>(OleDateTime(), RECORDING_NORMAL, path, path.section(u'/', -1));
    entry->duration = duration;
    entry->videoStreamCount = streams;
    return entry;
}

inline QImage Solid(int width, int height, Qt::GlobalColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A report of a two-camera recording: red front, blue rear, a green map of
// the docked map's size, and every line (the date-time and speed lines are
// carried but never printed).
inline PrintReportData SampleReport()
{
    PrintReportData record;
    record.channel1Image = Solid(1280, 720, Qt::red);
    record.channel2Image = Solid(1280, 720, Qt::blue);
    record.mapImage = Solid(276, 237, Qt::green);
    record.SetLatitudeText("Широта : 37.56000000");
    record.SetLongitudeText("Долгота : 126.97000000");
    record.SetGSensorText("Датчик : X= 0.03125000, Y= -0.06250000, Z= 1.00000000");
    record.SetDateTimeText("DATE-TIME-LINE");
    record.SetSpeedText("SPEED-LINE");
    return record;
}

// Records the boxes for the fixture's life.
class ScopedRecordingNotifier {
public:
    ScopedRecordingNotifier() { UserNotifier::Install(&notifier); }
    ~ScopedRecordingNotifier() { UserNotifier::Install(nullptr); }
    RecordingNotifier notifier;
};

inline CutSlider* Slider(const CSaveVideoDialog& dialog, CutDialogControl id)
{
    return dialog.Controls().Get<CutSlider>(static_cast<int>(id));
}

inline QString LabelText(const CSaveVideoDialog& dialog, CutDialogControl id)
{
    const auto* label = dialog.Controls().Get<QLabel>(static_cast<int>(id));
    return label ? label->text() : QString();
}

// The centre of the thumb when the slider stands at value.
inline QPoint ThumbCentre(CutSlider& slider, int value)
{
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    const QRect groove =
        slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &slider);
    const QRect handle =
        slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    const int span = groove.width() - handle.width();
    const int x = groove.x() +
                  QStyle::sliderPositionFromValue(slider.minimum(), slider.maximum(), value, span) +
                  handle.width() / 2;
    return {x, handle.center().y()};
}

// Presses the thumb, drags it to value and lets go.
inline void DragTo(CutSlider& slider, int value)
{
    const QPoint from = ThumbCentre(slider, slider.value());
    const QPoint to = ThumbCentre(slider, value);
    QTest::mousePress(&slider, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), slider.mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(&slider, &move);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, to);
}

}  // namespace cuttest
