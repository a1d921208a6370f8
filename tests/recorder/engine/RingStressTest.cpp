#include "DataSourceModuleVornRM.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <thread>

// The ThreadSanitizer build runs this file too, under its own suite name.
#ifdef RM_TSAN_BUILD
#define RING_STRESS RingStressTsan
#else
#define RING_STRESS RingStress
#endif

namespace {

using Ring = TDataSourceModuleVornRM;

// One writer and one reader, chunks of random size, every word numbered: the
// reader must see every number once and in order over many wraps.
TEST(RING_STRESS, TwoThreadsRandomChunksNoWordLostOverwrittenOrReordered) {
    constexpr int64_t kWraps = 24;
    constexpr int64_t kTotal = kWraps * Ring::kRingWrapIndex;
    auto ring = std::make_unique<Ring>();
    ring->Reset();

    std::thread writer([&] {
        std::minstd_rand random(12345);
        std::uniform_int_distribution<int32_t> size(1, Ring::kMaxChunkWords);
        uint32_t counter = 0;
        int64_t left = kTotal;
        while (left > 0) {
            const int32_t n = static_cast<int32_t>(std::min<int64_t>(left, size(random)));
            uint16_t* p = ring->GetWritePointer();
            ASSERT_NE(p, nullptr);
            for (int32_t i = 0; i < n; ++i)
                p[i] = static_cast<uint16_t>(counter++);
            ring->CommitWrite(n);
            left -= n;
        }
    });

    uint32_t expected = 0;
    int64_t received = 0;
    int64_t mismatches = 0;
    std::minstd_rand random(777);
    while (received < kTotal) {
        int32_t count = 0;
        const uint16_t* p = ring->GetReadPointer(count);
        ASSERT_NE(p, nullptr) << "the writer stalled after " << received << " words";
        // Sometimes take only part of the span, as a slow reader might.
        const int32_t take = (random() % 4 == 0) ? 1 + static_cast<int32_t>(random() % count) : count;
        for (int32_t i = 0; i < take; ++i)
            mismatches += p[i] != static_cast<uint16_t>(expected++);
        ring->CommitRead(take);
        received += take;
        ASSERT_EQ(mismatches, 0) << "after " << received << " words";
    }
    writer.join();
    EXPECT_EQ(received, kTotal);
    int32_t count = 0;
    EXPECT_EQ(ring->GetReadPointer(count, std::chrono::milliseconds(10)), nullptr);
}

} // namespace
