#include "core/Common.h"

#include <gtest/gtest.h>

namespace {

TEST(CommonSplit, EmptyFourthFieldMovesLaterPiecesForward)
{
    const QString sentence = QStringLiteral("$GPRMC,123519,A,,N,01131.000,E,022.4,084.4,230394,003.1,W*6A");
    const QStringList pieces = Common::Split(sentence, QLatin1Char(','));
    ASSERT_EQ(pieces.size(), 11);
    EXPECT_EQ(pieces[0], QStringLiteral("$GPRMC"));
    EXPECT_EQ(pieces[2], QStringLiteral("A"));
    EXPECT_EQ(pieces[3], QStringLiteral("N"));
    EXPECT_EQ(pieces[4], QStringLiteral("01131.000"));
    EXPECT_EQ(pieces[10], QStringLiteral("W*6A"));
}

TEST(CommonSplit, SeparatorsAndEnds)
{
    EXPECT_EQ(Common::Split(QStringLiteral("abc"), QLatin1Char(',')), QStringList{QStringLiteral("abc")});
    EXPECT_TRUE(Common::Split(QStringLiteral(",,,"), QLatin1Char(',')).isEmpty());
    EXPECT_TRUE(Common::Split(QString(), QLatin1Char(',')).isEmpty());
    EXPECT_EQ(Common::Split(QStringLiteral(",a,,b,"), QLatin1Char(',')),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(Common::Split(QStringLiteral("2024_0101"), QLatin1Char('_')),
              (QStringList{QStringLiteral("2024"), QStringLiteral("0101")}));
}

struct NumberCase {
    QString text;
    bool number;
};

class CommonIsNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(CommonIsNumber, AsciiDigitsOnly)
{
    EXPECT_EQ(Common::IsNumber(GetParam().text), GetParam().number) << GetParam().text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, CommonIsNumber,
    ::testing::Values(NumberCase{QString(), false}, NumberCase{QStringLiteral("007"), true},
                      NumberCase{QStringLiteral("0123456789"), true}, NumberCase{QStringLiteral("-3"), false},
                      NumberCase{QStringLiteral("1.5"), false}, NumberCase{QStringLiteral(" 1"), false},
                      NumberCase{QString::fromUtf8("Д"), false}, NumberCase{QString(QChar(0x0661)), false},
                      NumberCase{QString(QChar(0xFF11)), false}, NumberCase{QString(QChar(0x0131)), false},
                      NumberCase{QStringLiteral("12") + QChar(0x0131), false}));

}  // namespace
