#include "UnitValueLabel.h"

#include "UnitValueText.h"

TUnitValueLabel::TUnitValueLabel(QWidget* parent) : TSafeLabel(parent) {}

double TUnitValueLabel::MainValue() const {
    std::lock_guard lock(labelLock());
    return mainValue_;
}

void TUnitValueLabel::setMainValue(double value) {
    std::lock_guard lock(labelLock());
    mainValue_ = value;
    showValue();
}

int TUnitValueLabel::ControlType() const {
    std::lock_guard lock(labelLock());
    return controlType_;
}

void TUnitValueLabel::setControlType(int type) {
    std::lock_guard lock(labelLock());
    controlType_ = type;
    showValue();
}

bool TUnitValueLabel::ValueInValid() const {
    std::lock_guard lock(labelLock());
    return valueInValid_;
}

void TUnitValueLabel::setValueInValid(bool invalid) {
    std::lock_guard lock(labelLock());
    valueInValid_ = invalid;
    showValue();
}

double TUnitValueLabel::displayValue() const {
    std::lock_guard lock(labelLock());
    return displayValue_;
}

void TUnitValueLabel::showValue() {
    const auto shown = rm::formatUnitValue(mainValue_, controlType_, valueInValid_, displayValue_);
    displayValue_ = shown.displayValue;
    setMyString(QString::fromStdString(shown.text));
}
