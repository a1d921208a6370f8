#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace rm::viewer {

// The points of one view: per channel the maximum, minimum, rounded mean and
// last sample code of each group of samples. A point whose samples include a
// 0x0000 word is 0 in all eight arrays.
struct TViewPoints {
    explicit TViewPoints(int capacity = 0);

    std::vector<uint8_t> MaxA, MinA, AvgA, LastA, MaxB, MinB, AvgB, LastB;
    int Points = 0;
    int64_t StartSample = 0;  // the sample the first point begins with
};

// Where point `point` of a decimation begins (its first sample) and the
// boundary it closes at, exactly as a decimator running from the start
// reaches them.
struct TDecimatorPosition {
    int64_t sample;
    double boundary;
    int point;
};

// Folds consecutive sample words into points of `samplesPerPoint` samples
// each (a real number: a point ends where the running boundary, rounded half
// to even, is reached). Stops once `maxPoints` points are written.
class TDecimator {
public:
    TDecimator(int64_t startSample, double samplesPerPoint, int maxPoints, TViewPoints& out);
    // Takes the row over at `from`: writes points from `from.point` on, up
    // to (not including) `maxPoints`.
    TDecimator(const TDecimatorPosition& from, double samplesPerPoint, int maxPoints, TViewPoints& out);

    static TDecimatorPosition PositionOfPoint(int64_t startSample, double samplesPerPoint, int point);

    // Folds the next `count` words; false once the view is full.
    bool Add(const uint16_t* words, int64_t count);
    // Writes the last point when it holds samples; returns the point count.
    int Finish();

private:
    void ResetAccumulators();
    void closePoint();

    TViewPoints& out_;
    const double samplesPerPoint_;
    const int maxPoints_;
    int64_t sample_;
    double boundary_;
    int64_t pointEnd_;
    int point_ = 0;

    // Accumulators of the open point.
    int64_t count_ = 0;
    uint64_t sumA_ = 0, sumB_ = 0;
    uint8_t maxA_ = 0, minA_ = 255, maxB_ = 0, minB_ = 255;
    uint16_t last_ = 0;
    bool gap_ = false;
};

} // namespace rm::viewer
