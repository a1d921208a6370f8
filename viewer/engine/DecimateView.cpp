#include "DecimateView.h"

#include "MainBuffer.h"
#include "ProgressDisplay.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

namespace rm::viewer {

namespace {

// A pass that covers at least this many buffers is cut in two.
constexpr int64_t kBuffersToSplit = 4;

// Folds the samples from `from` up to `end` into the points from `from.point`
// on, reading them run by run into `block` (`capacity` words), and counts
// the samples folded in `folded`. Returns the point count, or -1 when `stop`
// said so.
int foldRest(const TDecimatorPosition& from, int64_t end, const TViewDataBuffer& view, TViewPoints& points,
             uint16_t* block, int64_t capacity, const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file,
             const std::function<bool()>& stop, std::atomic<int64_t>& folded) {
    TDecimator decimator(from, view.SamplesPerPoint, view.MaxPoints, points);
    for (int64_t s = from.sample; s < end;) {
        if (stop())
            return -1;
        const int64_t wanted = std::min(capacity, end - s);
        const int64_t read = ReadConsecutiveSamples(block, s, wanted, index, file);
        if (read <= 0)
            break;
        const bool room = decimator.Add(block, read);
        folded += read;
        if (!room || read < wanted)
            break;
        s += read;
    }
    return decimator.Finish();
}

} // namespace

bool DecimateView(const TViewDataBuffer& view, TViewPoints& points, TMainBufferComponentVornPrv& buffer,
                  uint16_t* words, const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file,
                  ProgressGauge& gauge, const std::function<bool()>& stop, bool scratch) {
    gauge.Start();
    const int64_t start = view.StartSample;
    const int64_t end = start + view.SampleCount;
    const int64_t capacity = buffer.BufferSize();

    // A long pass is cut in two at a point boundary: a second thread folds
    // the second half from a block of its own while this one goes through
    // the main buffer, so two processors read and fold at once.
    const auto expectedPoints = static_cast<int>(
        std::min<double>(view.MaxPoints, std::ceil(static_cast<double>(view.SampleCount) / view.SamplesPerPoint)));
    TDecimatorPosition cut{end, 0, view.MaxPoints};
    std::unique_ptr<uint16_t[]> block;
    std::thread second;
    int secondPoints = -1;
    std::atomic<int64_t> secondFolded{0};
    std::atomic<bool> secondEnded{false};
    if (view.SampleCount >= kBuffersToSplit * capacity && expectedPoints >= 2 &&
        (block = std::unique_ptr<uint16_t[]>(new (std::nothrow) uint16_t[static_cast<size_t>(capacity)]))) {
        const TDecimatorPosition half = TDecimator::PositionOfPoint(start, view.SamplesPerPoint, expectedPoints / 2);
        try {
            second = std::thread([&, half] {
                secondPoints =
                    foldRest(half, end, view, points, block.get(), capacity, index, file, stop, secondFolded);
                secondEnded = true;
            });
            cut = half;
        } catch (const std::system_error&) {
            // No second thread: this one does the whole pass.
        }
    }

    TDecimator decimator(start, view.SamplesPerPoint, cut.point, points);
    int64_t s = start;
    bool moreData = true;
    bool stopped = false;
    while (s < cut.sample && moreData) {
        if (stop()) {
            stopped = true;
            break;
        }
        const int64_t wanted = std::min(capacity, cut.sample - s);
        int64_t offset = 0;
        const int64_t available = buffer.FillMainBuffer(words, wanted, offset, moreData, s, index, file, scratch);
        if (available <= 0)
            break;
        const bool room = decimator.Add(words + offset, available);
        s += available;
        gauge.Update(s - start + secondFolded, view.SampleCount);  // both halves count
        if (!room)
            break;
    }
    const bool split = second.joinable();
    if (split) {
        // The gauge goes on with the second half until it ends.
        while (!secondEnded) {
            gauge.Update(s - start + secondFolded, view.SampleCount);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        second.join();  // before the point count is written
    }
    int made = decimator.Finish();
    if (split && secondPoints < 0)
        stopped = true;
    else if (made == cut.point && secondPoints > made)
        made = secondPoints;
    points.Points = made;
    gauge.Finish();
    return !stopped;
}

} // namespace rm::viewer
