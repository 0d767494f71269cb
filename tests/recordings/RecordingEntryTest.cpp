#include "recordings/RecordingEntry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

RecordingEntry MakeEntry()
{
    return RecordingEntry(OleDateTime::FromParts(2013, 5, 7, 8, 5, 9), RECORDING_NORMAL, "/card/a.avi", "a.avi");
}

void SetMotionTimes(RecordingEntry& entry, const std::vector<double>& times)
{
    entry.motionTimes = times;
    entry.motionSamples.clear();
    for (size_t i = 0; i < times.size(); ++i) {
        MotionSample sample;
        sample.x = static_cast<double>(i);  // the sample's index, to tell them apart
        entry.motionSamples.push_back(sample);
    }
}

int SampleIndexAt(const RecordingEntry& entry, double seconds)
{
    const auto sample = entry.GetMotionSampleAt(seconds);
    return sample ? static_cast<int>(sample->x) : -1;
}

TEST(RecordingEntry, FormatsItsStartTime)
{
    const RecordingEntry entry = MakeEntry();
    EXPECT_EQ(entry.GetDateText(), "2013-05-07");
    EXPECT_EQ(entry.GetTimeText(), "08:05:09");
    EXPECT_EQ(entry.number, 0);
    EXPECT_FALSE(entry.metadataLoaded);
    EXPECT_FALSE(entry.selectTrack1);
    EXPECT_FALSE(entry.selectTrack2);

    const RecordingEntry invalid(OleDateTime(), RECORDING_UNKNOWN, "/x.avi", "x.avi");
    EXPECT_EQ(invalid.GetDateText(), "-1--01--01");
    EXPECT_EQ(invalid.GetTimeText(), "-01:-01:-01");
}

TEST(RecordingEntry, NamesItsType)
{
    const std::pair<int, QString> cases[] = {
        {0, ""},
        {RECORDING_EVENT, QString::fromUtf8("Событие")},
        {RECORDING_NORMAL, QString::fromUtf8("Обычный")},
        {RECORDING_MOTION, QString::fromUtf8("Движение")},
        {RECORDING_PARKING_MOTION, QString::fromUtf8("Движения в режиме Парковка")},
        {RECORDING_UNKNOWN, "Unknown"},
        {6, ""},
    };
    for (const auto& [type, name] : cases) {
        RecordingEntry entry = MakeEntry();
        entry.type = type;
        EXPECT_EQ(entry.GetTypeName(), name) << type;
    }
}

TEST(RecordingEntry, FindsTheNearestMotionSample)
{
    RecordingEntry entry = MakeEntry();
    EXPECT_FALSE(entry.GetMotionSampleAt(1.0));
    SetMotionTimes(entry, {1, 2, 3, 4, 5});
    const std::pair<double, int> cases[] = {{3, 2}, {3.5, 2}, {3.6, 3}, {0, 0}, {9, 4}, {1, 0}, {5, 4}, {1.5, 0}};
    for (const auto& [time, index] : cases) {
        EXPECT_EQ(SampleIndexAt(entry, time), index) << time;
    }
    EXPECT_EQ(SampleIndexAt(entry, std::nan("")), 0);
    SetMotionTimes(entry, {2.5});
    EXPECT_EQ(SampleIndexAt(entry, -100), 0);
    EXPECT_EQ(SampleIndexAt(entry, 100), 0);
}

TEST(RecordingEntry, NearestMotionSampleMatchesABruteForceSearch)
{
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<double> times;
        const int count = std::uniform_int_distribution(1, 40)(random);
        double t = std::uniform_real_distribution(-5.0, 5.0)(random);
        for (int i = 0; i < count; ++i) {
            if (std::uniform_int_distribution(0, 3)(random) != 0) {  // else a duplicate
                t += std::uniform_real_distribution(0.01, 2.0)(random);
            }
            times.push_back(t);
        }
        RecordingEntry entry = MakeEntry();
        SetMotionTimes(entry, times);
        for (int probe = 0; probe < 20; ++probe) {
            const double asked = std::uniform_real_distribution(times.front() - 3, times.back() + 3)(random);
            double best = times.front();
            for (const double candidate : times) {
                if (std::fabs(candidate - asked) < std::fabs(best - asked)) {
                    best = candidate;
                }
            }
            const int found = SampleIndexAt(entry, asked);
            ASSERT_GE(found, 0);
            ASSERT_EQ(times[static_cast<size_t>(found)], best) << "round " << round << " at " << asked;
        }
    }
}

TEST(RecordingEntry, FindsTheGpsFixOfTheWholeSecond)
{
    RecordingEntry entry = MakeEntry();
    EXPECT_FALSE(entry.GetGpsFixAt(0));
    for (int i = 0; i < 60; ++i) {
        GpsFix fix;
        fix.timeOfDay = i;
        entry.gpsFixes.push_back(fix);
    }
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> cases[] = {{-3, 0},  {-0.5, 0}, {2.9, 2},   {59.99, 59}, {60, 59},
                                            {75, 59}, {1e12, 59}, {-1e12, 0}, {inf, 59},   {-inf, 0},
                                            {std::nan(""), 0}};
    for (const auto& [time, index] : cases) {
        const auto fix = entry.GetGpsFixAt(time);
        ASSERT_TRUE(fix) << time;
        EXPECT_EQ(fix->timeOfDay, index) << time;
    }
}

}  // namespace
