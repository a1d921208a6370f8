#pragma once

#include "DisplayOffLabel.h"
#include "StatusLamp.h"
#include "ValueLabelLink.h"

class QLabel;
class TShapeVorn;
class TUnitValueLabel;

// The links between the engine's small interfaces and the main window's
// widgets. Each holds its widget, which the window owns and keeps alive for
// as long as the engine may call.

// The file-size and live-voltage labels; the label takes values from any thread.
class UnitValueLabelLink : public ValueLabelLink {
public:
    explicit UnitValueLabelLink(TUnitValueLabel& label) : label_(label) {}
    void setMainValue(double value) override;
    double mainValue() const override;

private:
    TUnitValueLabel& label_;
};

// The trigger and arm lamps (user-interface thread).
class ShapeLamp : public StatusLamp {
public:
    explicit ShapeLamp(TShapeVorn& shape) : shape_(shape) {}
    void SetLampColor(rm::WinColor color) override;

private:
    TShapeVorn& shape_;
};

// The "Display off" label (user-interface thread).
class LabelDisplayOff : public DisplayOffLabel {
public:
    explicit LabelDisplayOff(QLabel& label) : label_(label) {}
    void SetLabelVisible(bool visible) override;

private:
    QLabel& label_;
};
