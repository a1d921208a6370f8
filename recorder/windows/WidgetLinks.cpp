#include "WidgetLinks.h"

#include "ShapeVorn.h"
#include "UnitValueLabel.h"

#include <QLabel>

void UnitValueLabelLink::setMainValue(double value) { label_.setMainValue(value); }

double UnitValueLabelLink::mainValue() const { return label_.MainValue(); }

void ShapeLamp::SetLampColor(rm::WinColor color) { shape_.setBrushWinColor(color); }

void LabelDisplayOff::SetLabelVisible(bool visible) { label_.setVisible(visible); }
