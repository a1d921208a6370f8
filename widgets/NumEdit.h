#pragma once

#include "FilteredEdit.h"

#include <cstdint>

// A numeric edit: the text is the value. Typed characters: digits, "-", ".".
//
// The getters read the text ("." or "," for `NumValue`, a whole decimal number
// for the integer forms); while the text does not read, they give the last
// value it held, so bad input never replaces a value. Callers that must know
// whether the text reads use rm::StrToFloatAnySeparator on text().
class TNumEditVorn : public TFilteredEditVorn {
    Q_OBJECT
    Q_PROPERTY(double NumValue READ NumValue WRITE setNumValue)
    Q_PROPERTY(uint16_t NumValueWord READ NumValueWord WRITE setNumValueWord)
    Q_PROPERTY(int32_t NumValueInteger READ NumValueInteger WRITE setNumValueInteger)
    Q_PROPERTY(bool Floating READ Floating WRITE setFloating)

public:
    explicit TNumEditVorn(QWidget* parent = nullptr);

    double NumValue() const { return number_; }
    // In the general number form when `Floating`, else the nearest whole
    // number (half to even).
    void setNumValue(double value);
    uint16_t NumValueWord() const { return static_cast<uint16_t>(integer_); }
    void setNumValueWord(uint16_t value);
    int32_t NumValueInteger() const { return integer_; }
    void setNumValueInteger(int32_t value);
    bool Floating() const { return floating_; }
    void setFloating(bool floating) { floating_ = floating; }

private:
    void readText(const QString& text);

    bool floating_ = false;
    double number_ = 0;
    int32_t integer_ = 0;
};
