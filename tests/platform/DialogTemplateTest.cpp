#include "platform/DialogTemplate.h"
#include "support/DialogFixture.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace {

TEST(DialogTemplate, DluToPixelsRoundsEachValueAsMulDiv)
{
    // x and cx: times 6 / 4; y and cy: times 13 / 8; halves away from zero.
    const int xs[][2] = {{607, 911}, {10, 15}, {3, 5}, {1, 2}, {0, 0}, {-3, -5}};
    for (const auto& [du, px] : xs) {
        const QRect r = DialogTemplate::DluToPixels(QRect(du, 0, du, 0));
        EXPECT_EQ(r.x(), px) << du;
        EXPECT_EQ(r.width(), px) << du;
    }
    const int ys[][2] = {{370, 601}, {57, 93}, {26, 42}, {8, 13}, {4, 7}, {0, 0}};
    for (const auto& [du, px] : ys) {
        const QRect r = DialogTemplate::DluToPixels(QRect(0, du, 0, du));
        EXPECT_EQ(r.y(), px) << du;
        EXPECT_EQ(r.height(), px) << du;
    }
    // Never through the edges: 6 + 192 would give 297, not 9 + 288.
    EXPECT_EQ(DialogTemplate::DluToPixels(QRect(6, 33, 192, 21)), QRect(9, 54, 288, 34));
}

TEST(DialogTemplate, ParsesEveryFieldAsWritten)
{
    const DialogTemplateParse parsed = DialogTemplate::Parse(testsupport::SampleDialogTemplate(), "230.tsv");
    ASSERT_TRUE(parsed.dialog) << parsed.error.toStdString();
    const DialogTemplate& d = *parsed.dialog;
    EXPECT_EQ(d.id, 230);
    EXPECT_EQ(d.size, QSize(250, 190));
    EXPECT_EQ(d.PixelSize(), QSize(375, 309));
    EXPECT_EQ(d.face, QStringLiteral("MS Shell Dlg"));
    EXPECT_EQ(d.points, 8);
    EXPECT_EQ(d.styles, QStringList({"caption", "sysmenu"}));
    EXPECT_TRUE(d.HasStyle("sysmenu"));
    EXPECT_FALSE(d.HasStyle("thickframe"));
    EXPECT_EQ(d.caption, QStringLiteral("Проверка шаблона"));

    ASSERT_EQ(d.controls.size(), 19u);
    const DialogControl& first = d.controls.front();
    EXPECT_EQ(first.id, -1);
    EXPECT_EQ(first.kind, ControlKind::Static);
    EXPECT_EQ(first.rect, QRect(7, 4, 110, 18));
    EXPECT_TRUE(first.flags.isEmpty());
    EXPECT_EQ(first.text, QStringLiteral("Подпись\nв две строки"));
    EXPECT_EQ(first.line, testsupport::kSampleBreakLine);
    const DialogControl& last = d.controls.back();
    EXPECT_EQ(last.kind, ControlKind::Group);
    EXPECT_EQ(last.line, testsupport::kSampleGroupLine);

    const std::vector<int> order = {-1,   1001, 1002, 1005, 1006, 1007, 1008, 1009, 1010, 1011,
                                    1012, 1013, 1014, 1015, 1016, 1017, 1003, 1004, -1};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(d.controls[i].id, order[i]) << i;
    }
    const DialogControl* edit = d.Control(1007);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->kind, ControlKind::Edit);
    EXPECT_EQ(edit->text, QStringLiteral("12"));
    EXPECT_TRUE(edit->HasFlag("number"));
    EXPECT_FALSE(edit->HasFlag("readonly"));
    EXPECT_EQ(d.Control(1002)->text, QString());
    EXPECT_EQ(d.Control(1012)->flags, QStringList({"date"}));
    EXPECT_EQ(d.Control(-1), nullptr);
    EXPECT_EQ(d.Control(4242), nullptr);

    std::set<ControlKind> kinds;
    for (const DialogControl& control : d.controls) {
        kinds.insert(control.kind);
    }
    EXPECT_EQ(kinds.size(), 12u) << "the fixture holds one control of every kind";
}

TEST(DialogTemplate, ParseNamesTheFileAndLineOfABadRow)
{
    const QByteArray head = "DIALOG\t100\t50\tMS Shell Dlg\t8\t-\tcaption\n# a comment\n";
    const struct {
        const char* what;
        QByteArray bytes;
        int line;
        const char* reason;
    } cases[] = {
        {"unknown kind", head + "1\tstatic\t0\t0\t1\t1\t-\tok\n2\tslider\t0\t0\t1\t1\t-\tx\n", 4, "unknown kind \"slider\""},
        {"7 fields", head + "\n1\tstatic\t0\t0\t1\t1\t-\n", 4, "7 fields"},
        {"not a number", head + "1\tstatic\t1x\t0\t1\t1\t-\tx\n", 3, "\"1x\" is not a number"},
        {"no DIALOG first", "# head\n1\tstatic\t0\t0\t1\t1\t-\tx\n", 2, "DIALOG"},
        {"duplicate id", head + "7\tstatic\t0\t0\t1\t1\t-\ta\n-1\tstatic\t0\t0\t1\t1\t-\t\n-1\tstatic\t0\t0\t1\t1\t-\t\n7\tedit\t0\t0\t1\t1\t-\tb\n",
         6, "duplicate id 7 (first on line 3)"},
        {"lone backslash", head + "1\tstatic\t0\t0\t1\t1\t-\tend\\\n", 3, "bad escape"},
        {"bad escape in the caption", "DIALOG\t100\t50\tf\t8\t-\ta\\qb\n", 1, "bad escape"},
        {"negative size", head + "1\tstatic\t0\t0\t-1\t1\t-\tx\n", 3, "negative"},
        {"empty flag word", head + "1\tstatic\t0\t0\t1\t1\tright||center\tx\n", 3, "flags"},
        {"empty file", "\n# nothing\n", 1, "no DIALOG row"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DialogTemplateParse parsed = DialogTemplate::Parse(c.bytes, "sample.tsv");
        EXPECT_FALSE(parsed.dialog);
        EXPECT_TRUE(parsed.error.startsWith(QStringLiteral("sample.tsv:%1: ").arg(c.line))) << parsed.error.toStdString();
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.reason))) << parsed.error.toStdString();
    }
}

TEST(DialogTemplate, ParseKeepsEmptyTextsFreeWordsAndCrLf)
{
    const DialogTemplateParse parsed = DialogTemplate::Parse(
        "DIALOG\t10\t20\tFace\t9\tpopup|thickframe\t\r\n-1\tstatic\t-2\t-3\t4\t5\tcenter|whatever\t\r\n", "x.tsv");
    ASSERT_TRUE(parsed.dialog) << parsed.error.toStdString();
    EXPECT_EQ(parsed.dialog->id, 0);
    EXPECT_EQ(parsed.dialog->caption, QString());
    EXPECT_EQ(parsed.dialog->controls[0].rect, QRect(-2, -3, 4, 5));
    EXPECT_EQ(parsed.dialog->controls[0].flags, QStringList({"center", "whatever"}));
    EXPECT_EQ(parsed.dialog->controls[0].text, QString());
}

TEST(DialogTemplate, EveryCompiledInTemplateParsesAndUnknownIdsThrow)
{
    for (int id : DialogTemplate::Ids()) {
        SCOPED_TRACE(id);
        const DialogTemplate& d = DialogTemplate::Get(id);
        EXPECT_EQ(d.id, id);
        EXPECT_EQ(&DialogTemplate::Get(id), &d) << "parsed once";
        std::set<int> ids;
        for (const DialogControl& control : d.controls) {
            EXPECT_TRUE(control.id == -1 || ids.insert(control.id).second) << control.id;
        }
    }
    try {
        DialogTemplate::Get(99999);
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_NE(std::string(error.what()).find("99999"), std::string::npos) << error.what();
    }
}

}  // namespace
