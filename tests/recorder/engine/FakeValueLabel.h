#pragma once

#include "ValueLabelLink.h"

#include <atomic>

// A value label that remembers the last value and counts how often it was set.
class FakeValueLabel : public ValueLabelLink {
public:
    explicit FakeValueLabel(double initial = 0) : value_(initial) {}
    void setMainValue(double value) override {
        value_ = value;
        ++sets_;
    }
    double mainValue() const override { return value_; }
    int sets() const { return sets_; }

private:
    std::atomic<double> value_;
    std::atomic<int> sets_{0};
};
