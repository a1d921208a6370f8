#include "DecimateView.h"

#include "MainBuffer.h"
#include "ProgressDisplay.h"

#include <algorithm>

namespace rm::viewer {

bool DecimateView(const TViewDataBuffer& view, TViewPoints& points, TMainBufferComponentVornPrv& buffer,
                  uint16_t* words, const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file,
                  ProgressGauge& gauge, const std::function<bool()>& stop, bool scratch) {
    gauge.Start();
    TDecimator decimator(view.StartSample, view.SamplesPerPoint, view.MaxPoints, points);
    const int64_t start = view.StartSample;
    const int64_t end = start + view.SampleCount;
    int64_t s = start;
    bool moreData = true;
    while (s < end && moreData) {
        if (stop())
            return false;
        const int64_t wanted = std::min<int64_t>(buffer.BufferSize(), end - s);
        int64_t offset = 0;
        const int64_t available = buffer.FillMainBuffer(words, wanted, offset, moreData, s, index, file, scratch);
        if (available <= 0)
            break;
        const bool room = decimator.Add(words + offset, available);
        s += available;
        gauge.Update(s - start, view.SampleCount);
        if (!room)
            break;
    }
    decimator.Finish();
    gauge.Finish();
    return true;
}

} // namespace rm::viewer
