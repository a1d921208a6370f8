#pragma once

#include "SafeLabel.h"

// A label that shows a number with an engineering prefix and a unit chosen by
// `ControlType` (see rm::UnitValueType), or "N/A" while `ValueInValid`.
//
// The setters store the value under the label's lock and set the text the
// way `setMyString` does, so they too may be called from any thread.
class TUnitValueLabel : public TSafeLabel {
    Q_OBJECT
    Q_PROPERTY(double MainValue READ MainValue WRITE setMainValue)
    Q_PROPERTY(int ControlType READ ControlType WRITE setControlType)
    Q_PROPERTY(bool ValueInValid READ ValueInValid WRITE setValueInValid)

public:
    explicit TUnitValueLabel(QWidget* parent = nullptr);

    // Any thread.
    double MainValue() const;
    void setMainValue(double value);
    int ControlType() const;
    void setControlType(int type);
    bool ValueInValid() const;
    void setValueInValid(bool invalid);
    // The rounded number last formatted, in the unit shown.
    double displayValue() const;

private:
    void showValue();  // with the label's lock held

    double mainValue_ = 0;
    int controlType_ = 0;
    bool valueInValid_ = false;
    double displayValue_ = 0;
};
