#include "ui/CAbout.h"

#include "controls/CMyBitmapButton.h"
#include "platform/gdi/GdiCompat.h"
#include "platform/widgets/DialogBuilder.h"
#include "ui/UiAssert.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace {

constexpr QSize kSize(291, 140);
constexpr QRect kTitle(0, 0, 291, 28);
constexpr QRect kOkPlace(200, 100, 60, 25);
constexpr gdi::ColorRef kBackground = 0x4B4B4B;
constexpr gdi::ColorRef kText = 0xC8C8C8;
constexpr int kTitleBitmap = 101;
constexpr int kOkNormal = 104;
constexpr int kOkSelected = 105;

}  // namespace

CAbout::CAbout(QWidget* parent, const ImageSource& images) : QDialog(parent), images(images)
{
    ui::AssertUiThread();
    OnInitDialog();
}

void CAbout::OnInitDialog()
{
    DialogBuilder::Overrides overrides;
    overrides[static_cast<int>(AboutId::Ok)] = [this](QWidget* parent, const DialogControl&) {
        okButton = new CMyBitmapButton(parent, this->images);
        return okButton;
    };
    const ControlMap controls = DialogBuilder::Build(DialogTemplate::Get(static_cast<int>(AboutId::Template)), this,
                                                     overrides);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(kSize);
    titleBitmap = images.Bitmap(kTitleBitmap);

    okButton->LoadBitmaps(kOkNormal, kOkSelected, kOkNormal, kOkNormal);
    okButton->setGeometry(kOkPlace);
    okButton->SizeToContent();
    connect(okButton, &QAbstractButton::clicked, this, &QDialog::accept);

    // The texts: bold, light grey, straight on the dark background.
    const QFont font = gdi::MakeFont(QStringLiteral("MSSanSerif"), 15, 600);
    for (AboutId id : {AboutId::Product, AboutId::Version, AboutId::HomePage}) {
        QLabel* label = controls.Get<QLabel>(static_cast<int>(id));
        label->setFont(font);
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, gdi::ToQColor(kText));
        label->setPalette(colours);
        label->setAutoFillBackground(false);
        // The bold face is wider than the template was measured for: a
        // wrapped line gets the height it needs rather than being cut.
        label->resize(label->width(), std::max(label->height(), label->heightForWidth(label->width())));
    }
}

void CAbout::showEvent(QShowEvent* event)
{
    if (QWidget* owner = parentWidget())
        move(owner->window()->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

void CAbout::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), gdi::ToQColor(kBackground));
    if (!titleBitmap.isNull())
        gdi::Stretch(painter, kTitle, titleBitmap, titleBitmap.rect());
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
