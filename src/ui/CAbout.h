#pragma once
// The about box: a borderless dark panel with the title picture, the product,
// its version and home page, and a picture OK button. Modal; OK and Esc
// close it.

#include "controls/ImageSource.h"

#include <QDialog>
#include <QImage>

class CMyBitmapButton;

enum class AboutId : int {
    Template = 133,
    Ok = 1,
    Product = 1104,
    Version = 32793,
    HomePage = 1095,
};

class CAbout : public QDialog {
    Q_OBJECT
public:
    explicit CAbout(QWidget* parent = nullptr, const ImageSource& images = ImageSource::Resources());

    CMyBitmapButton* OkButton() const { return okButton; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();

    const ImageSource& images;
    CMyBitmapButton* okButton = nullptr;
    QImage titleBitmap;
};
