#include "VoltageValueEdit.h"

#include "VoltageText.h"

#include <cmath>

TVoltageValueEditVorn::TVoltageValueEditVorn(QWidget* parent)
    : TCommitEditVorn(QStringLiteral("-0123456789.mu"), parent) {}

void TVoltageValueEditVorn::setVoltage(double millivolts) {
    voltage_ = std::nearbyint(millivolts * 1000) / 1000;
    setText(QString::fromStdString(rm::formatVoltage(voltage_)));
}

bool TVoltageValueEditVorn::CommitText() {
    const auto millivolts = rm::parseVoltage(text().toStdString());
    if (!millivolts)
        return false;
    voltage_ = *millivolts;
    return true;
}
