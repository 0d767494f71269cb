#pragma once
// A window's layout as data: the dialog templates of res/dialogs/<id>.tsv,
// compiled into the program and read by id. QtCore only; DialogBuilder
// (platform_widgets) turns a template into widgets.
//
// File format (UTF-8, one TAB between fields, blank and '#' lines skipped,
// \n \t \\ escapes in caption and text):
//   DIALOG  cx  cy  face  points  styles  caption
//   id  kind  x  y  cx  cy  flags  text          (one row per control)
// Styles and flags are words joined by '|', or '-' for none; id -1 is an
// unnamed control. Positions and sizes are dialog units (DU).

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The closed list of control kinds a template may name, written in a file as
// static, bitmap, group, button, check, radio, edit, combo, list, trackbar,
// datetime, custom.
enum class ControlKind { Static, Bitmap, Group, Button, Check, Radio, Edit, Combo, List, Trackbar, DateTime, Custom };

struct DialogControl {
    int id = -1;  // -1: unnamed
    ControlKind kind = ControlKind::Static;
    QRect rect;  // dialog units
    QStringList flags;
    QString text;  // escapes resolved
    int line = 0;  // where the row is in its file

    bool HasFlag(const QString& flag) const { return flags.contains(flag); }
};

struct DialogTemplateParse;

struct DialogTemplate {
    int id = 0;  // from the file name; 0 when that is not a number
    QSize size;  // dialog units
    QString face;
    int points = 0;
    QStringList styles;
    QString caption;  // escapes resolved
    std::vector<DialogControl> controls;  // template order

    bool HasStyle(const QString& style) const { return styles.contains(style); }
    // The control with that id; null when the template has none.
    const DialogControl* Control(int controlId) const;
    // The client size in pixels.
    QSize PixelSize() const;

    // Reads one template file. fileName names it in the error
    // ("fileName:line: reason") and, when it is "<number>.tsv", gives the id.
    static DialogTemplateParse Parse(const QByteArray& bytes, const QString& fileName);

    // The compiled-in template res/dialogs/<id>.tsv, parsed once on first use
    // and never changed after, so any thread may ask. An unknown id or a file
    // that does not parse is a programming error: std::logic_error.
    static const DialogTemplate& Get(int id);
    // Every compiled-in template's id, ascending.
    static std::vector<int> Ids();

    // Dialog units to pixels with fixed base units 6 x 13 (never measured):
    // x and cx times 6 / 4, y and cy times 13 / 8, each value on its own and
    // rounded as MulDiv rounds (64-bit product, halves away from zero).
    static QRect DluToPixels(const QRect& du);
    static int DluToPixelsX(int du);
    static int DluToPixelsY(int du);
};

struct DialogTemplateParse {
    std::optional<DialogTemplate> dialog;  // set when the file parsed
    QString error;                         // "fileName:line: reason" otherwise
};
