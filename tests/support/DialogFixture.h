#pragma once
// A dialog template as a file holds it: one control of every kind, Cyrillic
// texts, an escaped line break, a label long enough to wrap, unnamed
// controls, a button that the builder tests replace by their own class, and
// a group box listed after the controls it frames.

#include <QByteArray>

namespace testsupport {

// Line numbers of the rows the tests look at.
constexpr int kSampleBreakLine = 4;  // the unnamed label with "\n"
constexpr int kSampleGroupLine = 23;  // the unnamed group box, listed last

constexpr int kSampleOverriddenButton = 1004;

inline QByteArray SampleDialogTemplate()
{
    return QByteArray(
        "DIALOG\t250\t190\tMS Shell Dlg\t8\tcaption|sysmenu\tПроверка шаблона\n"
        "# id\tkind\tx\ty\tcx\tcy\tflags\ttext\n"
        "\n"
        "-1\tstatic\t7\t4\t110\t18\t-\tПодпись\\nв две строки\n"
        "1001\tstatic\t125\t7\t58\t9\tright\tСправа\n"
        "1002\tbitmap\t190\t7\t50\t30\t-\t\n"
        "1005\tcheck\t9\t34\t100\t10\t-\tФлажок\n"
        "1006\tradio\t9\t48\t100\t10\t-\tПереключатель\n"
        "1007\tedit\t125\t30\t60\t13\tnumber\t12\n"
        "1008\tedit\t125\t46\t60\t13\treadonly\tТолько чтение\n"
        "1009\tcombo\t125\t62\t60\t30\t-\t\n"
        "1010\tlist\t7\t80\t108\t40\t-\t\n"
        "1011\ttrackbar\t125\t82\t115\t15\t-\t\n"
        "1012\tdatetime\t125\t100\t115\t13\tdate\t\n"
        "1013\tdatetime\t125\t116\t115\t13\ttime\t\n"
        "1014\tcustom\t205\t130\t40\t30\t-\t\n"
        "1015\tstatic\t7\t124\t60\t9\thidden\tСкрыто\n"
        "1016\tcheck\t7\t136\t100\t10\tdisabled\tНедоступно\n"
        "1017\tstatic\t7\t148\t192\t21\t-\tЗагрузка может занять некоторое время в зависимости от емкости карты памяти.\n"
        "1003\tbutton\t125\t170\t55\t14\tdefault\tСохранить\n"
        "1004\tbutton\t185\t170\t55\t14\t-\tОтменить\n"
        "\n"
        "-1\tgroup\t2\t24\t115\t52\t-\tГруппа\n");
}

}  // namespace testsupport
