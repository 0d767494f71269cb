#include "platform/Text8.h"

#include <gtest/gtest.h>

namespace {

struct LinesCase {
    const char* bytes;
    QStringList lines;
};

class Text8Lines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(Text8Lines, SplitsAtLfAndCrLfOnly)
{
    EXPECT_EQ(Text8::DecodeLines(QByteArray(GetParam().bytes)), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, Text8Lines,
    ::testing::Values(LinesCase{"a\nb\nc", {"a", "b", "c"}},
                      LinesCase{"a\r\nb\r\n", {"a", "b"}},
                      LinesCase{"a\n\nb\n", {"a", "", "b"}},
                      LinesCase{"a\rb\n", {"a\rb"}},
                      LinesCase{"", {}}));

TEST(Text8, EncodeWritesOneBytePerCharacterAndCrLf)
{
    EXPECT_EQ(Text8::Encode(QStringLiteral("A\nB")), QByteArray("A\r\nB"));
    EXPECT_EQ(Text8::Encode(QString(QChar(0xE9))), QByteArray("\xE9"));
    // Above U+00FF: one '?' per code point, a surrogate pair included.
    EXPECT_EQ(Text8::Encode(QString::fromUtf8("Д\xF0\x9F\x98\x80")), QByteArray("??"));
    // CR is untouched, so CR LF in a text becomes CR CR LF.
    EXPECT_EQ(Text8::Encode(QStringLiteral("x\r\n")), QByteArray("x\r\r\n"));
}

TEST(Text8, DecodeMapsEachByteToTheSameCodePoint)
{
    EXPECT_EQ(Text8::Decode(QByteArray("\xE9")), QString(QChar(0xE9)));
    EXPECT_EQ(Text8::Decode(QByteArray("\x1A", 1)), QString(QChar(0x1A)));
}

}  // namespace
