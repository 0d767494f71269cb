#pragma once
// setup.cfg as the recorder's tool writes it, for the settings suites.

#include <QByteArray>

namespace settingstest {

// Every default value: the 22 lines, CR LF each, 651 bytes.
inline const QByteArray DefaultSetupFile =
    "Product Name            : QV7\r\n"
    "H/W Version             : V1.0.0\r\n"
    "S/W Version             : V1.0.1\r\n"
    "Acc Trigger Level       : 2\r\n"
    "LCD Brightness          : 3\r\n"
    "Background Image        : 5\r\n"
    "Screen saver Enable     : 1\r\n"
    "REC Audio Enable        : 1\r\n"
    "SPK Vol                 : 2\r\n"
    "Touch Audio Enable      : 1\r\n"
    "Parking Mode On Off     : 1\r\n"
    "Power Off Voltage       : 1\r\n"
    "Power OFF Time          : 3\r\n"
    "LCD Off Time            : 1\r\n"
    "Camera Angle            : 0\r\n"
    "Auto Parking Mode       : 2\r\n"
    "SD Format reserved      : 1\r\n"
    "SD Format Year          : 0\r\n"
    "SD Format Month         : 0\r\n"
    "SD Format Day           : 0\r\n"
    "Video Quality           : 8\r\n"
    "Time Zone               : 13\r\n";

// time.cfg for 2013-10-16 14:05:33: "13/10/16" and "14:05:33", CR LF each.
inline const QByteArray TimeFile13 = QByteArray::fromHex("31332F31302F31360D0A31343A30353A33330D0A");

}  // namespace settingstest
