#include "platform/DialogTemplate.h"

#include "platform/EmbeddedFile.h"
#include "platform/MulDiv.h"
#include "platform/ResourceText.h"

#include <QFileInfo>
#include <array>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

extern const EmbeddedFile kestrovDialogTemplates[];

namespace {

constexpr std::array<std::pair<ControlKind, const char*>, 12> kKindNames{{
    {ControlKind::Static, "static"},
    {ControlKind::Bitmap, "bitmap"},
    {ControlKind::Group, "group"},
    {ControlKind::Button, "button"},
    {ControlKind::Check, "check"},
    {ControlKind::Radio, "radio"},
    {ControlKind::Edit, "edit"},
    {ControlKind::Combo, "combo"},
    {ControlKind::List, "list"},
    {ControlKind::Trackbar, "trackbar"},
    {ControlKind::DateTime, "datetime"},
    {ControlKind::Custom, "custom"},
}};

constexpr int kDialogFields = 7;
constexpr int kControlFields = 8;

// A row's fault: thrown inside the parser, turned into "file:line: reason".
struct RowError {
    QString reason;
};

// Decimal digits with an optional '-': nothing else, no blanks, at most 9 digits.
int ParseNumber(const QString& field)
{
    const bool negative = field.startsWith(QLatin1Char('-'));
    const QStringView digits = QStringView(field).mid(negative ? 1 : 0);
    bool good = !digits.isEmpty() && digits.size() <= 9;
    int value = 0;
    for (QChar c : digits) {
        good = good && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        value = value * 10 + (c.unicode() - '0');
    }
    if (!good) {
        throw RowError{QStringLiteral("\"%1\" is not a number").arg(field)};
    }
    return negative ? -value : value;
}

int ParseSize(const QString& field)
{
    const int value = ParseNumber(field);
    if (value < 0) {
        throw RowError{QStringLiteral("the size %1 is negative").arg(value)};
    }
    return value;
}

QStringList ParseWords(const QString& field, const char* what)
{
    if (field == QLatin1String("-")) {
        return {};
    }
    const QStringList words = field.split(QLatin1Char('|'));
    for (const QString& word : words) {
        if (word.isEmpty() || word.contains(QLatin1Char(' '))) {
            throw RowError{QStringLiteral("bad %1 \"%2\" (words joined by '|', or '-')").arg(QLatin1String(what), field)};
        }
    }
    return words;
}

QString ParseText(const QString& field)
{
    std::optional<QString> text = platform::Unescape(field);
    if (!text) {
        throw RowError{QStringLiteral("bad escape in \"%1\" (only \\n, \\t and \\\\)").arg(field)};
    }
    return *text;
}

ControlKind ParseKind(const QString& field)
{
    for (const auto& [kind, name] : kKindNames) {
        if (field == QLatin1String(name)) {
            return kind;
        }
    }
    throw RowError{QStringLiteral("unknown kind \"%1\"").arg(field)};
}

QStringList Fields(const QString& line, int expected, const char* row)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != expected) {
        throw RowError{QStringLiteral("%1 fields where a %2 row has %3").arg(fields.size()).arg(QLatin1String(row)).arg(expected)};
    }
    return fields;
}

void ParseDialogRow(const QString& line, DialogTemplate& dialog)
{
    if (line.section(QLatin1Char('\t'), 0, 0) != QLatin1String("DIALOG")) {
        throw RowError{QStringLiteral("the first row must be the DIALOG row")};
    }
    const QStringList fields = Fields(line, kDialogFields, "DIALOG");
    dialog.size = QSize(ParseSize(fields[1]), ParseSize(fields[2]));
    dialog.face = fields[3];
    dialog.points = ParseSize(fields[4]);
    dialog.styles = ParseWords(fields[5], "styles");
    dialog.caption = ParseText(fields[6]);
}

DialogControl ParseControlRow(const platform::TextLine& line)
{
    const QStringList fields = Fields(line.text, kControlFields, "control");
    DialogControl control;
    control.id = ParseNumber(fields[0]);
    if (control.id < -1) {
        throw RowError{QStringLiteral("the id %1 is neither -1 nor a control's number").arg(control.id)};
    }
    control.kind = ParseKind(fields[1]);
    control.rect = QRect(ParseNumber(fields[2]), ParseNumber(fields[3]), ParseSize(fields[4]), ParseSize(fields[5]));
    control.flags = ParseWords(fields[6], "flags");
    control.text = ParseText(fields[7]);
    control.line = line.number;
    return control;
}

int IdFromFileName(const QString& fileName)
{
    const QFileInfo info(fileName);
    bool ok = false;
    const int id = info.completeBaseName().toInt(&ok);
    return ok && info.suffix() == QLatin1String("tsv") ? id : 0;
}

// Every compiled-in template by id: parsed, or the reason it did not parse.
using Compiled = std::map<int, std::variant<DialogTemplate, QString>>;

const Compiled& CompiledTemplates()
{
    static const Compiled compiled = [] {
        Compiled all;
        for (const EmbeddedFile* file = kestrovDialogTemplates; file->name; ++file) {
            const QString name = QString::fromUtf8(file->name);
            DialogTemplateParse parsed = DialogTemplate::Parse(
                QByteArray::fromRawData(reinterpret_cast<const char*>(file->bytes), qsizetype(file->size)), name);
            // The build lets only "<number>.tsv" in.
            const int id = IdFromFileName(name);
            if (parsed.dialog) {
                all.emplace(id, std::move(*parsed.dialog));
            } else {
                all.emplace(id, parsed.error);
            }
        }
        return all;
    }();
    return compiled;
}

}  // namespace

const DialogControl* DialogTemplate::Control(int controlId) const
{
    for (const DialogControl& control : controls) {
        if (control.id == controlId && controlId != -1) {
            return &control;
        }
    }
    return nullptr;
}

QSize DialogTemplate::PixelSize() const
{
    return QSize(DluToPixelsX(size.width()), DluToPixelsY(size.height()));
}

DialogTemplateParse DialogTemplate::Parse(const QByteArray& bytes, const QString& fileName)
{
    DialogTemplate dialog;
    dialog.id = IdFromFileName(fileName);
    const std::vector<platform::TextLine> lines = platform::DataLines(bytes);
    if (lines.empty()) {
        return {std::nullopt, QStringLiteral("%1:1: no DIALOG row").arg(fileName)};
    }
    std::map<int, int> firstLineOfId;
    for (const platform::TextLine& line : lines) {
        try {
            if (&line == &lines.front()) {
                ParseDialogRow(line.text, dialog);
                continue;
            }
            DialogControl control = ParseControlRow(line);
            if (control.id != -1) {
                const auto [first, added] = firstLineOfId.emplace(control.id, line.number);
                if (!added) {
                    throw RowError{QStringLiteral("duplicate id %1 (first on line %2)").arg(control.id).arg(first->second)};
                }
            }
            dialog.controls.push_back(std::move(control));
        } catch (const RowError& error) {
            return {std::nullopt, QStringLiteral("%1:%2: %3").arg(fileName).arg(line.number).arg(error.reason)};
        }
    }
    return {std::move(dialog), QString()};
}

const DialogTemplate& DialogTemplate::Get(int id)
{
    const Compiled& compiled = CompiledTemplates();
    const auto found = compiled.find(id);
    if (found == compiled.end()) {
        throw std::logic_error("no dialog template " + std::to_string(id) + " is compiled in");
    }
    if (const QString* error = std::get_if<QString>(&found->second)) {
        throw std::logic_error("dialog template " + std::to_string(id) + ": " + error->toStdString());
    }
    return std::get<DialogTemplate>(found->second);
}

std::vector<int> DialogTemplate::Ids()
{
    std::vector<int> ids;
    for (const auto& [id, parsed] : CompiledTemplates()) {
        ids.push_back(id);
    }
    return ids;
}

QRect DialogTemplate::DluToPixels(const QRect& du)
{
    return QRect(DluToPixelsX(du.x()), DluToPixelsY(du.y()), DluToPixelsX(du.width()), DluToPixelsY(du.height()));
}

int DialogTemplate::DluToPixelsX(int du)
{
    return platform::MulDiv(du, 6, 4);
}

int DialogTemplate::DluToPixelsY(int du)
{
    return platform::MulDiv(du, 13, 8);
}
