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
    uint64_t sumA = 0, sumB = 0;
    uint8_t maxA, minA, maxB, minB;
    bool zero = false;
};

// One pass over the words of a point. The codes are folded in 16 lanes of
// 16 bits (sums flushed every 256 rows, before they can overflow), a plain
// loop the compiler turns into vector instructions.
void foldWords(const uint16_t* words, int64_t count, Fold& f) {
    constexpr int kLanes = 16;
    int16_t maxA[kLanes], minA[kLanes], maxB[kLanes], minB[kLanes];
    uint32_t sumA[kLanes], sumB[kLanes];
    for (int j = 0; j < kLanes; ++j) {
        maxA[j] = f.maxA;
        minA[j] = f.minA;
        maxB[j] = f.maxB;
        minB[j] = f.minB;
        sumA[j] = sumB[j] = 0;
    }
    const int64_t rows = count / kLanes;
    for (int64_t r = 0; r < rows;) {
        const int64_t end = std::min<int64_t>(rows, r + 256);
        uint16_t partA[kLanes] = {}, partB[kLanes] = {};
        for (; r < end; ++r) {
            const uint16_t* row = words + r * kLanes;
            for (int j = 0; j < kLanes; ++j) {
                const auto a = static_cast<int16_t>(row[j] & 0xFF);
                const auto b = static_cast<int16_t>(row[j] >> 8);
                maxA[j] = std::max(maxA[j], a);
                minA[j] = std::min(minA[j], a);
                maxB[j] = std::max(maxB[j], b);
                minB[j] = std::min(minB[j], b);
                partA[j] = static_cast<uint16_t>(partA[j] + a);
                partB[j] = static_cast<uint16_t>(partB[j] + b);
            }
        }
        for (int j = 0; j < kLanes; ++j) {
            sumA[j] += partA[j];
            sumB[j] += partB[j];
        }
    }
    int16_t mxA = f.maxA, mnA = f.minA, mxB = f.maxB, mnB = f.minB;
    for (int j = 0; j < kLanes; ++j) {
        mxA = std::max(mxA, maxA[j]);
        mnA = std::min(mnA, minA[j]);
        mxB = std::max(mxB, maxB[j]);
        mnB = std::min(mnB, minB[j]);
        f.sumA += sumA[j];
        f.sumB += sumB[j];
    }
    for (int64_t k = rows * kLanes; k < count; ++k) {
        const auto a = static_cast<int16_t>(words[k] & 0xFF);
        const auto b = static_cast<int16_t>(words[k] >> 8);
        mxA = std::max(mxA, a);
        mnA = std::min(mnA, a);
        mxB = std::max(mxB, b);
        mnB = std::min(mnB, b);
        f.sumA += static_cast<uint64_t>(a);
        f.sumB += static_cast<uint64_t>(b);
    }
    f.maxA = static_cast<uint8_t>(mxA);
    f.minA = static_cast<uint8_t>(mnA);
    f.maxB = static_cast<uint8_t>(mxB);
    f.minB = static_cast<uint8_t>(mnB);
    // Only a word with a zero high byte can be a 0x0000 word.
    if (mnB == 0)
        f.zero = f.zero || std::find(words, words + count, uint16_t{0}) != words + count;
}

} // namespace

bool TDecimator::Add(const uint16_t* words, int64_t count) {
    while (count > 0) {
        if (point_ >= maxPoints_)
            return false;
        const int64_t take = std::min(count, pointEnd_ - sample_);
        Fold f{sumA_, sumB_, maxA_, minA_, maxB_, minB_, gap_};
        foldWords(words, take, f);
        maxA_ = f.maxA;
        minA_ = f.minA;
        maxB_ = f.maxB;
        minB_ = f.minB;
        sumA_ = f.sumA;
        sumB_ = f.sumB;
        gap_ = f.zero;
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
