#pragma once
// The printed report's record: the two channel snapshots, the picture of the
// map and the text lines of the current moment. A value: copies share the
// images' pixels, and nothing a printer does changes the caller's copy.

#include <QImage>
#include <QString>

class PrintReportData {
public:
    // Null images are left out of the report.
    QImage channel1Image;
    QImage channel2Image;
    QImage mapImage;

    void SetGSensorText(const QString& text) { gSensorLine = text; }
    void SetDateTimeText(const QString& text) { dateTimeLine = text; }
    void SetLatitudeText(const QString& text) { latitudeLine = text; }
    void SetLongitudeText(const QString& text) { longitudeLine = text; }
    void SetSpeedText(const QString& text) { speedLine = text; }
    QString GetGSensorText() const { return gSensorLine; }
    QString GetDateTimeText() const { return dateTimeLine; }
    QString GetSpeedText() const { return speedLine; }
    QString GetLatitudeText() const { return latitudeLine; }
    QString GetLongitudeText() const { return longitudeLine; }

private:
    QString gSensorLine;
    // Carried for the caller; the report does not print these two.
    QString dateTimeLine;
    QString speedLine;
    QString latitudeLine;
    QString longitudeLine;
};
