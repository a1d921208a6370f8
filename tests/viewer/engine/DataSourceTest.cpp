#include "DataSource.h"
#include "ExclusiveFile.h"
#include "IndexedTestFile.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "MessageBoxes.h"
#include "RollModeStream.h"
#include "ViewerTestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <thread>

namespace rm::viewer {
namespace {

using namespace std::chrono_literals;

struct Progress : IProgressDisplay {
    void SetProgressText(const std::string& text) override {
        bool hold = false;
        {
            std::lock_guard lock(m);
            texts.push_back(text);
            hold = text == holdOn;
        }
        if (hold)  // keeps the thread that set this text here for a while
            std::this_thread::sleep_for(300ms);
    }
    void holdAt(const std::string& text) {
        std::lock_guard lock(m);
        holdOn = text;
    }
    void SetProgressPercent(int value) override {
        percent = value;
        if (slow)
            std::this_thread::sleep_for(5ms);
    }
    std::vector<std::string> all() {
        std::lock_guard lock(m);
        return texts;
    }
    std::mutex m;
    std::vector<std::string> texts;
    std::string holdOn;
    std::atomic<bool> slow{false};
    std::atomic<int> percent{-1};
};

// Waits until the last progress text is `text`.
bool waitForText(Progress& progress, const std::string& text) {
    for (int i = 0; i < 5000; ++i) {
        const auto texts = progress.all();
        if (!texts.empty() && texts.back() == text)
            return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

// Counts the views the data source announces, and where the engine had the
// main buffer when the quick view was announced.
struct Announcements : IEngineListener {
    explicit Announcements(const TPreviewEnginePelkRM& engine) : engine(engine) {}
    void EngineNotify(int code, int) override {
        std::lock_guard lock(m);
        ++count[code];
        if (code == enQuickViewReady)
            bufferPositionAtQuickView = engine.MainBufferPosition();
        cv.notify_all();
    }
    bool waitFor(int code, int times) {
        std::unique_lock lock(m);
        return cv.wait_for(lock, 20s, [&] { return count[code] >= times; });
    }
    int of(int code) {
        std::lock_guard lock(m);
        return count[code];
    }
    const TPreviewEnginePelkRM& engine;
    std::mutex m;
    std::condition_variable cv;
    std::map<int, int> count;
    int64_t bufferPositionAtQuickView = -1;
};

class DataSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.RegisterListener(kGroupAll, &heard);
        engine.Startup();
        engine.MainScreenWidth = 800;
        engine.SetActualPointsCount(800);
    }
    void TearDown() override {
        engine.UnregisterListener(kGroupAll, &heard);
        engine.Shutdown();
    }

    // What the open panel does when a name is chosen, then Open.
    void target(const std::string& name) {
        engine.SetOpenFileName(name);
        engine.FileTargeted = true;
        engine.Notify(enOpenDataFile, kGroupOpenPanel);
        if (engine.FileTargeted)
            engine.Notify(enFileTargeted, kGroupOpenPanel);
        engine.Notify(enFileNameChanged, kGroupOpenPanel);
    }
    void openAndWait(const std::string& name) {
        const int before = heard.of(enNormalViewReady);
        target(name);
        engine.Notify(enPrepareIndex, kGroupOpenPanel);
        ASSERT_TRUE(heard.waitFor(enNormalViewReady, before + 1));
        waitIdle();
    }
    // Sends a notification and waits for the normal view it makes.
    void request(int code) {
        const int before = heard.of(enNormalViewReady);
        engine.Notify(code, kGroupDisplay);
        ASSERT_TRUE(heard.waitFor(enNormalViewReady, before + 1));
        waitIdle();
    }
    void waitIdle() {
        for (int i = 0; i < 2000 && progress.all().back().rfind("Ready", 0) != 0; ++i)
            std::this_thread::sleep_for(1ms);
    }
    // Channel A maxima of the normal view (one point per screen column, at
    // most 8192) against the samples from `start`.
    void expectNormalView(const std::vector<uint16_t>& samples, int64_t start, int64_t spp) {
        std::lock_guard lock(source.ViewLock(TViewKind::Normal));
        const TViewPoints& view = source.View(TViewKind::Normal);
        ASSERT_EQ(view.Points, std::min<int>(static_cast<int>(engine.MainScreenWidth), 8192));
        for (int64_t p = 0; p < view.Points; ++p) {
            uint8_t max = 0;
            for (int64_t k = 0; k < spp; ++k)
                max = std::max<uint8_t>(max, samples[static_cast<size_t>(start + p * spp + k)] & 0xFF);
            ASSERT_EQ(view.MaxA[static_cast<size_t>(p)], max) << "point " << p;
        }
    }

    ScriptedMessages messages;
    test::TempDir dir;
    TPreviewEnginePelkRM engine;
    TMainBufferComponentVornPrv buffer{engine};
    TLargeFileWrapper file;
    TIndexFileWrapperVornRMPrv index{engine};
    Progress progress;
    TDataSourcePelkRMPrv source{engine, buffer, file, index, &progress};
    Announcements heard{engine};
};

TEST_F(DataSourceTest, OpenErrorsAreShownAndLeaveNoFileTargeted) {
    target(dir.file("missing.rmd"));
    test::writeBytes(dir.file("empty.rmd"), {});
    target(dir.file("empty.rmd"));
    test::writeBytes(dir.file("held.rmd"), {1, 1});
    ExclusiveFile recorder;
    ASSERT_EQ(recorder.open(dir.file("held.rmd"), ExclusiveFile::Mode::ReadWrite), ExclusiveFile::Result::Ok);
    target(dir.file("held.rmd"));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"File does not exist", "File is empty",
                                                          "File is used by another process"}));
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Error);
    EXPECT_EQ(messages.shown().back().buttons, MsgButtons::Cancel);
    EXPECT_FALSE(engine.FileTargeted);
    EXPECT_EQ(engine.IndexFileName(), "ind");
    EXPECT_EQ(engine.OpenFileSize, 0);
}

TEST_F(DataSourceTest, AFolderOrAPipeTypedAsTheDataFileIsNamedInWords) {
    ASSERT_EQ(mkdir(dir.file("folder.rmd").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(dir.file("pipe.rmd").c_str(), 0644), 0);
    target(dir.file("folder.rmd"));
    target(dir.file("pipe.rmd"));
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"File error 21: the name is a folder, not a data file",
                                        "File error 22: not a data file but a pipe, a device or a socket"}));
}

TEST_F(DataSourceTest, AFailedOpenLeavesNoGaugeOfThePreviousFile) {
    RollModeStream s;
    s.SamplesPerSecond(1000);
    s.Samples(5000);
    test::writeWords(dir.file("a.rmd"), s.Words());
    openAndWait(dir.file("a.rmd"));
    ASSERT_EQ(progress.percent, 100);
    target(dir.file("missing.rmd"));
    EXPECT_EQ(progress.percent, 0);
}

// What holds the index's name and is no index stays as it is, and the
// progress text says why the index was only kept in memory.
TEST_F(DataSourceTest, AnIndexThatIsNotSavedIsSaidWhenReady) {
    RollModeStream s;
    s.StartMeasurement({});
    s.Samples(5000);
    s.StopMeasurement();
    test::writeWords(dir.file("thesis.rmd"), s.Words());
    const std::string latex = "\\begin{theindex}\n\\end{theindex}\n";
    test::writeBytes(dir.file("thesis.ind"), std::vector<uint8_t>(latex.begin(), latex.end()));
    for (int open = 0; open < 2; ++open) {
        openAndWait(dir.file("thesis.rmd"));
        EXPECT_EQ(progress.all().back(),
                  "Ready (index kept in memory only: thesis.ind is not an index file and stays as it is)");
        EXPECT_EQ(test::readBytes(dir.file("thesis.ind")), std::vector<uint8_t>(latex.begin(), latex.end()));
        expectNormalView(s.SampleWords(), 0, 1);
    }

    // A mark after every sample: the index would be larger than the file.
    RollModeStream marks;
    for (int k = 0; k < 3000; ++k) {
        marks.Samples(1);
        marks.Marker(1);
    }
    test::writeWords(dir.file("marks.rmd"), marks.Words());
    openAndWait(dir.file("marks.rmd"));
    EXPECT_EQ(progress.all().back(), "Ready (index kept in memory only: it would be larger than the data file)");
    EXPECT_FALSE(test::exists(dir.file("marks.ind")));

    // An index of ours that may not be written, and a damaged file.
    s.Raw({0, 2});
    s.Samples(100);
    test::writeWords(dir.file("locked.rmd"), s.Words());
    openAndWait(dir.file("locked.rmd"));
    std::vector<uint8_t> stale = test::readBytes(dir.file("locked.ind"));
    stale[88 + 64] ^= 1;  // a rate that is not the file's
    test::writeBytes(dir.file("locked.ind"), stale);
    ASSERT_EQ(chmod(dir.file("locked.ind").c_str(), 0444), 0);
    openAndWait(dir.file("locked.rmd"));
    EXPECT_EQ(progress.all().back(),
              "Ready (data file damaged: 1 damaged parameter blocks skipped; "
              "index kept in memory only: locked.ind cannot be written (read-only folder or file))");
    EXPECT_EQ(test::readBytes(dir.file("locked.ind")), stale);
}

// A viewer ended while it wrote the index leaves its temporary file; the
// next open of the data file removes it, and nothing else.
TEST_F(DataSourceTest, ATemporaryIndexLeftByAnEndedViewerIsRemovedOnOpen) {
    RollModeStream s;
    s.StartMeasurement({});
    s.Samples(5000);
    test::writeWords(dir.file("run.rmd"), s.Words());
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    ASSERT_GT(ended, 0);
    ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
    const std::string left = dir.file("run.ind.tmp" + std::to_string(ended) + "-0");
    const std::vector<std::string> kept = {dir.file("run.ind.tmp" + std::to_string(getpid()) + "-7"),
                                           dir.file("run.ind.tmp-notes"),
                                           dir.file("other.ind.tmp" + std::to_string(ended) + "-0")};
    for (const std::string& name : kept)
        test::writeBytes(name, {1, 2});
    test::writeBytes(left, std::vector<uint8_t>(4096, 0));
    openAndWait(dir.file("run.rmd"));
    EXPECT_FALSE(test::exists(left));
    for (const std::string& name : kept)
        EXPECT_TRUE(test::exists(name)) << name;
}

TEST_F(DataSourceTest, AFileIsIndexedOnceAndItsViewsShowItsSamples) {
    RollModeStream s;
    s.StartMeasurement({});
    for (int k = 0; k < 30; ++k) {
        s.Samples(997);
        s.Marker(1);
    }
    s.StopMeasurement();
    s.Samples(123);  // after the last control item
    test::writeWords(dir.file("run.rmd"), s.Words());
    const std::vector<uint16_t> samples = s.SampleWords();

    openAndWait(dir.file("run.rmd"));
    EXPECT_EQ(engine.OpenFileSize, static_cast<int64_t>(2 * s.Words().size()));
    EXPECT_EQ(engine.FileRealSamplesCount, static_cast<int64_t>(samples.size()));
    const auto texts = progress.all();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Creating index file"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Creating Quick view"), texts.end());
    EXPECT_EQ(texts.back(), "Ready");
    EXPECT_TRUE(test::exists(dir.file("run.ind")));
    EXPECT_TRUE(heard.waitFor(enQuickViewReady, 1));
    EXPECT_TRUE(heard.waitFor(enBufferViewReady, 1));
    expectNormalView(samples, 0, 1);
    {
        std::lock_guard lock(source.ViewLock(TViewKind::Quick));
        const TViewPoints& quick = source.View(TViewKind::Quick);
        ASSERT_EQ(quick.Points, 10000);
        EXPECT_EQ(quick.LastB.back(), samples.back() >> 8);
    }

    // The screen across control items, near the end of the data.
    engine.SetScreenPosition(static_cast<int64_t>(samples.size()) - 800);
    request(enScreenMoved);
    expectNormalView(samples, static_cast<int64_t>(samples.size()) - 800, 1);

    // The second open finds the index and builds nothing.
    progress.texts.clear();
    openAndWait(dir.file("run.rmd"));
    const auto again = progress.all();
    EXPECT_EQ(std::find(again.begin(), again.end(), "Creating index file"), again.end());
    expectNormalView(samples, 0, 1);
}

TEST_F(DataSourceTest, ADamagedFileSaysSoWhenReady) {
    RollModeStream s;
    s.SamplesPerSecond(1000);
    s.Samples(2000);
    s.Raw({0, 2});  // a block length that fits nothing
    s.Samples(2000);
    s.Raw({0, 6, 2});  // cut by the end of the file
    test::writeWords(dir.file("bad.rmd"), s.Words());
    openAndWait(dir.file("bad.rmd"));
    EXPECT_EQ(progress.all().back(),
              "Ready (data file damaged: 1 damaged parameter blocks skipped; the file ends inside a parameter block)");
    EXPECT_EQ(engine.FileRealSamplesCount, 4000);  // the lone length word 2 reads as a marker
}

// A file of 3,000,000 samples with a marker every 100,000: sample n has
// channel A code (n / 100 mod 255) + 1, so a view tells where it starts.
class ViewRequestTest : public DataSourceTest {
protected:
    void SetUp() override {
        DataSourceTest::SetUp();
        RollModeStream s;
        s.SamplesPerSecond(1000000);
        for (int64_t n = 0; n < 3'000'000; ++n) {
            if (n % 100000 == 0)
                s.Marker(2);
            s.Sample(static_cast<uint16_t>(0x8000 | ((n / 100) % 255 + 1)));
        }
        samples = s.SampleWords();
        test::writeWords(dir.file("long.rmd"), s.Words());
        openAndWait(dir.file("long.rmd"));
        // The quick view's pass over the file did not move the buffer, which
        // the screen's position counts from.
        EXPECT_TRUE(heard.waitFor(enQuickViewReady, 1));
        EXPECT_EQ(heard.bufferPositionAtQuickView, 0);
    }
    void zoom(uint32_t spp) {
        engine.SetSamplesPerPoint(spp);
        request(enZoomChanged);
    }
    // As the main window does on a resize.
    void resize(uint32_t width) {
        engine.SetActualPointsCount(width);
        engine.MainScreenWidth = width;
        request(enFormResized);
    }
    void expectScreenAt(int64_t first);
    std::vector<uint16_t> samples;
};

TEST_F(ViewRequestTest, TheRequestsOfTheTableBuildTheRightViews) {
    struct Step {
        const char* what;
        std::function<void()> act;
        int64_t screenPosition, bufferPosition, normalStart, spp;
        bool newBufferView;
    };
    const std::vector<Step> steps = {
        {"zoom in the buffer", [&] { zoom(2); }, 0, 0, 0, 2, false},
        {"screen inside the buffer", [&] { engine.SetScreenPosition(1000); request(enScreenMoved); },
         1000, 0, 1000, 2, false},
        {"buffer moved", [&] { engine.SetMainBufferPosition(200000); request(enBufferMoved); },
         1000, 200000, 201000, 2, true},
        // Without a buffer view the main buffer follows the normal view's
        // reads, so its position is not checked (-1).
        {"zoom out of the buffer: the position becomes absolute", [&] { zoom(1000); },
         201000, -1, 201000, 1000, false},
        {"screen moved without a buffer view", [&] { engine.SetScreenPosition(1'500'000); request(enScreenMoved); },
         1'500'000, -1, 1'500'000, 1000, false},
        {"buffer moved without a buffer view", [&] { request(enBufferMoved); },
         1'500'000, -1, 1'500'000, 1000, false},
        {"zoom back in: the buffer starts at the old screen", [&] { zoom(1); },
         0, 1'500'000, 1'500'000, 1, true},
        {"resize", [&] { request(enFormResized); }, 0, 1'500'000, 1'500'000, 1, false},
        {"screen left the buffer", [&] {
             engine.SetScreenPosition(0x80000 - 800);
             engine.SetSamplesPerPoint(2);  // the screen now reaches past the buffer
             request(enScreenMoved);
         },
         0, 1'500'000 + 0x80000 - 800, 1'500'000 + 0x80000 - 800, 2, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const int buffers = heard.of(enBufferViewReady);
        step.act();
        EXPECT_EQ(engine.ScreenPosition(), step.screenPosition);
        if (step.bufferPosition >= 0) {
            EXPECT_EQ(engine.MainBufferPosition(), step.bufferPosition);
        }
        EXPECT_EQ(heard.of(enBufferViewReady) > buffers, step.newBufferView);
        expectNormalView(samples, step.normalStart, step.spp);
        EXPECT_EQ(engine.PreviewValidSamplesCount, 800 * step.spp);
    }
}

TEST_F(ViewRequestTest, ZoomingThroughTheBufferBoundaryKeepsTheScreen) {
    engine.MainScreenWidth = 1024;
    engine.SetActualPointsCount(1024);
    request(enFormResized);
    zoom(512);  // one screen is exactly the main buffer
    ASSERT_EQ(engine.SamplesPerScreen(), 0x80000);
    ASSERT_TRUE(engine.BufferViewValid());
    engine.SetMainBufferPosition(1'030'000);
    request(enBufferMoved);
    ASSERT_EQ(engine.ScreenBeginning(), 1'030'000);
    for (uint32_t spp : {256u, 512u, 1024u, 512u, 1u, 512u}) {
        SCOPED_TRACE(spp);
        zoom(spp);
        EXPECT_EQ(engine.ScreenBeginning(), 1'030'000);
        expectNormalView(samples, 1'030'000, spp);
    }
}

TEST_F(ViewRequestTest, SwitchingZoomOffAndOnKeepsTheScreen) {
    engine.MainScreenWidth = 1024;
    engine.SetActualPointsCount(1024);
    zoom(1024);  // a screen larger than the buffer: absolute positions
    engine.SetScreenPosition(1'030'000);
    request(enScreenMoved);
    ASSERT_EQ(engine.ScreenBeginning(), 1'030'000);

    engine.SetZoomActive(false);
    EXPECT_EQ(engine.SamplesPerPoint(), 1u);
    EXPECT_EQ(engine.SamplesPerScreen(), 1024);
    request(enZoomChanged);
    EXPECT_EQ(engine.ScreenBeginning(), 1'030'000);
    expectNormalView(samples, 1'030'000, 1);

    engine.SetZoomActive(true);
    EXPECT_EQ(engine.SamplesPerScreen(), 1024 * 1024);
    request(enZoomChanged);
    EXPECT_EQ(engine.ScreenBeginning(), 1'030'000);
    expectNormalView(samples, 1'030'000, 1024);
}

// The normal view starts at the engine's first screen sample and covers
// the whole screen, which lies inside the file.
void ViewRequestTest::expectScreenAt(int64_t first) {
    EXPECT_EQ(engine.ScreenBeginning(), first);
    EXPECT_LE(engine.ScreenBeginning() + engine.SamplesPerScreen(), engine.FileRealSamplesCount);
    {
        std::lock_guard lock(source.ViewLock(TViewKind::Normal));
        EXPECT_EQ(source.View(TViewKind::Normal).StartSample, first);
    }
    expectNormalView(samples, first, engine.SamplesPerPoint());
    EXPECT_EQ(engine.PreviewValidSamplesCount, engine.SamplesPerScreen());
}

TEST_F(ViewRequestTest, ZoomingOutInsideTheBufferKeepsTheScreensFirstSample) {
    engine.SetScreenPosition(261'472);
    request(enScreenMoved);
    for (uint32_t spp = 2; spp <= 512; spp *= 2) {
        SCOPED_TRACE(spp);
        zoom(spp);
        ASSERT_TRUE(engine.BufferViewValid());
        expectScreenAt(261'472);
    }
    // The buffer now begins with the screen, so a step forward stops where
    // the buffer ends.
    engine.SetScreenPosition(engine.ScreenPosition() + engine.SamplesPerScreen());
    request(enScreenMoved);
    expectScreenAt(261'472 + 0x80000 - engine.SamplesPerScreen());
}

TEST_F(ViewRequestTest, AResizeAcrossTheBufferSizeKeepsTheScreensFirstSample) {
    zoom(512);
    engine.SetMainBufferPosition(1'030'000);
    request(enBufferMoved);
    for (uint32_t width : {1040u, 800u, 1040u, 640u}) {
        SCOPED_TRACE(width);
        resize(width);
        expectScreenAt(1'030'000);
    }
}

TEST_F(ViewRequestTest, ZoomingOutAtTheEndOfTheFileKeepsTheLastScreenFull) {
    const int64_t total = engine.FileRealSamplesCount;
    engine.SetMainBufferPosition(total);
    request(enBufferMoved);
    engine.SetScreenPosition(0x80000);
    request(enScreenMoved);
    expectScreenAt(total - 800);
    for (uint32_t spp : {2u, 64u, 512u, 2048u}) {
        SCOPED_TRACE(spp);
        zoom(spp);
        expectScreenAt(total - 800 * int64_t{spp});
    }
}

TEST_F(ViewRequestTest, AWideDisplayGetsOnePointPerColumnUpTo8192) {
    for (uint32_t width : {2049u, 8192u, 10000u}) {
        SCOPED_TRACE(width);
        engine.MainScreenWidth = width;
        engine.SetActualPointsCount(width);
        request(enFormResized);
        expectNormalView(samples, 0, 1);
        EXPECT_EQ(engine.PreviewValidSamplesCount, std::min<int64_t>(width, 8192));
    }
}

TEST_F(DataSourceTest, AnotherFileLeavesNoViewOfThePreviousOne) {
    RollModeStream s;
    s.SamplesPerSecond(1000);
    s.Samples(5000);
    test::writeWords(dir.file("a.rmd"), s.Words());
    test::writeWords(dir.file("b.rmd"), s.Words());
    const auto expectNoView = [&] {
        EXPECT_FALSE(engine.NewDataReady);
        EXPECT_EQ(engine.PreviewValidSamplesCount, 0);
        for (TViewKind kind : {TViewKind::Quick, TViewKind::Buffer, TViewKind::Normal}) {
            std::lock_guard lock(source.ViewLock(kind));
            EXPECT_EQ(source.View(kind).Points, 0);
        }
    };
    for (const char* next : {"b.rmd", "missing.rmd"}) {
        SCOPED_TRACE(next);
        openAndWait(dir.file("a.rmd"));
        ASSERT_TRUE(heard.waitFor(enBufferViewReady, 1));
        ASSERT_TRUE(engine.NewDataReady);
        target(dir.file(next));  // chosen, not yet opened with Open
        expectNoView();
    }
}

// The quick view of a second file shows its own samples, not what the main
// buffer held of the first.
TEST_F(DataSourceTest, ASecondFilesQuickViewShowsItsOwnSamples) {
    const auto file = [](int seed) {
        RollModeStream s;
        s.SamplesPerSecond(1000);
        for (int n = 0; n < 20000; ++n)
            s.Sample(static_cast<uint16_t>(0x8000 | ((n * seed) % 251 + 1)));
        return s;
    };
    RollModeStream a = file(3);
    RollModeStream b = file(7);
    test::writeWords(dir.file("a.rmd"), a.Words());
    test::writeWords(dir.file("b.rmd"), b.Words());
    openAndWait(dir.file("a.rmd"));
    ASSERT_TRUE(heard.waitFor(enBufferViewReady, 1));
    const int quickViews = heard.of(enQuickViewReady);
    openAndWait(dir.file("b.rmd"));
    ASSERT_TRUE(heard.waitFor(enQuickViewReady, quickViews + 1));
    const std::vector<uint16_t> samples = b.SampleWords();
    std::lock_guard lock(source.ViewLock(TViewKind::Quick));
    const TViewPoints& quick = source.View(TViewKind::Quick);
    ASSERT_EQ(quick.Points, 10000);
    for (size_t p = 0; p < 10000; ++p) {
        const uint8_t max = static_cast<uint8_t>(std::max(samples[2 * p] & 0xFF, samples[2 * p + 1] & 0xFF));
        ASSERT_EQ(quick.MaxA[p], max) << "point " << p;
    }
}

TEST_F(DataSourceTest, ADataFileNamedLikeItsIndexIsNeverTouched) {
    for (const char* name : {"wind", "x.ind"}) {
        SCOPED_TRACE(name);
        RollModeStream s;
        s.StartMeasurement({});  // 1,000,000 samples per second
        s.Samples(100000);
        s.Marker(1);
        s.Samples(5000);
        s.StopMeasurement();
        const std::string path = dir.file(name);
        test::writeWords(path, s.Words());
        const std::vector<uint8_t> bytes = test::readBytes(path);
        const std::vector<uint16_t> samples = s.SampleWords();
        for (int open = 0; open < 2; ++open) {
            openAndWait(path);
            EXPECT_EQ(engine.IndexFileName(), path);
            EXPECT_EQ(test::readBytes(path), bytes);
            EXPECT_FALSE(test::exists(path + ".tmp"));
            EXPECT_EQ(engine.FileRealSamplesCount, static_cast<int64_t>(samples.size()));
            expectNormalView(samples, 0, 1);
            bool exact = false;
            EXPECT_EQ(source.Index().TimeBetweenSamples(0, 50000, false, exact), " 50ms");
            EXPECT_TRUE(exact);
            EXPECT_EQ(source.Index().TimeBetweenSamples(0, 105000, false, exact), " 105ms");
            EXPECT_FALSE(exact);
        }
    }
}

TEST_F(DataSourceTest, ShutdownDuringABuildStopsItWithoutAnIndex) {
    RollModeStream s;
    s.SamplesPerSecond(1000);
    s.Samples(20'000'000);
    test::writeWords(dir.file("big.rmd"), s.Words());
    progress.slow = true;  // about half a second per build
    target(dir.file("big.rmd"));
    engine.Notify(enPrepareIndex, kGroupOpenPanel);
    ASSERT_TRUE(waitForText(progress, "Creating index file"));
    engine.UnregisterListener(kGroupAll, &heard);
    engine.Shutdown();
    EXPECT_FALSE(test::exists(dir.file("big.ind")));
    engine.Startup();  // for TearDown
    engine.RegisterListener(kGroupAll, &heard);
}

TEST_F(DataSourceTest, ABuildThatEndsAsAnotherFileOpensStartsNoViewsForIt) {
    RollModeStream first;
    first.SamplesPerSecond(1000);
    first.Samples(7000);
    test::writeWords(dir.file("first.rmd"), first.Words());
    RollModeStream second;
    second.SamplesPerSecond(1000);
    second.Samples(5000);
    test::writeWords(dir.file("second.rmd"), second.Words());

    // The build pauses after it saved the index, just before the views.
    target(dir.file("first.rmd"));
    progress.holdAt("Ready");
    progress.texts.clear();
    engine.Notify(enPrepareIndex, kGroupOpenPanel);
    ASSERT_TRUE(waitForText(progress, "Ready"));
    EXPECT_EQ(progress.all().front(), "Creating index file");
    progress.holdAt({});
    target(dir.file("second.rmd"));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(heard.of(enQuickViewReady), 0);
    EXPECT_EQ(heard.of(enNormalViewReady), 0);
    EXPECT_FALSE(engine.NewFileOpened);

    openAndWait(dir.file("second.rmd"));
    EXPECT_EQ(engine.FileRealSamplesCount, 5000);
    expectNormalView(second.SampleWords(), 0, 1);
}

TEST_F(DataSourceTest, OpeningAnotherFileAbandonsTheRunningBuild) {
    RollModeStream big;
    big.Samples(20'000'000);
    test::writeWords(dir.file("big.rmd"), big.Words());
    RollModeStream small;
    small.SamplesPerSecond(1000);
    small.Samples(5000);
    test::writeWords(dir.file("small.rmd"), small.Words());
    progress.slow = true;
    target(dir.file("big.rmd"));
    engine.Notify(enPrepareIndex, kGroupOpenPanel);
    ASSERT_TRUE(waitForText(progress, "Creating index file"));
    // Still slow, so the first build cannot end before the second open reaches it.
    openAndWait(dir.file("small.rmd"));
    EXPECT_FALSE(test::exists(dir.file("big.ind")));
    EXPECT_EQ(engine.FileRealSamplesCount, 5000);
    expectNormalView(small.SampleWords(), 0, 1);
}

TEST(DataSourceLifetime, ADataSourceDestroyedDuringABuildStopsItFirst) {
    ScriptedMessages messages;
    test::TempDir dir;
    RollModeStream s;
    s.Samples(20'000'000);
    test::writeWords(dir.file("big.rmd"), s.Words());
    TPreviewEnginePelkRM engine;
    TMainBufferComponentVornPrv buffer{engine};
    TLargeFileWrapper file;
    TIndexFileWrapperVornRMPrv index{engine};
    Progress progress;
    progress.slow = true;
    auto source = std::make_unique<TDataSourcePelkRMPrv>(engine, buffer, file, index, &progress);
    engine.Startup();
    engine.SetOpenFileName(dir.file("big.rmd"));
    engine.Notify(enOpenDataFile, kGroupOpenPanel);
    engine.Notify(enPrepareIndex, kGroupOpenPanel);
    ASSERT_TRUE(waitForText(progress, "Creating index file"));
    source.reset();  // without the shutdown broadcast
    EXPECT_FALSE(test::exists(dir.file("big.ind")));
    ASSERT_EQ(engine.Listeners().size(), 1u);  // only the main buffer is left
    engine.Shutdown();
}

TEST(MainBuffer, ARequestInsideTheBufferIsServedWithoutReading) {
    RollModeStream s;
    s.SamplesPerSecond(1000);
    s.Samples(600000);
    test::IndexedTestFile t(s);

    int64_t offset = -1;
    bool more = true;
    t.engine.SetMainBufferPosition(1000);
    EXPECT_EQ(t.buffer.FillMainBuffer(t.words.get(), 100, offset, more, 1000, t.index, t.file), 100);
    EXPECT_EQ(offset, 0);
    t.file.CloseFile();  // a further read would find nothing
    EXPECT_EQ(t.buffer.FillMainBuffer(t.words.get(), 500, offset, more, 2000, t.index, t.file), 500);
    EXPECT_EQ(offset, 1000);
    EXPECT_EQ(t.words[static_cast<size_t>(offset)], t.samples[2000]);
    EXPECT_TRUE(more);

    // A refill inside the engine's buffer range starts with the range, so
    // word i = sample MainBufferPosition + i; outside it, with the sample
    // asked for. The engine's positions stay as the user left them.
    ASSERT_EQ(t.file.OpenFile(t.name), kOpenOk);
    for (const int64_t bufferPosition : {int64_t{600000 - 0x80000}, int64_t{0}}) {
        SCOPED_TRACE(bufferPosition);
        t.engine.SetMainBufferPosition(bufferPosition);
        t.buffer.SetBufferInvalid(true);
        const int64_t available =
            t.buffer.FillMainBuffer(t.words.get(), 0x80000, offset, more, 590000, t.index, t.file);
        EXPECT_EQ(t.engine.MainBufferPosition(), bufferPosition);
        const int64_t start = bufferPosition == 0 ? 590000 : bufferPosition;
        EXPECT_EQ(t.buffer.BufferStart(), start);
        EXPECT_EQ(available, 10000);
        EXPECT_FALSE(more);
        EXPECT_EQ(t.words[0], t.samples[static_cast<size_t>(start)]);
        EXPECT_EQ(t.words[static_cast<size_t>(offset)], t.samples[590000]);
    }
}

} // namespace
} // namespace rm::viewer
