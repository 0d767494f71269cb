#include "support/hub/HubFixtures.h"

#include "hub/PlaylistNavigation.h"
#include "support/AviFixtureBuilder.h"
#include "support/TestSupport.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using namespace hubtest;

struct NavCase {
    std::vector<int> types;
    int filter;
    unsigned current;
    bool next;  // else previous
    unsigned index;
    bool ok;
};

std::ostream& operator<<(std::ostream& os, const NavCase& c)
{
    os << (c.next ? "next" : "previous") << " filter " << c.filter << " current " << c.current << " types";
    for (int t : c.types)
        os << ' ' << t;
    return os;
}

class Navigation : public ::testing::TestWithParam<NavCase> {};

TEST_P(Navigation, PureFunction)
{
    const NavCase& c = GetParam();
    const auto step = c.next ? PlaylistNavigation::Next(c.types, c.current, c.filter)
                             : PlaylistNavigation::Previous(c.types, c.current, c.filter);
    EXPECT_EQ(step.index, c.index);
    EXPECT_EQ(step.ok, c.ok);
}

TEST_P(Navigation, ThroughTheHub)
{
    const NavCase& c = GetParam();
    EntryFactory factory;
    ApplicationHub hub{NoLoader()};
    hub.SetVideoFiles(factory.MakeTypes(c.types));
    hub.SetFilterType(c.filter);
    if (c.current < c.types.size()) {
        ASSERT_TRUE(hub.SetCurrentIndex(static_cast<int>(c.current)));
    } else {
        // The only way past the count: the list pane empties the list and
        // leaves the index where it was.
        hub.SetVideoFiles(factory.MakeTypes(std::vector<int>(c.current + 1, 1)));
        ASSERT_TRUE(hub.SetCurrentIndex(static_cast<int>(c.current)));
        hub.ClearVideoFiles();
    }
    int index = -1;
    const bool ok = c.next ? hub.GetNextIndex(index) : hub.GetPreviousIndex(index);
    EXPECT_EQ(static_cast<unsigned>(index), c.index);
    EXPECT_EQ(ok, c.ok);
}

const NavCase navCases[] = {
    // Filter 0 with three entries.
    {{1, 2, 3}, 0, 2, true, 0, false},
    {{1, 2, 3}, 0, 0, true, 1, true},
    {{1, 2, 3}, 0, 0, false, 0, false},
    {{1, 2, 3}, 0, 1, false, 0, true},
    // Filter 1.
    {{2, 1, 2, 1}, 1, 1, true, 3, true},
    {{2, 1, 2, 1}, 1, 3, true, 1, true},
    {{1, 2, 1}, 1, 2, true, 0, false},
    {{2, 2, 1, 2}, 1, 1, false, 2, true},
    {{2, 2, 1, 2}, 1, 2, false, 2, false},
    {{2, 2, 2}, 1, 2, false, 1, true},
    {{2, 2, 2}, 1, 0, false, 0, false},
    {{2, 2, 2}, 1, 1, true, 0, false},
    // Filter 3 takes parking motion (4) as motion.
    {{1, 4, 2}, 3, 0, true, 1, true},
    {{4, 2, 3}, 3, 2, false, 0, true},
    // Filter 4 matches type 4 only.
    {{3, 4, 3}, 4, 0, true, 1, true},
    {{4, 3, 3}, 4, 1, true, 0, false},
    {{3, 3, 4}, 4, 1, false, 2, true},
    // An empty list, and a current index at or past the count.
    {{}, 0, 0, true, 0, false},
    {{}, 1, 0, false, 0, false},
    {{1, 1}, 0, 2, true, 0, false},
    {{1, 1}, 1, 2, false, 0, false},
    {{1, 2}, 1, 7, true, 0, false},
    {{1, 2}, 0, 7, false, 0, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, Navigation, ::testing::ValuesIn(navCases));

TEST(Playlist, SetCurrentIndexTakesOnlyIndicesBelowTheCount)
{
    EntryFactory factory;
    ApplicationHub hub{NoLoader()};
    EXPECT_FALSE(hub.SetCurrentIndex(0));
    hub.SetVideoFiles(factory.MakeTypes({1, 2, 3}));
    EXPECT_TRUE(hub.SetCurrentIndex(2));
    for (int bad : {3, -1, -2147483647 - 1})
        EXPECT_FALSE(hub.SetCurrentIndex(bad)) << bad;
    EXPECT_EQ(hub.GetCurrentIndex(), 2u);
}

TEST(Playlist, EmptyOrClearedListHasNoCurrentEntry)
{
    EntryFactory factory;
    ApplicationHub hub{NoLoader()};
    EXPECT_EQ(hub.GetCurrentVideoFile(), nullptr);
    EXPECT_FALSE(hub.LoadCurrentVideoMetadata());

    hub.SetVideoFiles(factory.MakeTypes({1, 2, 3}));
    hub.SetCurrentIndex(2);
    hub.ClearVideoFiles();
    EXPECT_EQ(hub.GetCurrentIndex(), 2u);
    EXPECT_EQ(hub.GetCurrentVideoFile(), nullptr);
    EXPECT_TRUE(hub.GetVideoFiles().empty());

    hub.SetVideoFiles({});
    EXPECT_EQ(hub.GetCurrentIndex(), 0u);
    EXPECT_EQ(hub.GetCurrentVideoFile(), nullptr);
}

std::vector<RecordingEntry*> Order(ApplicationHub& hub)
{
    std::vector<RecordingEntry*> order;
    for (const auto& entry : hub.GetVideoFiles())
        order.push_back(entry.get());
    return order;
}

TEST(PlaylistSort, ByTypeMovesTheCurrentIndexWithItsEntry)
{
    EntryFactory factory;
    ApplicationHub hub{NoLoader()};
    auto entries = factory.MakeTypes({3, 1, 2, 1});
    const auto [a, b, c, d] = std::tuple(entries[0].get(), entries[1].get(), entries[2].get(), entries[3].get());
    hub.SetVideoFiles(entries);

    hub.SortVideoFilesByType();
    EXPECT_EQ(Order(hub), (std::vector<RecordingEntry*>{b, d, c, a}));
    EXPECT_EQ(hub.GetCurrentIndex(), 3u);
    EXPECT_EQ(hub.GetCurrentVideoFile().get(), a);

    hub.RenumberVideoFiles();
    std::vector<int> numbers;
    for (const auto& entry : hub.GetVideoFiles())
        numbers.push_back(entry->number);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4}));
}

TEST(PlaylistSort, ByDateIsOrdinalAndKeepsEqualDatesInOrder)
{
    EntryFactory factory;
    ApplicationHub hub{NoLoader()};
    ApplicationHub::Entries entries = {
        factory.Make(1, "2013-05-07"), factory.Make(2, "999-01-01"), factory.Make(3, "2013-05-07"),
        factory.Make(4, "-1--01--01"), factory.Make(5, "2012-12-31"),
    };
    hub.SetVideoFiles(entries);
    hub.SortVideoFilesByDate();
    std::vector<int> types;
    for (const auto& entry : hub.GetVideoFiles())
        types.push_back(entry->type);
    EXPECT_EQ(types, (std::vector<int>{4, 5, 1, 3, 2}));
}

TEST(PlaylistSort, CurrentIndexPastTheCountStaysWhereItIs)
{
    EntryFactory factory;
    ApplicationHub hub{NoLoader()};
    hub.SetVideoFiles(factory.MakeTypes({3, 2, 1, 4, 5}));
    hub.SetCurrentIndex(4);
    hub.SetVideoFiles(factory.MakeTypes({4, 3}));
    EXPECT_EQ(hub.GetCurrentIndex(), 0u);
    hub.SetCurrentIndex(1);
    hub.ClearVideoFiles();
    hub.SortVideoFilesByType();
    EXPECT_EQ(hub.GetCurrentIndex(), 1u);
}

// The column sort as first written: a bubble sort without early exit.
template <typename Greater>
void BubbleSort(std::vector<std::shared_ptr<RecordingEntry>>& v, Greater greater)
{
    for (std::size_t i = v.size(); i-- > 0;) {
        for (std::size_t j = 1; j <= i; ++j) {
            if (greater(*v[j - 1], *v[j]))
                std::swap(v[j - 1], v[j]);
        }
    }
}

TEST(PlaylistSort, MatchesTheReferenceBubbleSortForEveryKey)
{
    std::mt19937 random(20130507);
    EntryFactory factory;
    ApplicationHub hub{NoLoader()};
    const QStringList dates = {"2013-05-07", "2013-05-08", "999-01-01", "-1--01--01", "2013-5-07"};
    const QStringList times = {"08:05:09", "08:05:10", "-01:-01:-01", "23:59:59"};
    using Greater = std::function<bool(const RecordingEntry&, const RecordingEntry&)>;
    const std::vector<std::pair<void (ApplicationHub::*)(), Greater>> keys = {
        {&ApplicationHub::SortVideoFilesByDate,
         [](const RecordingEntry& x, const RecordingEntry& y) { return x.dateText > y.dateText; }},
        {&ApplicationHub::SortVideoFilesByTime,
         [](const RecordingEntry& x, const RecordingEntry& y) { return x.timeText > y.timeText; }},
        {&ApplicationHub::SortVideoFilesByType,
         [](const RecordingEntry& x, const RecordingEntry& y) { return x.type > y.type; }},
    };
    for (int round = 0; round < 3000; ++round) {
        const std::size_t count = 1 + random() % 12;
        ApplicationHub::Entries entries;
        for (std::size_t i = 0; i < count; ++i)
            entries.push_back(factory.Make(1 + static_cast<int>(random() % 5), dates[random() % dates.size()],
                                           times[random() % times.size()]));
        const auto& [sort, greater] = keys[round % keys.size()];
        hub.SetVideoFiles(entries);
        const int current = static_cast<int>(random() % count);
        hub.SetCurrentIndex(current);
        const auto watched = entries[static_cast<std::size_t>(current)];

        (hub.*sort)();
        BubbleSort(entries, greater);
        ASSERT_EQ(hub.GetVideoFiles(), entries) << "round " << round;
        ASSERT_EQ(hub.GetCurrentVideoFile(), watched) << "round " << round;
        ASSERT_EQ(entries[hub.GetCurrentIndex()], watched) << "round " << round;
    }
}

TEST(PlaylistOwnership, EntriesLiveAsLongAsTheirLastHolder)
{
    EntryFactory factory;
    {
        ApplicationHub hub{NoLoader()};
        hub.SetVideoFiles(factory.MakeTypes({1, 2, 3}));
        const auto held = hub.GetVideoFiles();
        hub.SetVideoFiles(factory.MakeTypes({1, 2}));
        EXPECT_EQ(factory.Destroyed(), 0);
        EXPECT_EQ(held[2]->type, 3);

        const auto current = hub.GetCurrentVideoFile();
        hub.ClearVideoFiles();
        EXPECT_EQ(factory.Destroyed(), 1);  // the other second-list entry
        EXPECT_EQ(current->type, 1);
        hub.SetVideoFiles(factory.MakeTypes({5}));
    }
    EXPECT_EQ(factory.Created(), 6);
    EXPECT_EQ(factory.Destroyed(), 6);
}

struct Metadata : ::testing::Test {
    EntryFactory factory;
    std::function<bool(RecordingEntry&)> parse;
    ApplicationHub hub{[this](RecordingEntry& e) { return parse(e); }};

    static void Fill(RecordingEntry& e)
    {
        e.duration = 60;
        e.durationSpan = 60;
        e.videoStreamCount = 2;
        e.totalFrames = 1800;
        e.width = 1280;
        e.height = 720;
        e.motionSamples.resize(3);
        e.motionTimes = {20, 40, 60};
        e.gpsFixes.resize(60);
        e.metadataLoaded = true;
        e.selectTrack1 = true;
    }
};

TEST_F(Metadata, HalfFilledFailureLeavesTheEntryAndALaterTryWorks)
{
    hub.SetVideoFiles(factory.MakeTypes({1}));
    parse = [](RecordingEntry& e) {
        e.duration = 99;
        e.motionTimes = {1};
        return false;
    };
    EXPECT_FALSE(hub.LoadCurrentVideoMetadata());
    const auto entry = hub.GetCurrentVideoFile();
    EXPECT_EQ(entry->duration, 0);
    EXPECT_TRUE(entry->motionTimes.empty());

    parse = [](RecordingEntry&) -> bool { throw std::runtime_error("parse failed"); };
    EXPECT_THROW(hub.LoadCurrentVideoMetadata(), std::runtime_error);
    EXPECT_EQ(entry->duration, 0);

    parse = [](RecordingEntry& e) {
        Fill(e);
        e.number = 42;  // not the decoder's to write
        e.type = 3;
        e.fileName = "other";
        return true;
    };
    EXPECT_TRUE(hub.LoadCurrentVideoMetadata());
    EXPECT_TRUE(entry->metadataLoaded);
    EXPECT_TRUE(entry->selectTrack1);
    EXPECT_EQ(entry->duration, 60);
    EXPECT_EQ(entry->durationSpan, 60);
    EXPECT_EQ(entry->videoStreamCount, 2);
    EXPECT_EQ(entry->totalFrames, 1800);
    EXPECT_EQ(entry->width, 1280);
    EXPECT_EQ(entry->height, 720);
    EXPECT_EQ(entry->motionSamples.size(), 3u);
    EXPECT_EQ(entry->gpsFixes.size(), 60u);
    EXPECT_EQ(entry->number, 1);
    EXPECT_EQ(entry->type, 1);
    EXPECT_EQ(entry->fileName, "entry1.avi");

    int calls = 0;
    parse = [&](RecordingEntry&) { return ++calls > 0; };
    EXPECT_TRUE(hub.LoadCurrentVideoMetadata());
    EXPECT_EQ(calls, 0);  // a loaded entry is left alone
}

TEST_F(Metadata, ParseRunsWithoutThePlaylistLockAndFillsTheRightEntryAfterASort)
{
    auto entries = factory.MakeTypes({3, 1});
    hub.SetVideoFiles(entries);
    Gate parsing, release;
    parse = [&](RecordingEntry& e) {
        parsing.Open();
        EXPECT_TRUE(release.Wait());
        Fill(e);
        return true;
    };
    std::thread worker([&] { EXPECT_TRUE(hub.LoadCurrentVideoMetadata()); });
    ASSERT_TRUE(parsing.Wait());
    {
        std::unique_lock lock(hub.fileLock, std::try_to_lock);
        EXPECT_TRUE(lock.owns_lock());
    }
    hub.SortVideoFilesByType();
    hub.RenumberVideoFiles();
    release.Open();
    worker.join();

    EXPECT_TRUE(entries[0]->metadataLoaded);
    EXPECT_EQ(entries[0]->number, 2);
    EXPECT_FALSE(entries[1]->metadataLoaded);
    EXPECT_EQ(hub.GetCurrentVideoFile(), entries[0]);
}

TEST(HubMetadataDecoder, FillsTheEntryFromARecordingAndFailsOnAMissingFile)
{
    testsupport::ScopedWorkingFolder folder;
    testsupport::AviFixtureOptions options;
    options.seconds = 4;
    const testsupport::AviManifest manifest = testsupport::AviFixtureBuilder(options).Write("EVT.avi");
    EntryFactory factory;
    auto recording = factory.Make(RECORDING_EVENT);
    recording->path = folder.Path() + "/EVT.avi";
    auto missing = factory.Make(RECORDING_EVENT);
    missing->path = folder.Path() + "/gone.avi";

    ApplicationHub hub;
    hub.SetVideoFiles({missing, recording});
    EXPECT_FALSE(hub.LoadCurrentVideoMetadata());
    EXPECT_FALSE(missing->metadataLoaded);

    ASSERT_TRUE(hub.SetCurrentIndex(1));
    EXPECT_TRUE(hub.LoadCurrentVideoMetadata());
    EXPECT_TRUE(recording->metadataLoaded);
    EXPECT_EQ(recording->videoStreamCount, 2);
    EXPECT_EQ(recording->gpsFixes.size(), manifest.fixes.size());
    EXPECT_EQ(recording->motionSamples.size(), manifest.samples.size());
    EXPECT_EQ(recording->motionTimes.size(), manifest.samples.size());
}

}  // namespace
