#pragma once

#include "CommitEdit.h"

// A voltage edit: volts ("1.5", "1,5") or millivolts ("250m"), and "5u"
// microvolts. The value is in millivolts. Typed characters: digits, "-", ".",
// "m", "u".
class TVoltageValueEditVorn : public TCommitEditVorn {
    Q_OBJECT
    Q_PROPERTY(double Voltage READ Voltage WRITE setVoltage)

public:
    explicit TVoltageValueEditVorn(QWidget* parent = nullptr);

    double Voltage() const { return voltage_; }
    // Stores the value to a microvolt and shows it (see rm::formatVoltage);
    // the text colour is left alone.
    void setVoltage(double millivolts);

    bool CommitText() override;

private:
    double voltage_ = 0;
};
