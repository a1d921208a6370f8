#include "PreviewEngine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <thread>
#include <vector>

namespace rm::viewer {
namespace {

using namespace std::chrono_literals;

// Records what it heard; on enShutdown it unregisters, as every component does.
struct Listener : IEngineListener {
    Listener(TPreviewEnginePelkRM& e, int g, std::vector<int>* order = nullptr) : engine(e), group(g), calls(order) {}
    void EngineNotify(int code, int sender) override {
        codes.push_back(code);
        senders.push_back(sender);
        threads.push_back(std::this_thread::get_id());
        if (calls)
            calls->push_back(group);
        if (onCode)
            onCode(code);
        if (code == enShutdown && unregisterOnShutdown)
            engine.UnregisterListener(group, this);
    }
    TPreviewEnginePelkRM& engine;
    int group;
    std::vector<int>* calls;
    std::vector<int> codes, senders;
    std::vector<std::thread::id> threads;
    std::function<void(int)> onCode;
    bool unregisterOnShutdown = true;
};

TEST(EngineBus, StartupLoadsSettingsThenInitialisesAndShutdownRunsBackwards) {
    TPreviewEnginePelkRM engine;
    std::vector<int> order;
    std::deque<Listener> listeners;
    for (int g = 1; g <= 5; ++g) {
        listeners.emplace_back(engine, g, &order);
        engine.RegisterListener(g, &listeners.back());
    }
    engine.Notify(enRedraw, 7);  // before Startup: nothing is delivered
    EXPECT_TRUE(order.empty());
    engine.Startup();
    EXPECT_EQ(listeners[0].codes, (std::vector<int>{enLoadSettings, enInitialize}));
    EXPECT_EQ(listeners[0].senders, (std::vector<int>{kGroupAll, kGroupAll}));
    order.clear();
    engine.Shutdown();
    EXPECT_EQ(order, (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_TRUE(engine.Listeners().empty());
    engine.Notify(enRedraw, 7);  // after Shutdown: nothing
    EXPECT_EQ(listeners[0].codes.back(), enShutdown);
}

TEST(EngineBus, UnregisterRemovesTheFirstMatchOnlyAndNestedBroadcastsArriveAtOnce) {
    TPreviewEnginePelkRM engine;
    Listener a(engine, 1), b(engine, 2);
    engine.RegisterListener(1, &a);
    engine.RegisterListener(2, &b);
    engine.RegisterListener(1, &a);
    engine.UnregisterListener(3, &a);  // not registered with this group: no change
    EXPECT_EQ(engine.Listeners().size(), 3u);
    engine.UnregisterListener(1, &a);
    ASSERT_EQ(engine.Listeners().size(), 2u);
    EXPECT_EQ(engine.Listeners()[0].Handler, &b);

    engine.Startup();
    a.codes.clear();
    b.codes.clear();
    b.onCode = [&](int code) {
        if (code == enRedraw)
            engine.Notify(enChannelsChanged, 2);
    };
    engine.Notify(enRedraw, 7);
    EXPECT_EQ(b.codes, (std::vector<int>{enRedraw, enChannelsChanged}));
    EXPECT_EQ(a.codes, (std::vector<int>{enChannelsChanged, enRedraw}));
    engine.Shutdown();
}

TEST(EngineBus, AListenerThatStaysOnShutdownIsCalledOnce) {
    TPreviewEnginePelkRM engine;
    Listener stubborn(engine, 1);
    stubborn.unregisterOnShutdown = false;
    engine.RegisterListener(1, &stubborn);
    engine.Startup();
    engine.Shutdown();
    EXPECT_EQ(std::count(stubborn.codes.begin(), stubborn.codes.end(), enShutdown), 1);
    EXPECT_TRUE(engine.Listeners().empty());
}

TEST(EngineBus, WorkerBroadcastsReachWidgetListenersOnTheUiThread) {
    TPreviewEnginePelkRM engine;
    std::deque<std::function<void()>> posted;
    std::mutex postedLock;
    engine.SetUiPoster([&](std::function<void()> call) {
        std::lock_guard lock(postedLock);
        posted.push_back(std::move(call));
    });
    Listener widget(engine, 1), plain(engine, 9);
    engine.RegisterListener(1, &widget, TListenerThread::UserInterface);
    engine.RegisterListener(9, &plain);
    engine.Startup();
    std::thread::id workerId;
    std::thread worker([&] {
        workerId = std::this_thread::get_id();
        engine.Notify(enNormalViewReady, 9);
    });
    worker.join();
    EXPECT_EQ(plain.codes.back(), enNormalViewReady);
    EXPECT_EQ(plain.threads.back(), workerId);
    EXPECT_NE(widget.codes.back(), enNormalViewReady);  // not yet: queued
    ASSERT_EQ(posted.size(), 1u);
    posted.front()();
    EXPECT_EQ(widget.codes.back(), enNormalViewReady);
    EXPECT_EQ(widget.threads.back(), std::this_thread::get_id());

    // A call still queued when its listener has gone is dropped.
    std::thread([&] { engine.Notify(enNormalViewReady, 9); }).join();
    engine.UnregisterListener(1, &widget);
    const size_t heard = widget.codes.size();
    posted.back()();
    EXPECT_EQ(widget.codes.size(), heard);
    engine.Shutdown();
}

TEST(EngineBus, ShutdownThatWaitsForAWorkerDoesNotDeadlock) {
    TPreviewEnginePelkRM engine;
    Listener dataSource(engine, 9);
    std::thread worker;
    std::atomic<bool> workerDone{false};
    dataSource.onCode = [&](int code) {
        if (code != enShutdown)
            return;
        // Like the data source: the bus is held while the worker is waited for.
        worker = std::thread([&] {
            engine.Notify(enNormalViewReady, 9);
            workerDone = true;
        });
        worker.join();
    };
    engine.RegisterListener(9, &dataSource);
    engine.Startup();
    engine.Shutdown();
    EXPECT_TRUE(workerDone);
}

TEST(EngineProperties, FileNameGivesTheIndexName) {
    TPreviewEnginePelkRM engine;
    engine.SetOpenFileName("sdata.rmd");
    EXPECT_EQ(engine.IndexFileName(), "sdata.ind");
    engine.SetOpenFileName("abc");
    EXPECT_EQ(engine.IndexFileName(), "ind");
    engine.SetOpenFileName("");
    EXPECT_EQ(engine.IndexFileName(), "ind");
}

TEST(EngineProperties, SamplesPerPointIsBoundedAndFollowsZoom) {
    TPreviewEnginePelkRM engine;
    engine.SetSamplesPerPoint(0);
    EXPECT_EQ(engine.SamplesPerPoint(), 1u);
    engine.SetSamplesPerPoint(200000);
    EXPECT_EQ(engine.SamplesPerPoint(), 131072u);
    engine.SetZoomActive(false);
    EXPECT_EQ(engine.SamplesPerPoint(), 1u);
    engine.SetZoomActive(true);
    engine.SetActualPointsCount(1000);
    engine.SetSamplesPerPoint(100);
    EXPECT_EQ(engine.SamplesPerScreen(), 100000);
    engine.MainBufferRealSamples = 0x80000;
    EXPECT_TRUE(engine.BufferViewValid());
    engine.SetSamplesPerPoint(1000);  // a screen of 1,000,000 samples
    EXPECT_TRUE(engine.OldBufferViewValid());
    EXPECT_FALSE(engine.BufferViewValid());
    engine.SetSamplesPerPoint(10);
    EXPECT_FALSE(engine.OldBufferViewValid());
}

TEST(EngineProperties, PositionsAreClampedToTheBufferAndTheFile) {
    TPreviewEnginePelkRM engine;
    engine.MainBufferRealSamples = 0x80000;
    engine.SetActualPointsCount(1000);
    engine.SetSamplesPerPoint(100);
    engine.FileRealSamplesCount = 10'000'000'000;  // positions beyond 32 bits
    engine.SetScreenPosition(0x80000);
    EXPECT_EQ(engine.ScreenPosition(), 0x80000 - 100000);
    engine.SetMainBufferPosition(6'000'000'000);
    EXPECT_EQ(engine.MainBufferPosition(), 6'000'000'000);
    EXPECT_EQ(engine.ScreenBeginning(), 6'000'000'000 + 0x80000 - 100000);
    engine.SetMainBufferPosition(-5);
    EXPECT_EQ(engine.MainBufferPosition(), 0);

    engine.FileRealSamplesCount = 50000;
    engine.SetScreenPosition(0x80000);
    EXPECT_EQ(engine.ScreenPosition(), 0);
    EXPECT_EQ(engine.SetMainBufferPosition(1000), 0);  // a file shorter than the buffer
    EXPECT_EQ(engine.MainBufferPosition(), 0);

    // Without a valid buffer view the position is absolute.
    engine.FileRealSamplesCount = 10'000'000'000;
    engine.SetSamplesPerPoint(100000);
    engine.SetScreenPosition(5'000'000'000);
    EXPECT_EQ(engine.ScreenBeginning(), 5'000'000'000);
    engine.SetScreenPosition(9'999'999'000);
    EXPECT_EQ(engine.ScreenPosition(), 10'000'000'000 - 100'000'000);
}

TEST(EngineProperties, TheBufferBoundaryCountsTheSameBeforeAndAfterAZoom) {
    TPreviewEnginePelkRM engine;
    engine.MainBufferRealSamples = 0x80000;
    engine.SetActualPointsCount(1024);
    engine.SetSamplesPerPoint(512);  // a screen of exactly the buffer
    EXPECT_TRUE(engine.BufferViewValid());
    engine.SetSamplesPerPoint(256);
    EXPECT_TRUE(engine.OldBufferViewValid());
    engine.SetSamplesPerPoint(512);
    engine.SetSamplesPerPoint(1024);
    EXPECT_TRUE(engine.OldBufferViewValid());
    EXPECT_FALSE(engine.BufferViewValid());
    engine.SetSamplesPerPoint(512);
    EXPECT_FALSE(engine.OldBufferViewValid());
    EXPECT_TRUE(engine.BufferViewValid());
}

TEST(EngineProperties, TheZoomSwitchKeepsTheScreenSizeAndTheOldValidity) {
    TPreviewEnginePelkRM engine;
    engine.MainBufferRealSamples = 0x80000;
    engine.SetActualPointsCount(1000);
    engine.SetSamplesPerPoint(1000);  // a screen of 1,000,000 samples
    engine.SetZoomActive(false);
    EXPECT_FALSE(engine.ZoomActive());
    EXPECT_EQ(engine.SamplesPerScreen(), 1000);
    EXPECT_FALSE(engine.OldBufferViewValid());
    EXPECT_TRUE(engine.BufferViewValid());
    engine.SetActualPointsCount(800);  // a resize while zoom is off
    EXPECT_EQ(engine.SamplesPerScreen(), 800);
    engine.SetZoomActive(true);
    EXPECT_EQ(engine.SamplesPerPoint(), 1000u);  // the stored value comes back
    EXPECT_EQ(engine.SamplesPerScreen(), 800000);
    EXPECT_TRUE(engine.OldBufferViewValid());
    EXPECT_FALSE(engine.BufferViewValid());
}

TEST(EngineProperties, TheScreenPositionNeverGoesBelowZero) {
    TPreviewEnginePelkRM engine;
    engine.MainBufferRealSamples = 0x80000;
    engine.FileRealSamplesCount = 10'000'000;
    engine.SetActualPointsCount(1000);
    engine.SetSamplesPerPoint(1000);  // no valid buffer view: absolute positions
    engine.SetScreenPosition(-5000);
    EXPECT_EQ(engine.ScreenPosition(), 0);
    EXPECT_EQ(engine.ScreenBeginning(), 0);
    engine.SetSamplesPerPoint(1);
    engine.SetScreenPosition(-1);
    EXPECT_EQ(engine.ScreenPosition(), 0);
    // A file shorter than one screen.
    engine.FileRealSamplesCount = 500;
    engine.SetSamplesPerPoint(1000);
    engine.SetScreenPosition(-7);
    EXPECT_EQ(engine.ScreenPosition(), 0);
    engine.SetScreenPosition(300);
    EXPECT_EQ(engine.ScreenPosition(), 0);
    engine.SetMainBufferPosition(0);  // applies the file clamp to the screen
    EXPECT_EQ(engine.ScreenPosition(), 0);
}

TEST(EngineDurationText, RoundsToWholeNanosecondsAndCountsPartsOfOne) {
    EXPECT_EQ(TPreviewEnginePelkRM::SubMillisecondsToText(0.001), " 1us");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(0.001), "  1us");
    EXPECT_EQ(TPreviewEnginePelkRM::SubMillisecondsToText(0.000001), " 1ns");
    EXPECT_EQ(TPreviewEnginePelkRM::SubMillisecondsToText(1.001), "1ms 1us");
    EXPECT_EQ(TPreviewEnginePelkRM::SubMillisecondsToText(1.0), "1ms");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(12.0 / 10000 * 1000), " 1ms 200us");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(1000.0005), " 1s  500ns");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(999.9999999), " 1s");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(60000), " 1m");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(3600000), "1h");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(-0.0000001), "0s");
    // Durations of recordings far beyond 32-bit sample counts.
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(10'000'000'000.0 / 50 * 1000), "55555h 33m 20s");
}

TEST(EngineDurationText, WritesHoursDownToNanoseconds) {
    const double t = 3600000 + 2 * 60000 + 3000 + 4.5;
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(t), "1h 2m 3s 4ms 500us");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(-t), "-1h 2m 3s 4ms 500us");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(0), "0s");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(5000), " 5s");
    EXPECT_EQ(TPreviewEnginePelkRM::SubMillisecondsToText(0.25), " 250us");
    EXPECT_EQ(TPreviewEnginePelkRM::SubMillisecondsToText(0.0004), " 400ns");
    EXPECT_EQ(TPreviewEnginePelkRM::SubMillisecondsToText(0.0000004), "0s");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(std::nan("")), "?");
    EXPECT_EQ(TPreviewEnginePelkRM::MillisecondsToText(std::numeric_limits<double>::infinity()), "?");
}

} // namespace
} // namespace rm::viewer
