#include "Decimation.h"

#include "Rounding.h"

#include <algorithm>

namespace rm::viewer {

TViewPoints::TViewPoints(int capacity)
    : MaxA(static_cast<size_t>(capacity)), MinA(MaxA), AvgA(MaxA), LastA(MaxA), MaxB(MaxA), MinB(MaxA),
      AvgB(MaxA), LastB(MaxA) {}

TDecimator::TDecimator(int64_t startSample, double samplesPerPoint, int maxPoints, TViewPoints& out)
    : out_(out), samplesPerPoint_(samplesPerPoint), maxPoints_(maxPoints), sample_(startSample),
      boundary_(static_cast<double>(startSample) + samplesPerPoint) {
    pointEnd_ = std::max(roundHalfEven(boundary_), sample_ + 1);
    ResetAccumulators();
}

void TDecimator::ResetAccumulators() {
    count_ = 0;
    sumA_ = sumB_ = 0;
    maxA_ = maxB_ = 0;
    minA_ = minB_ = 255;
    gap_ = false;
}

namespace {

struct Fold {
    uint32_t sumA = 0, sumB = 0;
    uint8_t maxA, minA, maxB, minB;
    bool zero = false;
};

// One pass over at most 2^24 words (the sums cannot overflow); a plain loop
// the compiler vectorises.
void foldWords(const uint16_t* words, int64_t count, Fold& f) {
    uint8_t maxA = f.maxA, minA = f.minA, maxB = f.maxB, minB = f.minB;
    uint32_t sumA = 0, sumB = 0;
    uint16_t zero = 0;
    for (int64_t k = 0; k < count; ++k) {
        const uint16_t w = words[k];
        const uint8_t a = static_cast<uint8_t>(w & 0xFF);
        const uint8_t b = static_cast<uint8_t>(w >> 8);
        maxA = std::max(maxA, a);
        minA = std::min(minA, a);
        maxB = std::max(maxB, b);
        minB = std::min(minB, b);
        sumA += a;
        sumB += b;
        zero |= static_cast<uint16_t>(w == 0);
    }
    f.maxA = maxA;
    f.minA = minA;
    f.maxB = maxB;
    f.minB = minB;
    f.sumA = sumA;
    f.sumB = sumB;
    f.zero = zero != 0;
}

} // namespace

bool TDecimator::Add(const uint16_t* words, int64_t count) {
    constexpr int64_t kFoldWords = int64_t{1} << 24;
    while (count > 0) {
        if (point_ >= maxPoints_)
            return false;
        const int64_t take = std::min({count, pointEnd_ - sample_, kFoldWords});
        Fold f{0, 0, maxA_, minA_, maxB_, minB_, false};
        foldWords(words, take, f);
        maxA_ = f.maxA;
        minA_ = f.minA;
        maxB_ = f.maxB;
        minB_ = f.minB;
        sumA_ += f.sumA;
        sumB_ += f.sumB;
        gap_ = gap_ || f.zero;
        last_ = words[take - 1];
        count_ += take;
        sample_ += take;
        words += take;
        count -= take;
        if (sample_ == pointEnd_) {
            closePoint();
            boundary_ += samplesPerPoint_;
            pointEnd_ = std::max(roundHalfEven(boundary_), sample_ + 1);
        }
    }
    return point_ < maxPoints_;
}

void TDecimator::closePoint() {
    const auto p = static_cast<size_t>(point_);
    if (gap_) {
        out_.MaxA[p] = out_.MinA[p] = out_.AvgA[p] = out_.LastA[p] = 0;
        out_.MaxB[p] = out_.MinB[p] = out_.AvgB[p] = out_.LastB[p] = 0;
    } else {
        const double n = static_cast<double>(count_);
        out_.MaxA[p] = maxA_;
        out_.MinA[p] = minA_;
        out_.AvgA[p] = static_cast<uint8_t>(roundHalfEven(static_cast<double>(sumA_) / n));
        out_.LastA[p] = static_cast<uint8_t>(last_ & 0xFF);
        out_.MaxB[p] = maxB_;
        out_.MinB[p] = minB_;
        out_.AvgB[p] = static_cast<uint8_t>(roundHalfEven(static_cast<double>(sumB_) / n));
        out_.LastB[p] = static_cast<uint8_t>(last_ >> 8);
    }
    ++point_;
    ResetAccumulators();
}

int TDecimator::Finish() {
    if (count_ > 0 && point_ < maxPoints_)
        closePoint();
    out_.Points = point_;
    return point_;
}

} // namespace rm::viewer
