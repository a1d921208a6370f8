#include "WidgetLinks.h"

#include "AcquisitionThreadRM.h"
#include "ShapeVorn.h"
#include "UnitValueLabel.h"

#include <QLabel>

void UnitValueLabelLink::setMainValue(double value) { label_.setMainValue(value); }

double UnitValueLabelLink::mainValue() const { return label_.MainValue(); }

ShapeLamp::ShapeLamp(TShapeVorn& shape, const LampStateNames& names) : shape_(shape), names_(names) {
    nameAfter(rm::toWinColor(shape.BrushColor()));
}

void ShapeLamp::SetLampColor(rm::WinColor color) {
    shape_.setBrushWinColor(color);
    nameAfter(color);
}

void ShapeLamp::nameAfter(rm::WinColor color) {
    const char* name = names_.stopped;
    if (color == TAcquisitionThreadRM::kLampYellow)
        name = names_.waiting;
    else if (color == TAcquisitionThreadRM::kLampGreen)
        name = names_.satisfied;
    shape_.setAccessibleName(QString::fromUtf8(name));
}

void LabelDisplayOff::SetLabelVisible(bool visible) { label_.setVisible(visible); }
