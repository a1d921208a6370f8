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

// What a lamp is called in each of its colours: red, yellow and green.
struct LampStateNames {
    const char* stopped;
    const char* waiting;
    const char* satisfied;
};

// The trigger and arm lamps (user-interface thread). A lamp's accessible
// name tells its state, so a screen reader says what the colour shows.
class ShapeLamp : public StatusLamp {
public:
    // Named after the colour the shape has now.
    ShapeLamp(TShapeVorn& shape, const LampStateNames& names);
    void SetLampColor(rm::WinColor color) override;

private:
    void nameAfter(rm::WinColor color);

    TShapeVorn& shape_;
    LampStateNames names_;
};

// The "Display off" label (user-interface thread).
class LabelDisplayOff : public DisplayOffLabel {
public:
    explicit LabelDisplayOff(QLabel& label) : label_(label) {}
    void SetLabelVisible(bool visible) override;

private:
    QLabel& label_;
};
