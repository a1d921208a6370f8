#include "InputRanges.h"

#include "Rounding.h"

#include <cmath>

namespace qrv {

namespace {

double finiteOrZero(double v) { return std::isfinite(v) ? v : 0.0; }

} // namespace

std::array<TRangeRecord, kRangeCount> defaultRangeRecords() {
    std::array<TRangeRecord, kRangeCount> records{};
    for (int r = 0; r < kRangeCount; ++r)
        records[r] = TRangeRecord{RangeCodeTable[r], {299, 299}, {299, 299}};
    return records;
}

int rangeIndexOfKey(int32_t key) {
    for (int r = 0; r < kRangeCount; ++r)
        if (RangeKeyTable[r] == key)
            return r;
    return -1;
}

double TOffsetCalibration::offsetCodeToLevel(int k, int32_t offsetCode) const {
    const double mid = finiteOrZero(SH2048[k]);
    const double slope = offsetCode >= 2048 ? SHRPlus[k] : SHRMinus[k];
    if (slope == 0.0 || !std::isfinite(slope))
        return mid;
    return mid + (offsetCode - 2048) / slope;
}

int32_t TOffsetCalibration::levelToOffsetCode(int k, double level) const {
    const double mid = finiteOrZero(SH2048[k]);
    const double code = level >= mid ? 2048 + (level - mid) * finiteOrZero(SHRPlus[k])
                                     : 2048 - (mid - level) * finiteOrZero(SHRMinus[k]);
    return static_cast<int32_t>(rm::roundHalfEvenClamped(code, 0, kMaxOffsetCode, 2048));
}

} // namespace qrv
