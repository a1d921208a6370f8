#pragma once

#include "Decimation.h"

#include <cstdint>
#include <functional>
#include <string>

namespace rm::viewer {

class ProgressGauge;
class TIndexFileWrapperVornRMPrv;
class TLargeFileWrapper;
class TMainBufferComponentVornPrv;

// What the next build of one view covers.
struct TViewDataBuffer {
    int MaxPoints = 0;
    int ValidPoints = 0;
    int64_t StartSample = 0;
    int64_t SampleCount = 0;
    double SamplesPerPoint = 1;
    int Points = 0;
    std::string Caption;
};

// The samples a view covers, read through the main buffer in blocks of up to
// its size and folded into points. `words` is the buffer memory the caller
// holds. With `scratch` the main buffer serves only this pass. False when
// `stop` said so between two blocks.
bool DecimateView(const TViewDataBuffer& view, TViewPoints& points, TMainBufferComponentVornPrv& buffer,
                  uint16_t* words, const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file,
                  ProgressGauge& gauge, const std::function<bool()>& stop, bool scratch = false);

} // namespace rm::viewer
