#pragma once

#include <cstdint>
#include <string>

namespace rm {

// How a sample recording is made.
struct RecordingOptions {
    uint32_t firstRate = 100000;  // samples per second at the start
    uint32_t secondRate = 50000;  // after the rate change, also for the second measurement
    uint32_t seed = 1;            // of the noise; the same seed gives the same file
};

// What a written recording holds, counted in sample numbers (sample words
// from the start of the file; markers and parameter blocks take none).
struct RecordingSummary {
    bool written = false;            // false: the file could not be written
    int64_t bytes = 0;
    int64_t samples = 0;
    int64_t overrunSample = 0;       // samples before the overrun mark
    int64_t rateChangeSample = 0;    // first sample at the second rate
    int64_t secondMeasurement = 0;   // first sample of the second measurement (after the probe change)
    int64_t notArmedSample = 0;      // samples before the not-armed stretch
    int64_t notArmedWords = 0;       // suppressed samples (0x0002 markers) in it
    uint32_t deflectionA = 1000;     // mV per division, first measurement (1:1 probe)
    uint32_t deflectionA10 = 10000;  // second measurement (1:10 probe)
    uint32_t deflectionB = 2000;
    uint16_t zeroA = 128;
    uint16_t zeroB = 100;
};

// Writes a recording as the recorder would make it, of about
// `approxSamples` samples (at least 100): both channels a waveform plus
// noise (channel A a 50 Hz sine around its zero position, channel B a 20 Hz
// triangle around its own); a first measurement with an overrun mark at 15 %
// and a change of sampling rate at 30 % of the samples; a probe change of
// channel A (1:10) between the measurements; a second measurement with a
// not-armed stretch (one marker per suppressed sample, 1 % of the samples) at
// 70 %. Each measurement starts with its settings header and ends with its
// stop block. The file at `path` is created or replaced.
RecordingSummary writeSampleRecording(const std::string& path, int64_t approxSamples,
                                      const RecordingOptions& options = {});

} // namespace rm
