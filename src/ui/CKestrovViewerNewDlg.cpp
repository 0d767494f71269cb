#include "ui/CKestrovViewerNewDlg.h"

#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "core/Common.h"
#include "core/Logger.h"
#include "hub/HubCodes.h"
#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"
#include "ui/KeyRouter.h"
#include "ui/LoadingNotice.h"
#include "ui/MainWindowLayout.h"
#include "ui/MainWindowSeams.h"
#include "ui/UiAssert.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>

#include <array>
#include <mutex>

namespace {

constexpr QSize kOuterSize(1065, 758);
constexpr QSize kMinimumOuterSize(1065, 753);
constexpr gdi::ColorRef kSideColour = gdi::Rgb(59, 59, 59);

constexpr int kTitleText = 6001;
constexpr int kWindowIcon = 245;
constexpr int kTitleBackground = 108;
constexpr int kTitleLogo = 350;
constexpr int kLogoBitmap = 153;

// The toolbar in layout order, with each button's looks and tooltip.
struct ToolbarEntry {
    MainWindowId id;
    std::array<int, 3> icons;  // normal, pressed, hover
    int tooltip;
};
constexpr std::array<ToolbarEntry, 7> kToolbar{{
    {MainWindowId::OpenButton, {194, 195, 196}, 241},
    {MainWindowId::CaptureButton, {208, 209, 211}, 237},
    {MainWindowId::CutButton, {204, 205, 207}, 238},
    {MainWindowId::PrintButton, {200, 201, 203}, 240},
    {MainWindowId::SettingsButton, {197, 198, 199}, 239},
    {MainWindowId::MaximizeButton, {191, 192, 193}, 242},
    {MainWindowId::AboutButton, {188, 189, 190}, 222},
}};

// Capture, cut and print: enabled looks, then the one disabled face.
struct CaptureLooks {
    MainWindowId id;
    std::array<int, 3> enabled;
    int disabled;
};
constexpr std::array<CaptureLooks, 3> kCaptureButtons{{
    {MainWindowId::CaptureButton, {208, 209, 211}, 210},
    {MainWindowId::CutButton, {204, 205, 207}, 206},
    {MainWindowId::PrintButton, {200, 201, 203}, 202},
}};

bool HasFixedIcons(MainWindowId id)
{
    return id != MainWindowId::CaptureButton && id != MainWindowId::CutButton && id != MainWindowId::PrintButton;
}

}  // namespace

void CKestrovViewerNewDlg::Log(const QString& message, const char* function)
{
    Logger::GetInstance().Log(message, QStringLiteral("CKestrovViewerNewDlg"), QString::fromLatin1(function), 3, 3);
}

CKestrovViewerNewDlg::CKestrovViewerNewDlg(MainWindowServices services) : services(std::move(services))
{
    ui::AssertUiThread();
    const QImage icon = Images().Icon(kWindowIcon);
    if (!icon.isNull())
        setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    setAcceptDrops(true);
    Hub().AttachListener(this);
}

CKestrovViewerNewDlg::~CKestrovViewerNewDlg()
{
    ui::AssertUiThread();
    // No pane may go while a delivery runs; a last delivery may be waiting
    // for this thread, so the wait serves the hand-offs.
    Hub().StopAndWait([] { UiThread::ServePending(); });
    // The map pane first (it takes a floating window with it), then the list
    // and the player pane, before QDialog deletes its children.
    delete mapPane;
    mapPane = nullptr;
    delete listPane;
    listPane = nullptr;
    delete playerPane;
    playerPane = nullptr;
    {
        std::lock_guard lock(pendingLock);
        pendingVideoFiles.clear();
    }
    Hub().DetachListener(this);
    if (services.releaseSingletons)
        services.releaseSingletons();
}

void CKestrovViewerNewDlg::OnInitDialog()
{
    ui::AssertUiThread();
    BuildControls();
    setWindowTitle(Common::GetResourceString(kTitleText));
    // The outer size; the first show takes the frame off it.
    move(0, 0);
    setMinimumSize(kMinimumOuterSize);
    resize(kOuterSize);
    SetOptionRecord(OptionRecord::LoadOptionIni());
    InitLog();
    InitSkinBitmaps();
    CreatePanes();
    LayoutControls();
    InitToolbarButtons();
    ShowToolbarButtons(true);
    EnableCaptureButtons(false);
    Hub().SetFilterType(0);
    Hub().ClearMessages();
    InitToolTips();
    InitAccelerators();
    PostSeekStep();
    currentDrive.clear();
    initialised = true;
}

void CKestrovViewerNewDlg::BuildControls()
{
    DialogBuilder::Overrides overrides;
    for (const ToolbarEntry& button : kToolbar) {
        overrides[static_cast<int>(button.id)] = [this](QWidget* parent, const DialogControl&) {
            return new CButtonStyle(parent, Images());
        };
    }
    overrides[static_cast<int>(MainWindowId::LogoButton)] = [this](QWidget* parent, const DialogControl&) {
        return new CMyBitmapButton(parent, Images());
    };
    controls = DialogBuilder::Build(DialogTemplate::Get(static_cast<int>(MainWindowId::Template)), this, overrides);
    // The window's own background shows through the buttons' corners.
    for (int id : controls.Ids())
        controls.Widget(id)->setAutoFillBackground(false);
    const std::pair<MainWindowId, void (CKestrovViewerNewDlg::*)()> commands[] = {
        {MainWindowId::OpenButton, &CKestrovViewerNewDlg::OnBnClickedOpenVideoBtn},
        {MainWindowId::CaptureButton, &CKestrovViewerNewDlg::OnBnClickedVideoCaptureBtn},
        {MainWindowId::CutButton, &CKestrovViewerNewDlg::OnBnClickedVideoRecordBtn},
        {MainWindowId::PrintButton, &CKestrovViewerNewDlg::OnBnClickedPrintBtn},
        {MainWindowId::SettingsButton, &CKestrovViewerNewDlg::OnBnClickedOptionBtn},
        {MainWindowId::MaximizeButton, &CKestrovViewerNewDlg::OnBnClickedVideoMaximizeBtn},
        {MainWindowId::AboutButton, &CKestrovViewerNewDlg::OnBnClickedHelpBtn},
    };
    for (const auto& [id, command] : commands)
        connect(ToolbarButton(id), &QAbstractButton::clicked, this, command);
}

void CKestrovViewerNewDlg::InitLog()
{
    const OptionRecord options = GetOptionRecord();
    Logger& logger = Logger::GetInstance();
    logger.SetEnabled(options.useLog);
    logger.SetType(options.logType);
    logger.SetLevel(options.logLevel);

    Log(QStringLiteral("Log Start!"), "OnInitDialog");
    Log(QStringLiteral("KestrovViewerDlg Init"), "OnInitDialog");
    Common::GetFileNames();
    Log(Common::GetOSName(), "OnInitDialog");
    Log(Common::GetMemoryStatus(), "OnInitDialog");
    Log(Common::GetCPUSpeed(), "OnInitDialog");
    Log(Common::GetCPUType(), "OnInitDialog");
}

void CKestrovViewerNewDlg::InitSkinBitmaps()
{
    CMyBitmapButton* logo = LogoButton();
    logo->LoadBitmaps(kLogoBitmap, 0, 0, 0);
    logo->SizeToContent();
    titleBackground = Images().Bitmap(kTitleBackground);
    titleLogo = Images().Bitmap(kTitleLogo);
}

void CKestrovViewerNewDlg::CreatePanes()
{
    const PaneFactory& factory = services.paneFactory;
    playerPane = factory.makePlayer(*this);
    playerPane->Widget()->show();
    mapPane = factory.makeMap(*this);
    mapPane->SetShown(true);
    listPane = factory.makeList(*this);
    listPane->show();
}

void CKestrovViewerNewDlg::InitToolbarButtons()
{
    for (const ToolbarEntry& button : kToolbar) {
        CButtonStyle* widget = ToolbarButton(button.id);
        widget->SetBackgroundBitmap(kTitleBackground);
        if (HasFixedIcons(button.id))
            widget->SetIcons(button.icons[0], button.icons[1], button.icons[2]);
        widget->resize(32, 32);
    }
}

void CKestrovViewerNewDlg::InitToolTips()
{
    for (const ToolbarEntry& button : kToolbar)
        ToolbarButton(button.id)->setToolTip(Common::GetResourceString(button.tooltip));
}

CButtonStyle* CKestrovViewerNewDlg::ToolbarButton(MainWindowId id) const
{
    return controls.Get<CButtonStyle>(static_cast<int>(id));
}

CMyBitmapButton* CKestrovViewerNewDlg::LogoButton() const
{
    return controls.Get<CMyBitmapButton>(static_cast<int>(MainWindowId::LogoButton));
}

void CKestrovViewerNewDlg::LayoutControls()
{
    ui::AssertUiThread();
    CMyBitmapButton* logo = LogoButton();
    const MainWindowRects rects = MainWindowLayout(width(), height(), Hub().GetMaximized(), logo->size());
    if (playerPane)
        playerPane->Widget()->setGeometry(rects.player);
    if (QWidget* slot = mapPane ? mapPane->SlotWidget() : nullptr; slot && rects.map)
        slot->setGeometry(*rects.map);
    if (listPane && rects.list)
        listPane->setGeometry(*rects.list);
    logo->move(rects.logo.topLeft());
    logo->SizeToContent();
    for (std::size_t i = 0; i < kToolbar.size(); ++i)
        ToolbarButton(kToolbar[i].id)->setGeometry(rects.toolbar[i]);
}

void CKestrovViewerNewDlg::ShowToolbarButtons(bool show)
{
    ui::AssertUiThread();
    for (const ToolbarEntry& button : kToolbar)
        ToolbarButton(button.id)->setVisible(show);
    LogoButton()->setVisible(show);
}

void CKestrovViewerNewDlg::EnableCaptureButtons(bool enable)
{
    ui::AssertUiThread();
    for (const CaptureLooks& looks : kCaptureButtons) {
        CButtonStyle* button = ToolbarButton(looks.id);
        if (enable)
            button->SetIcons(looks.enabled[0], looks.enabled[1], looks.enabled[2]);
        else
            button->SetIcons(looks.disabled, looks.disabled, looks.disabled);
        button->setEnabled(enable);
    }
}

void CKestrovViewerNewDlg::PostSeekStep()
{
    auto payload = std::make_unique<MessageParam>();
    payload->seekStep = GetOptionRecord().playValue;
    Hub().Post(VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED, std::move(payload));
}

OptionRecord CKestrovViewerNewDlg::GetOptionRecord() const
{
    std::lock_guard lock(optionsLock);
    return viewerOptions;
}

void CKestrovViewerNewDlg::SetOptionRecord(const OptionRecord& options)
{
    std::lock_guard lock(optionsLock);
    viewerOptions = options;
}

void CKestrovViewerNewDlg::reject() {}

void CKestrovViewerNewDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CKestrovViewerNewDlg::closeEvent(QCloseEvent* event)
{
    ui::AssertUiThread();
    event->accept();
    if (!closed)
        OnClose();
}

void CKestrovViewerNewDlg::OnClose()
{
    ui::AssertUiThread();
    closed = true;
    // Ends the modal run once this handler returns.
    QDialog::done(QDialog::Rejected);
    Hub().Stop();
    GetOptionRecord().Save();
    Log(QStringLiteral("Log End\n"), "OnClose");
}

void CKestrovViewerNewDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (initialised)
        LayoutControls();
}

void CKestrovViewerNewDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FitOuterSizeToFrame();
}

void CKestrovViewerNewDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    // A window manager frames the window after it was shown.
    if (isVisible())
        FitOuterSizeToFrame();
}

// The size set at start is the outer one: once the frame is known, the
// client gives up its width and height, and so does the minimum.
void CKestrovViewerNewDlg::FitOuterSizeToFrame()
{
    if (outerSizeFitted || !initialised)
        return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.isNull())
        return;
    outerSizeFitted = true;
    setMinimumSize(kMinimumOuterSize - frame);
    if (size() == kOuterSize)
        resize(kOuterSize - frame);
}

void CKestrovViewerNewDlg::paintEvent(QPaintEvent*)
{
    // The sides the player pane leaves, then the title strip; the panes
    // paint themselves over the rest.
    QPainter painter(this);
    const QColor side = gdi::ToQColor(kSideColour);
    const int playerWidth = playerPane ? playerPane->Widget()->width() : 0;
    painter.fillRect(gdi::RectLTRB(0, 0, 5, height()), side);
    painter.fillRect(gdi::RectLTRB(playerWidth + 5, 0, width(), height()), side);
    if (!titleBackground.isNull())
        gdi::Stretch(painter, QRect(0, 0, width(), kTitleStripHeight), titleBackground, titleBackground.rect());
    if (!titleLogo.isNull())
        gdi::Copy(painter, QPoint(0, 0), titleLogo, QRect(0, 0, titleLogo.width(), kTitleStripHeight));
}

void CKestrovViewerNewDlg::RunStartupDriveSelection()
{
    ui::AssertUiThread();
    const std::optional<QString> drive = services.startupDriveChooser(this);
    if (!drive)
        return;
    LoadingNotice notice(*this, true);
    currentDrive = *drive;
    if (!currentDrive.isEmpty())
        OpenVideoFiles({currentDrive}, {});
}
