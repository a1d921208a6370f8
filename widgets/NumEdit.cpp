#include "NumEdit.h"

#include "FloatText.h"
#include "NumberText.h"
#include "Rounding.h"

#include <limits>

TNumEditVorn::TNumEditVorn(QWidget* parent) : TFilteredEditVorn(QStringLiteral("-0123456789."), parent) {
    connect(this, &QLineEdit::textChanged, this, &TNumEditVorn::readText);
}

void TNumEditVorn::setNumValue(double value) {
    if (floating_) {
        setText(QString::fromStdString(rm::formatGeneral(value)));
        return;
    }
    const auto whole = rm::roundHalfEvenClamped(value, std::numeric_limits<int64_t>::min(),
                                                std::numeric_limits<int64_t>::max());
    setText(QString::number(whole));
}

void TNumEditVorn::setNumValueWord(uint16_t value) {
    setText(QString::number(value));
}

void TNumEditVorn::setNumValueInteger(int32_t value) {
    setText(QString::number(value));
}

void TNumEditVorn::readText(const QString& text) {
    if (const auto number = rm::StrToFloatAnySeparator(text))
        number_ = *number;
    const auto integer = rm::parseInteger(text.toStdString());
    if (integer && *integer >= std::numeric_limits<int32_t>::min() &&
        *integer <= std::numeric_limits<int32_t>::max())
        integer_ = static_cast<int32_t>(*integer);
}
