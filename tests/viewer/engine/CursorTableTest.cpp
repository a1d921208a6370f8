#include "CursorTable.h"
#include "IndexBuilder.h"
#include "LargeFileWrapper.h"
#include "MessageBoxes.h"
#include "ProgressDisplay.h"
#include "RollModeStream.h"
#include "ViewerTestFiles.h"

#include <gtest/gtest.h>

namespace rm::viewer {
namespace {

struct Window : ICursorTimesWindow {
    explicit Window(int* refreshes) : refreshes_(refreshes) {}
    void Show() override { shown = true; }
    void RefreshTimes() override { ++*refreshes_; }
    bool shown = false;
    int* refreshes_;
};

class CursorTableTest : public ::testing::Test {
protected:
    TGeneralCursorObject cursor(int64_t position, const std::string& name, uint8_t type = ctWaveform) {
        TGeneralCursorObject c;
        c.CursorType = type;
        c.SamplePosition = position;
        c.CursorName = name;
        c.CursorColor = table.NextCursorColor();
        return c;
    }

    ScriptedMessages messages;
    TPreviewEnginePelkRM engine;
    TIndexFileWrapperVornRMPrv index{engine};
    TCursorObjectTable table{engine, index};
};

TEST_F(CursorTableTest, NamesAndColoursFollowTheTable) {
    EXPECT_EQ(table.NextCursorName(), "C1");
    EXPECT_EQ(table.NextCursorColor(), 0x00FF00u);
    table.AddCursorObject(cursor(1, "C1"));
    table.AddCursorObject(cursor(2, "C3"));
    table.AddCursorObject(cursor(3, "Start"));
    EXPECT_EQ(table.NextCursorName(), "C2");
    EXPECT_EQ(table.NextCursorColor(), 0x9BFF9Bu);
    EXPECT_EQ(table.Cursor(1).CursorColor, 0xFFFF00u);
}

TEST_F(CursorTableTest, OneTimeOriginAtMostAndDeletingItClearsTheOrigin) {
    table.AddCursorObject(cursor(10, "C1"));
    EXPECT_TRUE(table.AddCursorObject(cursor(500, "C2", ctTimeSynchro)));
    EXPECT_EQ(table.Cursor(1).CursorName, "TimeSynchro");
    EXPECT_EQ(table.Cursor(1).CursorColor, 0xFFFFFFu);
    EXPECT_TRUE(engine.IsTimeOriginSet);
    EXPECT_EQ(engine.TimeOriginSample, 500);
    EXPECT_FALSE(table.AddCursorObject(cursor(700, "C3", ctTimeSynchro)));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Time synchro is already set"});
    EXPECT_EQ(table.CursorObjectsCount(), 2);
    table.AddCursorObject(cursor(20, "C3"));

    engine.TimeOriginUserValue = 12;
    table.DeleteCursorObject(1);
    EXPECT_FALSE(engine.IsTimeOriginSet);
    EXPECT_EQ(engine.TimeOriginUserValue, 0);
    table.DeleteCursorObject(0);
    ASSERT_EQ(table.CursorObjectsCount(), 1);
    EXPECT_EQ(table.Cursor(0).CursorName, "C3");
    EXPECT_FALSE(table.Cursor(1).Used);
    table.DeleteCursorObject(5);  // beyond the count: nothing
    EXPECT_EQ(table.CursorObjectsCount(), 1);
}

TEST_F(CursorTableTest, CursorsBeforeAndAfterAreSortedByPosition) {
    table.AddCursorObject(cursor(1500, "C1"));
    table.AddCursorObject(cursor(200, "C2", ctScreen));
    table.AddCursorObject(cursor(700, "C3"));
    table.AddCursorObject(cursor(300, "C4", ctTimeSynchro));
    EXPECT_EQ(table.CursorsBefore(1000), (std::vector<int>{3, 2}));
    EXPECT_EQ(table.CursorsAfter(1000), (std::vector<int>{0}));
}

TEST_F(CursorTableTest, ACursorIsNearWithinFivePoints) {
    engine.SetSamplesPerPoint(10);
    table.AddCursorObject(cursor(1049, "C1"));
    EXPECT_EQ(table.FindCursorNear(1000), 0);
    table.Cursor(0).SamplePosition = 1050;
    EXPECT_FALSE(table.FindCursorNear(1000));
}

TEST_F(CursorTableTest, TimeDifferencesComeFromTheIndex) {
    test::TempDir dir;
    RollModeStream s;
    s.SamplesPerSecond(1000);
    s.Samples(4000);
    test::writeWords(dir.file("a.rmd"), s.Words());
    TLargeFileWrapper file;
    ASSERT_EQ(file.OpenFile(dir.file("a.rmd")), kOpenOk);
    TIndexContent content;
    ProgressGauge gauge(nullptr);
    ASSERT_TRUE(BuildIndex(file, content, gauge, [] { return false; }));
    index.SaveIndex(dir.file("a.ind"), content, file);

    table.AddCursorObject(cursor(1000, "C1"));
    table.AddCursorObject(cursor(3000, "C2"));
    bool exact = false;
    EXPECT_EQ(table.CursorTimeDifference(0, 1, exact), " 2s");
    EXPECT_TRUE(exact);
    EXPECT_EQ(table.CursorTimeDifference(1, 0, exact), "- 2s");
    EXPECT_EQ(table.CursorTimeDifference(0, 0, exact), "0s");
    EXPECT_EQ(table.CursorTimeDifference(0, 5, exact), "-");
}

TEST_F(CursorTableTest, TheTimesWindowIsCreatedOnceAndRefreshedWhileShown) {
    int refreshes = 0;
    int created = 0;
    table.SetCursorTimesWindowFactory([&] {
        ++created;
        return std::make_unique<Window>(&refreshes);
    });
    table.AddCursorObject(cursor(1, "C1"));
    EXPECT_EQ(refreshes, 0);  // not shown yet
    table.ShowCursorTimes();
    table.ShowCursorTimes();
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(table.CursorTimesDisplayed());
    table.AddCursorObject(cursor(2, "C2"));
    EXPECT_EQ(refreshes, 1);
    table.CursorTimesClosed();
    table.RefreshCursorTimes();
    EXPECT_EQ(refreshes, 1);
    table.ShowCursorTimes();  // reopened: a new window
    EXPECT_EQ(created, 2);
}

} // namespace
} // namespace rm::viewer
