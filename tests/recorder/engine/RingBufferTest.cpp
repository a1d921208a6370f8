#include "DataSourceModuleVornRM.h"
#include "VirtualScopeVornRM.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>

namespace {

using Ring = TDataSourceModuleVornRM;
using namespace std::chrono_literals;

class RingBufferTest : public ::testing::Test {
protected:
    void SetUp() override { ring->Reset(); }

    // Writes `count` words numbered on from `next`.
    void write(int32_t count) {
        uint16_t* p = ring->GetWritePointer();
        ASSERT_NE(p, nullptr);
        for (int32_t i = 0; i < count; ++i)
            p[i] = static_cast<uint16_t>(next++);
        ring->CommitWrite(count);
    }

    // Reads one span, checks that it continues the numbering and commits it.
    int32_t readSpan() {
        int32_t count = -1;
        const uint16_t* p = ring->GetReadPointer(count, 10ms);
        if (!p)
            return 0;
        EXPECT_GT(count, 0);
        for (int32_t i = 0; i < count; ++i)
            EXPECT_EQ(p[i], static_cast<uint16_t>(expected++)) << "at word " << i;
        ring->CommitRead(count);
        return count;
    }

    // Writes and reads whole chunks until `total` words went through.
    void passThrough(int64_t total) {
        while (total > 0) {
            const int32_t n = static_cast<int32_t>(std::min<int64_t>(total, Ring::kMaxChunkWords));
            write(n);
            while (readSpan() > 0) {
            }
            total -= n;
        }
    }

    std::unique_ptr<Ring> ring = std::make_unique<Ring>();
    uint32_t next = 0;
    uint32_t expected = 0;
};

TEST_F(RingBufferTest, ChunkRunningIntoTheSlackIsOneSpanAndTheWriterContinuesAtZero) {
    passThrough(983000);
    write(32768);  // 983,000 .. 1,015,768
    int32_t count = 0;
    const uint16_t* span = ring->GetReadPointer(count, 10ms);
    ASSERT_NE(span, nullptr);
    EXPECT_EQ(count, 32768);
    const uint16_t* writeAt = ring->GetWritePointer();
    write(100);  // lands at the start of the ring, readable only after the wrap
    EXPECT_EQ(ring->GetReadPointer(count, 10ms), span);
    EXPECT_EQ(count, 32768);
    for (int32_t i = 0; i < count; ++i)
        ASSERT_EQ(span[i], static_cast<uint16_t>(expected++));
    ring->CommitRead(count);

    const uint16_t* wrappedSpan = ring->GetReadPointer(count, 10ms);
    EXPECT_EQ(wrappedSpan, writeAt);
    EXPECT_EQ(count, 100);
    EXPECT_EQ(readSpan(), 100);
    EXPECT_EQ(readSpan(), 0);
}

TEST_F(RingBufferTest, NothingCommittedGivesNoPointerAfterTheWaitAndLeavesCountAlone) {
    int32_t count = 1234;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ring->GetReadPointer(count), nullptr);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 990ms);
    EXPECT_EQ(count, 1234);
}

TEST_F(RingBufferTest, StaleDataSignalAfterResetNeverGivesAnEmptySpan) {
    write(10);
    ring->Reset();  // the data signal stays set
    int32_t count = 77;
    EXPECT_EQ(ring->GetReadPointer(count, 20ms), nullptr);
    EXPECT_EQ(count, 77);
    next = expected = 0;
    write(5);
    EXPECT_EQ(readSpan(), 5);
}

TEST_F(RingBufferTest, PartlyCommittedSpansKeepTheirOrderAcrossTheWrap) {
    passThrough(983000);
    write(32768);
    write(50);  // after the wrap
    int32_t count = 0;
    while (expected < next) {
        const uint16_t* p = ring->GetReadPointer(count, 10ms);
        ASSERT_NE(p, nullptr);
        const int32_t take = std::min(count, 1000);  // a reader that takes less than offered
        for (int32_t i = 0; i < take; ++i)
            ASSERT_EQ(p[i], static_cast<uint16_t>(expected++));
        ring->CommitRead(take);
    }
    EXPECT_EQ(readSpan(), 0);
}

TEST_F(RingBufferTest, WriterWaitsForRoomForAWholeChunkWithoutOverwritingUnreadWords) {
    // Fill the ring until the writer has wrapped and sits just below the unread words.
    for (int i = 0; i < 15; ++i)
        write(Ring::kMaxChunkWords);  // 983,040 words: the writer wraps to 0
    int32_t count = 0;
    ASSERT_NE(ring->GetReadPointer(count, 10ms), nullptr);
    EXPECT_EQ(count, 983040);

    auto writer = std::async(std::launch::async, [this] { return ring->GetWritePointer(); });
    EXPECT_EQ(writer.wait_for(50ms), std::future_status::timeout);  // no room at 0: words 0.. are unread

    // Reading less than a chunk still leaves no room.
    const uint16_t* p = ring->GetReadPointer(count, 10ms);
    for (int32_t i = 0; i < 65535; ++i)
        ASSERT_EQ(p[i], static_cast<uint16_t>(expected++));
    ring->CommitRead(65535);
    EXPECT_EQ(writer.wait_for(50ms), std::future_status::timeout);

    p = ring->GetReadPointer(count, 10ms);
    ASSERT_EQ(p[0], static_cast<uint16_t>(expected++));
    ring->CommitRead(1);
    ASSERT_EQ(writer.wait_for(5s), std::future_status::ready);
    EXPECT_NE(writer.get(), nullptr);
}

TEST_F(RingBufferTest, StopRequestWakesAWaitingWriter) {
    for (int i = 0; i < 15; ++i)
        write(Ring::kMaxChunkWords);
    auto writer = std::async(std::launch::async, [this] { return ring->GetWritePointer(); });
    EXPECT_EQ(writer.wait_for(50ms), std::future_status::timeout);
    ring->RequestStop();
    ASSERT_EQ(writer.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(writer.get(), nullptr);

    ring->Reset();  // the next run writes again
    EXPECT_NE(ring->GetWritePointer(), nullptr);
}

TEST(RingBufferBus, LeavesTheScopeOnShutdownOnly) {
    TVirtualScopeVornRM scope;
    auto ring = std::make_unique<Ring>();
    ring->SetVirtualScope(&scope);
    EXPECT_TRUE(scope.Listeners().IsRegistered(ring.get()));
    scope.Startup();
    EXPECT_EQ(ring->VirtualScope(), &scope);
    scope.Shutdown();
    EXPECT_EQ(scope.Listeners().ListenerCount(), 0);
    EXPECT_EQ(ring->VirtualScope(), nullptr);
}

} // namespace
