#include "PlayerPaneFixtures.h"

#include "hub/HubMessage.h"
#include "support/FileFixtures.h"

#include <QCoreApplication>

namespace playerpanetest {

Window::Window()
{
    setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
}

QRgb BitmapColour(int id)
{
    return qRgb(id % 256, 40, 80);
}

QRgb IconColour(int id)
{
    return qRgb(id % 256, 80, 40);
}

void AddPaneSkin(controlstest::FakeImageSource& images)
{
    using controlstest::Flat;
    const auto bitmap = [&](int id, QSize size) { images.AddBitmap(id, Flat(size, BitmapColour(id))); };
    bitmap(107, {1065, 55});
    for (int id : {170, 173})
        bitmap(id, {16, 6});
    bitmap(167, {3, 6});
    for (int id : {171, 172, 168, 169})
        bitmap(id, {11, 20});
    for (int id : {181, 182, 109, 110, 183, 184, 155, 156})
        bitmap(id, {24, 24});
    for (int id = 297; id <= 302; ++id)
        bitmap(id, {43, 19});
    bitmap(174, {124, 38});
    for (int id = 157; id <= 166; ++id) {
        QImage digit = Flat({10, 20}, Qt::white);
        for (int y = 4; y < 16; ++y)
            for (int x = 2; x < 8; ++x)
                digit.setPixel(x, y, BitmapColour(id));
        images.AddBitmap(id, digit);
    }
    QImage point = Flat({6, 20}, Qt::white);
    point.setPixel(3, 17, BitmapColour(127));
    images.AddBitmap(127, point);
    for (int id : {185, 186})
        bitmap(id, {70, 21});
    for (int id = 212; id <= 235; ++id)
        images.AddIcon(id, Flat({32, 32}, IconColour(id), QImage::Format_ARGB32));
    for (int id = 347; id <= 349; ++id)
        images.AddIcon(id, Flat({32, 32}, IconColour(id), QImage::Format_ARGB32));
}

std::shared_ptr<RecordingEntry> MakeEntry(const EntrySpec& spec, const QTemporaryDir* folder)
{
    const QString path = folder ? folder->filePath(spec.name) : QStringLiteral("/nonexistent/") + spec.name;
    if (folder)
        testsupport::WriteFileBytes(path, QByteArray("RIFF"));
    auto entry = std::make_shared<RecordingEntry>(OleDateTime(), spec.type, path, spec.name);
    entry->duration = spec.duration;
    entry->durationSpan = spec.duration;
    entry->totalFrames = spec.totalFrames;
    entry->videoStreamCount = spec.streams;
    entry->metadataLoaded = true;
    for (double speed : spec.speeds) {
        GpsFix fix;
        fix.speed = speed;
        fix.valid = true;
        entry->gpsFixes.push_back(fix);
    }
    return entry;
}

std::unique_ptr<MessageParam> Position(float position)
{
    auto payload = std::make_unique<MessageParam>();
    payload->position = position;
    return payload;
}

PlayerPaneTest::PlayerPaneTest(ApplicationHub::MetadataLoader loader) : harness(std::move(loader))
{
    AddPaneSkin(fakeImages);
}

PlayerPaneTest::~PlayerPaneTest()
{
    harness.StopAndWait();
    delete window;
}

CVideoPlayerPane& PlayerPaneTest::Make(QSize size, bool initialise, const ImageSource* images, ApplicationHub* onHub)
{
    window = new Window;
    window->resize(size);
    pane = new CVideoPlayerPane(window, host, onHub ? *onHub : hub, images ? *images : fakeImages,
                                parts ? parts() : stubs.Parts());
    harness.AttachRecorder();
    if (initialise)
        pane->OnInitDialog();
    pane->setGeometry(QRect(QPoint(0, 0), size));
    window->show();
    return *pane;
}

QRgb PlayerPaneTest::ShownAt(int id)
{
    QWidget* control = Control(id);
    return testsupport::Grab(*control).pixel(control->width() / 2, control->height() / 2);
}

void PlayerPaneTest::Settle()
{
    QCoreApplication::processEvents();
    ASSERT_TRUE(harness.Drain());
}

std::vector<MessageParam> PlayerPaneTest::Payloads(int code)
{
    std::vector<MessageParam> payloads;
    for (const hubtest::Delivery& d : harness.GetJournal().Entries())
        if (d.listener == hubtest::HubHarness::kRecorder && d.code == code)
            payloads.push_back(d.payload);
    return payloads;
}

void PlayerPaneTest::SetPlaylist(ApplicationHub::Entries entries, int current)
{
    hub.SetVideoFiles(std::move(entries));
    hub.SetCurrentIndex(current);
}

}  // namespace playerpanetest
