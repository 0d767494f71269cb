// The load's sort and the entry texts compared with the slow forms they
// replace: a bubble sort that swaps only a strictly later neighbour, and
// printf's "%d-%.2d-%.2d" / "%.2d:%.2d:%.2d".

#include "recordings/CFileLoader.h"
#include "recordings/RecordingEntry.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <vector>

namespace {

using Entries = std::vector<std::shared_ptr<RecordingEntry>>;

// A start time per entry: a minute of one day, or -1 for an invalid one.
// The entry's name is its input position, so the order can be compared.
Entries MakeEntries(const std::vector<int>& minutes)
{
    Entries entries;
    for (size_t i = 0; i < minutes.size(); ++i) {
        const int m = minutes[i];
        const OleDateTime start = m < 0 ? OleDateTime() : OleDateTime::FromParts(2013, 4, 5, m / 60 % 24, m % 60, 0);
        entries.push_back(std::make_shared<RecordingEntry>(start, RECORDING_NORMAL, QString(), QString::number(i)));
    }
    return entries;
}

void ReferenceBubbleSort(Entries& entries)
{
    const size_t count = entries.size();
    for (size_t pass = count; pass-- > 1;)
        for (size_t i = 1; i <= pass; ++i)
            if (entries[i - 1]->startTime.IsLaterThan(entries[i]->startTime))
                std::swap(entries[i - 1], entries[i]);
}

std::vector<QString> Order(const Entries& entries)
{
    std::vector<QString> names;
    for (const auto& entry : entries)
        names.push_back(entry->fileName);
    return names;
}

void ExpectSameOrder(const std::vector<int>& minutes, const std::string& what)
{
    Entries expected = MakeEntries(minutes);
    Entries actual = MakeEntries(minutes);
    ReferenceBubbleSort(expected);
    CFileLoader::SortByStartTime(actual);
    EXPECT_EQ(Order(actual), Order(expected)) << what;
}

TEST(ScanOrder, SortMatchesTheBubbleSortOnATableOfLists)
{
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{}, "empty"},
        {{5}, "one"},
        {{-1}, "one invalid"},
        {{1, 2, 3, 4}, "already sorted"},
        {{4, 3, 2, 1}, "reversed"},
        {{3, 3, 1, 3, 1}, "equal times keep their order"},
        {{-1, 5, 2, -1}, "invalid at both ends"},
        {{9, 4, -1, 8, 1, -1, 7, 0}, "invalid in the middle split the list"},
        {{-1, -1, 3, -1, -1}, "invalid next to each other"},
        {{2, -1, 1}, "nothing crosses an invalid entry"},
        {{6, 6, -1, 6, 5, 5}, "equal times on both sides of an invalid entry"},
    };
    for (const auto& [minutes, what] : cases)
        ExpectSameOrder(minutes, what);
}

TEST(ScanOrder, SortMatchesTheBubbleSortOnSeededRandomLists)
{
    std::mt19937 random(20130405);
    for (int list = 0; list < 2000; ++list) {
        const int length = std::uniform_int_distribution<int>(0, 40)(random);
        // Few distinct times make ties common; about one in eight invalid.
        const int distinct = std::uniform_int_distribution<int>(1, 30)(random);
        std::vector<int> minutes;
        for (int i = 0; i < length; ++i) {
            const bool invalid = std::uniform_int_distribution<int>(0, 7)(random) == 0;
            minutes.push_back(invalid ? -1 : std::uniform_int_distribution<int>(0, distinct)(random));
        }
        ExpectSameOrder(minutes, "seeded list " + std::to_string(list));
        if (HasFailure())
            return;
    }
}

TEST(ScanOrder, EntryTextsMatchPrintf)
{
    const int values[] = {INT_MIN, -100, -10, -9, -1, 0, 1, 9, 10, 59, 99, 100, 1899, 9999, 12345, INT_MAX};
    for (int a : values)
        for (int b : values) {
            const int c = b == 0 ? 7 : b / -3;
            EXPECT_EQ(RecordingEntry::FormatDateText(a, b, c), QString::asprintf("%d-%.2d-%.2d", a, b, c));
            EXPECT_EQ(RecordingEntry::FormatTimeText(a, b, c), QString::asprintf("%.2d:%.2d:%.2d", a, b, c));
        }
    // Through the constructor: a valid time and the invalid one.
    const RecordingEntry dated(OleDateTime::FromParts(100, 1, 2, 3, 4, 5), RECORDING_NORMAL, "/a.avi", "a.avi");
    EXPECT_EQ(dated.GetDateText(), QString::asprintf("%d-%.2d-%.2d", 100, 1, 2));
    EXPECT_EQ(dated.GetTimeText(), QString::asprintf("%.2d:%.2d:%.2d", 3, 4, 5));
}

}  // namespace
