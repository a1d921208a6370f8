#include "Decimation.h"

#include "Rounding.h"
#include "VectorClones.h"

#include <algorithm>
#include <cstring>

namespace rm::viewer {

TViewPoints::TViewPoints(int capacity)
    : MaxA(static_cast<size_t>(capacity)), MinA(MaxA), AvgA(MaxA), LastA(MaxA), MaxB(MaxA), MinB(MaxA),
      AvgB(MaxA), LastB(MaxA) {}

TDecimator::TDecimator(int64_t startSample, double samplesPerPoint, int maxPoints, TViewPoints& out)
    : TDecimator(PositionOfPoint(startSample, samplesPerPoint, 0), samplesPerPoint, maxPoints, out) {}

TDecimator::TDecimator(const TDecimatorPosition& from, double samplesPerPoint, int maxPoints, TViewPoints& out)
    : out_(out), samplesPerPoint_(samplesPerPoint), maxPoints_(maxPoints), sample_(from.sample),
      boundary_(from.boundary), pointEnd_(std::max(roundHalfEven(from.boundary), from.sample + 1)),
      point_(from.point) {
    ResetAccumulators();
}

TDecimatorPosition TDecimator::PositionOfPoint(int64_t startSample, double samplesPerPoint, int point) {
    // The same steps as Add takes when it closes a point.
    TDecimatorPosition at{startSample, static_cast<double>(startSample) + samplesPerPoint, 0};
    for (; at.point < point; ++at.point) {
        at.sample = std::max(roundHalfEven(at.boundary), at.sample + 1);
        at.boundary += samplesPerPoint;
    }
    return at;
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

// 32 bytes taken as 16 sample words or as their 32 codes (channel A at the
// even places, channel B at the odd ones).
using WordVector = uint16_t __attribute__((vector_size(32)));
using CodeVector = uint8_t __attribute__((vector_size(32)));

// One pass over the words of a point, a vector of 16 words at a time: the
// maxima and minima run on the codes, the sums on 16-bit lanes that are
// added up every 257 vectors, before they can overflow.
RM_AVX2_CLONE void foldWords(const uint16_t* words, int64_t count, Fold& f) {
    constexpr int64_t kLanes = 16;
    constexpr int64_t kVectorsPerFlush = 257;  // 257 x 255 fits 16 bits
    const int64_t vectors = count / kLanes;
    CodeVector mx = {};
    CodeVector mn = ~CodeVector{};
    for (int64_t v = 0; v < vectors;) {
        const int64_t end = std::min(vectors, v + kVectorsPerFlush);
        WordVector partA = {}, partB = {};
        for (; v < end; ++v) {
            WordVector w;
            std::memcpy(&w, words + v * kLanes, sizeof w);
            const auto codes = reinterpret_cast<CodeVector>(w);
            mx = mx > codes ? mx : codes;
            mn = mn < codes ? mn : codes;
            partA += w & 0xFF;
            partB += w >> 8;
        }
        for (int j = 0; j < kLanes; ++j) {
            f.sumA += partA[j];
            f.sumB += partB[j];
        }
    }
    uint8_t maxA = 0, minA = 255, maxB = 0, minB = 255;
    for (int j = 0; j < 2 * kLanes; j += 2) {
        maxA = std::max(maxA, mx[j]);
        minA = std::min(minA, mn[j]);
        maxB = std::max(maxB, mx[j + 1]);
        minB = std::min(minB, mn[j + 1]);
    }
    for (int64_t k = vectors * kLanes; k < count; ++k) {
        const auto a = static_cast<uint8_t>(words[k] & 0xFF);
        const auto b = static_cast<uint8_t>(words[k] >> 8);
        maxA = std::max(maxA, a);
        minA = std::min(minA, a);
        maxB = std::max(maxB, b);
        minB = std::min(minB, b);
        f.sumA += a;
        f.sumB += b;
    }
    f.maxA = std::max(f.maxA, maxA);
    f.minA = std::min(f.minA, minA);
    f.maxB = std::max(f.maxB, maxB);
    f.minB = std::min(f.minB, minB);
    // Only where both channels reach code 0 can a 0x0000 word lie.
    if (minA == 0 && minB == 0)
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
