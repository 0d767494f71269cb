#include "ui/CSaveVideoDialog.h"

#include "core/Common.h"
#include "core/Logger.h"
#include "core/Numbers.h"
#include "hub/ApplicationHub.h"
#include "platform/Paths.h"
#include "platform/UiThread.h"
#include "platform/widgets/ChooseFolder.h"
#include "playback/MplayerControl.h"
#include "ui/CutSlider.h"
#include "ui/TimeText.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr int kFolderCaption = 250;  // "Выберите папку."
const char* const kClassName = "CSaveVideoDialog";

QWidget* Control(const ControlMap& controls, CutDialogControl id)
{
    return controls.Widget(static_cast<int>(id));
}

template <typename T>
T* Control(const ControlMap& controls, CutDialogControl id)
{
    return controls.Get<T>(static_cast<int>(id));
}

// Any entry at all, a dangling link included.
bool EntryExists(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

}  // namespace

unsigned long long CutDialogSeams::X11WindowId(QWidget* preview)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return 0;
    }
    return static_cast<unsigned long long>(preview->winId());
}

QString CutDialogSeams::DefaultPlayerPath()
{
    return MplayerControl::GetMplayerPath();
}

CSaveVideoDialog::CSaveVideoDialog(QWidget* parent, ApplicationHub& hub, CutDialogSeams seams)
    : QDialog(parent), hub(hub), seams(std::move(seams))
{
    const auto slider = [](QWidget* owner, const DialogControl&) -> QWidget* { return new CutSlider(owner); };
    const auto preview = [this](QWidget* owner, const DialogControl&) { return MakePreviewWindow(owner); };
    controls = DialogBuilder::Build(DialogTemplate::Get(kTemplateId), this,
                                    {{static_cast<int>(CutDialogControl::StartSlider), slider},
                                     {static_cast<int>(CutDialogControl::EndSlider), slider},
                                     {static_cast<int>(CutDialogControl::StartPreview), preview},
                                     {static_cast<int>(CutDialogControl::EndPreview), preview}});
    startSlider = Control<CutSlider>(controls, CutDialogControl::StartSlider);
    endSlider = Control<CutSlider>(controls, CutDialogControl::EndSlider);
    startLabel = Control<QLabel>(controls, CutDialogControl::StartLabel);
    endLabel = Control<QLabel>(controls, CutDialogControl::EndLabel);
    lengthLabel = Control<QLabel>(controls, CutDialogControl::LengthLabel);
    FitCaptions();

    connect(startSlider, &CutSlider::releasedCapture, this, &CSaveVideoDialog::OnStartSliderReleased);
    connect(endSlider, &CutSlider::releasedCapture, this, &CSaveVideoDialog::OnEndSliderReleased);
    connect(Control<QPushButton>(controls, CutDialogControl::Save), &QPushButton::clicked, this,
            &CSaveVideoDialog::OnBnClickedokbtn);
    connect(Control<QPushButton>(controls, CutDialogControl::Cancel), &QPushButton::clicked, this,
            &QDialog::reject);
}

CSaveVideoDialog::~CSaveVideoDialog() = default;

QWidget* CSaveVideoDialog::MakePreviewWindow(QWidget* parent) const
{
    auto* window = new QWidget(parent);
    // The player draws into this window from its own process.
    window->setAttribute(Qt::WA_NativeWindow);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::black);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    return window;
}

void CSaveVideoDialog::FitCaptions()
{
    // A caption longer than its place keeps its right edge and grows
    // leftwards, towards the free space before it.
    for (CutDialogControl id :
         {CutDialogControl::StartCaption, CutDialogControl::EndCaption, CutDialogControl::LengthCaption}) {
        auto* caption = Control<QLabel>(controls, id);
        caption->setWordWrap(false);
        const int needed = caption->fontMetrics().horizontalAdvance(caption->text()) + 1;
        QRect place = caption->geometry();
        if (needed > place.width()) {
            place.setLeft(place.right() + 1 - needed);
            caption->setGeometry(place);
        }
    }
}

void CSaveVideoDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!initialised) {
        initialised = true;
        OnInitDialog();
    }
}

bool CSaveVideoDialog::OnInitDialog()
{
    if (recording) {
        std::lock_guard lock(hub.fileLock);
        sourcePath = recording->path;
        sourceFileName = recording->fileName;
        duration = std::max(recording->duration, 0);
    }
    InitVideoPanel();
    InitSliders();
    return true;
}

bool CSaveVideoDialog::InitVideoPanel()
{
    Logger::GetInstance().Log("video Panel Init", kClassName, "InitVideoPanel", 3, 3);
    // A child is tied to the thread that starts it (ChildProcess).
    if (!UiThread::IsUiThread()) {
        throw std::logic_error("the cut dialog's previews start on the UI thread only");
    }
    startPreview = std::make_unique<MplayerControl>(seams.playerPath);
    endPreview = std::make_unique<MplayerControl>(seams.playerPath);
    SetTimeLabels();
    StartPreview(*startPreview, Control(controls, CutDialogControl::StartPreview), segmentStart);
    // One second before the end; never before the start of the file.
    StartPreview(*endPreview, Control(controls, CutDialogControl::EndPreview),
                 Numbers::FormatInt(std::max(duration - 1, 0)));
    return true;
}

void CSaveVideoDialog::StartPreview(MplayerControl& preview, QWidget* window, const QString& start)
{
    preview.SetVideoWindow(seams.previewWindowId(window));
    if (sourcePath.isEmpty()) {
        return;
    }
    preview.Launch(sourcePath, start, kPreviewVolume, true);
    preview.SendCommand(QStringLiteral("pause"));
}

bool CSaveVideoDialog::SetTimeLabels()
{
    segmentStart = FormatSeconds(0);
    startLabel->setText(segmentStart);
    segmentEnd = FormatSeconds(duration);
    endLabel->setText(segmentEnd);
    lengthLabel->setText(segmentEnd);
    return true;
}

bool CSaveVideoDialog::InitSliders()
{
    startSlider->SetSeconds(duration);
    endSlider->SetSeconds(duration);
    endSlider->setValue(duration);
    startSlider->setValue(0);
    return true;
}

void CSaveVideoDialog::OnStartSliderReleased()
{
    if (startSlider->value() >= endSlider->value()) {
        startSlider->setValue(endSlider->value() - 1);
    }
    segmentStart = FormatSeconds(startSlider->value());
    startLabel->setText(segmentStart);
    if (startPreview) {
        startPreview->Seek(startSlider->value());
    }
    UpdateSegmentLength();
}

void CSaveVideoDialog::OnEndSliderReleased()
{
    if (endSlider->value() <= startSlider->value()) {
        endSlider->setValue(startSlider->value() + 1);
    }
    segmentEnd = FormatSeconds(endSlider->value());
    endLabel->setText(segmentEnd);
    if (endPreview) {
        endPreview->Seek(std::max(endSlider->value() - 1.0, 0.0));
    }
    UpdateSegmentLength();
}

void CSaveVideoDialog::UpdateSegmentLength()
{
    // The released positions, as the labels show them; real hours past a day.
    const long long length =
        static_cast<long long>(ParseTimeText(segmentEnd)) - static_cast<long long>(ParseTimeText(segmentStart));
    lengthLabel->setText(FormatSeconds(static_cast<int>(std::clamp<long long>(length, -1, INT_MAX))));
}

void CSaveVideoDialog::OnBnClickedokbtn()
{
    Logger::GetInstance().Log("Save Button Click", kClassName, "OnBnClickedokbtn", 3, 3);
    const std::optional<QString> folder =
        platform::ChooseFolder(this, Common::GetResourceString(kFolderCaption), QDir::homePath());
    if (!folder || folder->isEmpty()) {
        return;
    }
    outputFolder = *folder;
    // A source the name rules refuse still closes with OK; the cut then
    // fails on the empty name and says so.
    setOutputFileName(outputFolder);
    StopPreviews();
    accept();
}

void CSaveVideoDialog::StopPreviews()
{
    for (MplayerControl* preview : {startPreview.get(), endPreview.get()}) {
        if (preview) {
            preview->Stop();
        }
    }
}

bool CSaveVideoDialog::setOutputFileName(const QString& folder)
{
    Logger::GetInstance().Log("Create Output FileName", kClassName, "setOutputFileName", 3, 3);
    if (folder.isEmpty()) {
        outputFileName.clear();
        return false;
    }
    return MakeOutputFileName(folder, sourceFileName);
}

bool CSaveVideoDialog::MakeOutputFileName(const QString& folder, const QString& sourceFileName)
{
    outputFileName.clear();
    const QString extension = sourceFileName.right(3);
    if (folder.isEmpty() || sourceFileName.isEmpty() ||
        (extension != QLatin1String("mp4") && extension != QLatin1String("avi"))) {
        return false;
    }
    const QString base = sourceFileName.left(std::max<qsizetype>(sourceFileName.size() - 4, 0));
    for (long long n = 1;; ++n) {
        const QString name = base + QStringLiteral("_copy(") + Numbers::FormatInt(n) + QStringLiteral(").") + extension;
        if (!EntryExists(Paths::Join(folder, name))) {
            outputFileName = name;
            return true;
        }
    }
}

void CSaveVideoDialog::done(int result)
{
    StopPreviews();
    QDialog::done(result);
}
