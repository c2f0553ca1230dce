#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Compression.h"
#include "foundation/UndoHistory.h"
#include "tests/support/FailureReports.h"
#include "tests/support/UndoHistoryTestAccess.h"

namespace {

// A course-like snapshot: a long run of records of which one changes.
std::string Snapshot(int variant, size_t records = 400)
{
    std::string bytes;
    for (size_t i = 0; i < records; ++i) {
        bytes += "object " + std::to_string(i) + " at " + std::to_string(i * 37 % 1000);
        if (i == 17)
            bytes += " moved " + std::to_string(variant);
        bytes += ';';
    }
    return bytes;
}

}  // namespace

TEST(UndoHistory, StartsEmptyWithRoomForOneStep)
{
    CUndoHistory history;
    EXPECT_EQ(1, history.maximum);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(L"", history.GetUndoLabel());
    EXPECT_EQ(L"", history.GetRedoLabel());
    EXPECT_TRUE(history.GetCurrent().empty());
}

TEST(UndoHistory, UndoAndRedoRestoreTheExactSnapshots)
{
    CUndoHistory history;
    history.maximum = 5000;
    std::vector<std::string> snapshots;
    for (int i = 0; i < 6; ++i)
        snapshots.push_back(Snapshot(i));
    snapshots.push_back(std::string("\0\x01\xFF binary", 10));
    history.Reset(snapshots[0]);
    for (size_t i = 1; i < snapshots.size(); ++i)
        history.Push(snapshots[i], L"Step " + std::to_wstring(i));
    EXPECT_EQ(int32_t(snapshots.size() - 1), history.GetPosition());

    std::string restored;
    for (size_t i = snapshots.size() - 1; i > 0; --i) {
        EXPECT_EQ(L"Step " + std::to_wstring(i), history.GetUndoLabel());
        ASSERT_TRUE(history.Undo(restored));
        EXPECT_EQ(snapshots[i - 1], restored);
        EXPECT_EQ(L"Step " + std::to_wstring(i), history.GetRedoLabel());
    }
    EXPECT_FALSE(history.CanUndo());
    for (size_t i = 1; i < snapshots.size(); ++i) {
        ASSERT_TRUE(history.Redo(restored));
        EXPECT_EQ(snapshots[i], restored);
    }
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(snapshots.back(), history.GetCurrent());
}

TEST(UndoHistory, RecordsAreKeyedToTheNeighbourTowardsTheCurrentSnapshot)
{
    CUndoHistory history;
    history.maximum = 10;
    const std::string s0 = Snapshot(0), s1 = Snapshot(1), s2 = Snapshot(2);
    history.Reset(s0);
    history.Push(s1, L"a");
    history.Push(s2, L"b");
    std::string opened;
    // Below the position: S(i) against S(i + 1).
    ASSERT_TRUE(ZlibUncompressWithLength(CUndoHistoryTestAccess::Record(history, 0), opened, s1));
    EXPECT_EQ(s0, opened);
    ASSERT_TRUE(ZlibUncompressWithLength(CUndoHistoryTestAccess::Record(history, 1), opened, s2));
    EXPECT_EQ(s1, opened);
    // A step that changes little costs far less than the snapshot.
    EXPECT_LT(CUndoHistoryTestAccess::Record(history, 1).size() * 10, s1.size());

    std::string restored;
    ASSERT_TRUE(history.Undo(restored));
    // At and above the position: S(i + 1) against S(i).
    ASSERT_TRUE(ZlibUncompressWithLength(CUndoHistoryTestAccess::Record(history, 1), opened, s1));
    EXPECT_EQ(s2, opened);
}

TEST(UndoHistory, StepsOfLargeSnapshotsKeepWhatChanged)
{
    CUndoHistory history;
    history.maximum = 10;
    const std::vector<std::string> snapshots = {Snapshot(0, 4000), Snapshot(1, 4000), "small", Snapshot(2, 4000),
                                                Snapshot(2, 4000) + "more"};
    ASSERT_GT(snapshots[0].size(), CUndoHistory::kWholeRecordLimit);
    history.Reset(snapshots[0]);
    for (size_t i = 1; i < snapshots.size(); ++i)
        history.Push(snapshots[i], L"step");
    // Between two large snapshots a record costs about what differs.
    EXPECT_LT(CUndoHistoryTestAccess::Record(history, 0).size(), 100u);
    EXPECT_LT(CUndoHistoryTestAccess::Record(history, 3).size(), 100u);

    std::string restored;
    for (size_t i = snapshots.size() - 1; i > 0; --i) {
        ASSERT_TRUE(history.Undo(restored));
        EXPECT_EQ(snapshots[i - 1], restored) << i;
    }
    EXPECT_LT(CUndoHistoryTestAccess::Record(history, 0).size(), 100u);
    for (size_t i = 1; i < snapshots.size(); ++i) {
        ASSERT_TRUE(history.Redo(restored));
        EXPECT_EQ(snapshots[i], restored) << i;
    }
}

TEST(UndoHistory, TheDefaultMaximumKeepsOneStep)
{
    CUndoHistory history;
    history.Reset("first");
    history.Push("second", L"one");
    history.Push("third", L"two");
    EXPECT_EQ(1, history.GetPosition());
    EXPECT_EQ(1u, history.GetEntryCount());
    EXPECT_EQ(L"two", history.GetUndoLabel());
    std::string restored;
    ASSERT_TRUE(history.Undo(restored));
    EXPECT_EQ("second", restored);
    EXPECT_FALSE(history.CanUndo());
}

TEST(UndoHistory, TheOldestStepGoesBeyondTheMaximum)
{
    CUndoHistory history;
    history.maximum = 5000;
    history.Reset("s0");
    for (int i = 1; i <= 5001; ++i)
        history.Push("s" + std::to_string(i), L"step");
    EXPECT_EQ(5000, history.GetPosition());
    EXPECT_EQ(5000u, history.GetEntryCount());
    std::string restored;
    int undone = 0;
    while (history.CanUndo() && history.Undo(restored))
        ++undone;
    EXPECT_EQ(5000, undone);
    EXPECT_EQ("s1", restored);
}

TEST(UndoHistory, APushAfterUndoDropsTheRedoSteps)
{
    CUndoHistory history;
    history.maximum = 10;
    history.Reset("a");
    history.Push("b", L"to b");
    history.Push("c", L"to c");
    std::string restored;
    ASSERT_TRUE(history.Undo(restored));
    ASSERT_TRUE(history.Undo(restored));
    EXPECT_TRUE(history.CanRedo());
    history.Push("d", L"to d");
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(L"", history.GetRedoLabel());
    EXPECT_EQ(1u, history.GetEntryCount());
    ASSERT_TRUE(history.Undo(restored));
    EXPECT_EQ("a", restored);
}

TEST(UndoHistory, EqualLabelsShareOneString)
{
    CUndoHistory first;
    CUndoHistory second;
    first.maximum = second.maximum = 5;
    first.Reset("x");
    second.Reset("y");
    first.Push("x2", std::wstring(L"Move"));
    second.Push("y2", std::wstring(L"Mo") + L"ve");
    EXPECT_EQ(&first.GetUndoLabel(), &second.GetUndoLabel());
}

TEST(UndoHistory, EmptySnapshotsRoundTrip)
{
    CUndoHistory history;
    history.maximum = 5;
    history.Reset("content");
    history.Push("", L"cleared");
    history.Push("again", L"filled");
    std::string restored = "unchanged";
    ASSERT_TRUE(history.Undo(restored));
    EXPECT_EQ("", restored);
    ASSERT_TRUE(history.Undo(restored));
    EXPECT_EQ("content", restored);
    ASSERT_TRUE(history.Redo(restored));
    EXPECT_EQ("", restored);
}

TEST(UndoHistory, AMaximumOfZeroKeepsNothing)
{
    CUndoHistory history;
    history.maximum = 0;
    history.Reset("a");
    history.Push("b", L"step");
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ("b", history.GetCurrent());
}

TEST(UndoHistory, MisuseIsReportedAndChangesNothing)
{
    CUndoHistory history;
    history.maximum = 5;
    history.Reset("only");
    std::string restored = "untouched";
    int before = ReportCount();
    EXPECT_FALSE(history.Undo(restored));
    EXPECT_FALSE(history.Redo(restored));
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_EQ("untouched", restored);
    EXPECT_EQ("only", history.GetCurrent());

    // A push before the first reset is reported and still recorded.
    CUndoHistory fresh;
    fresh.maximum = 5;
    before = ReportCount();
    fresh.Push("first", L"step");
    EXPECT_EQ(before + 1, ReportCount());
    ASSERT_TRUE(fresh.Undo(restored));
    EXPECT_EQ("", restored);
}

TEST(UndoHistory, ADamagedRecordLeavesTheHistoryAsItWas)
{
    CUndoHistory history;
    history.maximum = 5;
    const std::string s0 = Snapshot(0), s1 = Snapshot(1), s2 = Snapshot(2);
    history.Reset(s0);
    history.Push(s1, L"one");
    history.Push(s2, L"two");
    std::string& record = CUndoHistoryTestAccess::Record(history, 1);
    const std::string good = record;
    record[record.size() / 2] ^= 0x55;

    std::string restored = "untouched";
    const int before = ReportCount();
    EXPECT_FALSE(history.Undo(restored));
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ("untouched", restored);
    EXPECT_EQ(2, history.GetPosition());
    EXPECT_EQ(2u, history.GetEntryCount());
    EXPECT_EQ(s2, history.GetCurrent());
    EXPECT_EQ(L"two", history.GetUndoLabel());

    // Mended, the same step undoes as before.
    record = good;
    ASSERT_TRUE(history.Undo(restored));
    EXPECT_EQ(s1, restored);

    // A damaged redo record also leaves everything in place.
    CUndoHistoryTestAccess::Record(history, 1)[5] ^= 0x55;
    EXPECT_FALSE(history.Redo(restored));
    EXPECT_EQ(1, history.GetPosition());
    EXPECT_EQ(s1, history.GetCurrent());
    EXPECT_TRUE(history.CanRedo());
}

TEST(UndoHistory, AStepThatCouldNeverBeUndoneIsNotRecorded)
{
    CUndoHistory history;
    history.maximum = 5;
    history.Reset("a");
    history.Push("b", L"small");
    std::string restored;
    ASSERT_TRUE(history.Undo(restored));
    // Longer than the 24-bit length of a record can describe: leaving it
    // would need a record of it.
    const std::string huge(kMaxCompressedInput + 1, 'x');
    int before = ReportCount();
    history.Push(huge, L"huge");
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(1u, history.GetEntryCount());
    EXPECT_EQ(0, history.GetPosition());
    EXPECT_EQ("a", history.GetCurrent());
    EXPECT_EQ(L"small", history.GetRedoLabel());
    ASSERT_TRUE(history.Redo(restored));
    EXPECT_EQ("b", restored);

    // A current snapshot that cannot be stored gives no step either; the
    // history goes on from the new snapshot.
    CUndoHistory large;
    large.maximum = 5;
    large.Reset(huge);
    before = ReportCount();
    large.Push("next", L"step");
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_FALSE(large.CanUndo());
    EXPECT_EQ("next", large.GetCurrent());
    large.Push("after", L"step");
    ASSERT_TRUE(large.Undo(restored));
    EXPECT_EQ("next", restored);
}

// Shared runs found a block at a time end at the first differing byte,
// within a block, at a block's edge or at the limit, from either end.
TEST(UndoHistory, SharedBytesEndAtTheFirstDifference)
{
    const std::string base(300, 'a');
    struct CCase
    {
        size_t differAt;  // counted from the start, or with fromEnd from the end
        bool fromEnd;
        size_t limit;
        size_t expected;
    };
    for (const CCase& c : {CCase{0, false, 300, 0}, CCase{63, false, 300, 63}, CCase{64, false, 300, 64},
                           CCase{65, false, 300, 65}, CCase{130, true, 300, 130}, CCase{128, true, 300, 128},
                           CCase{200, false, 100, 100}, CCase{299, true, 299, 299}}) {
        std::string other = base;
        other[c.fromEnd ? other.size() - 1 - c.differAt : c.differAt] = 'b';
        EXPECT_EQ(c.expected, CountSharedBytes(base, other, c.fromEnd, c.limit)) << c.differAt;
        EXPECT_EQ(c.expected, CountSharedBytes(other, base, c.fromEnd, c.limit)) << c.differAt;
    }
    // Equal strings share all of the shorter one, seen from either end.
    EXPECT_EQ(200u, CountSharedBytes(base, std::string(200, 'a'), false, std::string::npos));
    EXPECT_EQ(200u, CountSharedBytes(std::string(200, 'a'), base, true, std::string::npos));
}

TEST(UndoHistory, TwoChangesFarApartKeepOnlyWhatDiffers)
{
    // Records that do not compress, with a change near the start and one
    // near the end: an obstacle moved and a line tied to it.
    std::string base;
    uint32_t seed = 12345;
    for (size_t i = 0; i < 60000; ++i) {
        seed = seed * 1103515245u + 12345u;
        base += char(seed >> 24);
    }
    const auto changed = [&base](const std::string& early, const std::string& late) {
        return base.substr(0, 100) + early + base.substr(100, 59800) + late + base.substr(59900);
    };
    const struct
    {
        std::string early, late;
        bool small;
    } steps[] = {
        {"aaaa", "bbbb", true},       // the same lengths
        {"aaaa", "bbbbbbbb", true},   // the late change longer
        {"aaaaaaaa", "bbbb", false},  // the early one longer: the run moves
        {"cccc", "dddd", false},      // and back
        {"eeee", "ffff", true},
    };
    CUndoHistory history;
    history.maximum = 10;
    std::vector<std::string> snapshots = {changed("0000", "0000")};
    history.Reset(snapshots[0]);
    for (const auto& step : steps) {
        snapshots.push_back(changed(step.early, step.late));
        ASSERT_TRUE(history.Push(snapshots.back(), L"step"));
        const size_t record = CUndoHistoryTestAccess::Record(history, snapshots.size() - 2).size();
        if (step.small) {
            EXPECT_LT(record, 200u) << step.early << step.late;
        }
    }
    std::string restored;
    for (size_t i = snapshots.size() - 1; i > 0; --i) {
        ASSERT_TRUE(history.Undo(restored));
        EXPECT_EQ(snapshots[i - 1], restored) << i;
    }
    for (size_t i = 1; i < snapshots.size(); ++i) {
        ASSERT_TRUE(history.Redo(restored));
        EXPECT_EQ(snapshots[i], restored) << i;
    }
}
