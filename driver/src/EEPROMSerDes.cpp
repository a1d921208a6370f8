#include "EEPROMSerDes.h"

#include "Rounding.h"

#include <cmath>
#include <cstring>

namespace qrv {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// Blanks and control characters (everything below 33) off both ends.
std::string trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) < 33)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) < 33)
        --end;
    return text.substr(begin, end - begin);
}

int parseInteger(const std::string& text) {
    const std::string t = trimmed(text);
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(t, &used, 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (t.empty() || used != t.size())
        throw EEPROMSerDesError("'" + text + "' is not a valid integer value");
    return value;
}

int bitCount(const std::string& params) {
    const int bits = parseInteger(params);
    if (bits < 1 || bits > 32)
        throw EEPROMSerDesError("Incorrect bit count " + quoted(params));
    return bits;
}

uint64_t maxRaw(int bits) { return (uint64_t{1} << bits) - 1; }

// The offset of an offset-binary field: 2^(bits-1).
double signOffset(int bits) { return static_cast<double>(uint64_t{1} << (bits - 1)); }

struct TypeEntry {
    const char* keyword;
    TBS_Element_Type create;
};

constexpr TypeEntry kTypeTable[] = {
    {"uint", &TBS_Element_UInt::Create},
    {"int", &TBS_Element_Int::Create},
    {"real40_65", &TBS_Element_LinearReal_40_65::Create},
    {"pureal", &TBS_Element_PartialUReal::Create},
    {"psreal", &TBS_Element_PartialSReal::Create},
};

} // namespace

void TBS_Element::invalidValue() const { throw EEPROMSerDesError("Invalid value for " + Name); }

// ---- uint ----

std::unique_ptr<TBS_Element> TBS_Element_UInt::Create(TEEPROMSerDes& owner, const std::string& params) {
    return std::unique_ptr<TBS_Element>(new TBS_Element_UInt(owner, bitCount(params)));
}

void TBS_Element_UInt::SetValue(double value) {
    if (!std::isfinite(value) || std::nearbyint(value) < 0 ||
        std::nearbyint(value) > static_cast<double>(maxRaw(bits_)))
        invalidValue();
    raw_ = static_cast<uint64_t>(std::nearbyint(value));
}

void TBS_Element_UInt::WriteBits() { owner_.WriteField(raw_, bits_); }
void TBS_Element_UInt::ReadBits() { raw_ = owner_.ReadField(bits_); }

// ---- int ----

std::unique_ptr<TBS_Element> TBS_Element_Int::Create(TEEPROMSerDes& owner, const std::string& params) {
    return std::unique_ptr<TBS_Element>(new TBS_Element_Int(owner, bitCount(params)));
}

void TBS_Element_Int::SetValue(double value) {
    const double half = signOffset(bits_);
    const double r = std::nearbyint(value);
    if (!std::isfinite(value) || r < -half || r > half - 1)
        invalidValue();
    raw_ = static_cast<uint64_t>(r + half);
}

double TBS_Element_Int::GetValue() const {
    return static_cast<double>(raw_) - signOffset(bits_);
}

// ---- linear reals ----

void TBS_Element_LinearReal::SetValue(double value) {
    if (!std::isfinite(value) || value < minimum_ || value > maximum_)
        invalidValue();
    raw_ = static_cast<uint64_t>(
        std::nearbyint((value - minimum_) * static_cast<double>(maxRaw(bits_)) / (maximum_ - minimum_)));
}

double TBS_Element_LinearReal::GetValue() const {
    return minimum_ + (maximum_ - minimum_) * static_cast<double>(raw_) / static_cast<double>(maxRaw(bits_));
}

std::unique_ptr<TBS_Element> TBS_Element_LinearReal_40_65::Create(TEEPROMSerDes& owner,
                                                                  const std::string& params) {
    return std::unique_ptr<TBS_Element>(new TBS_Element_LinearReal_40_65(owner, bitCount(params)));
}

// ---- partial reals ----

std::pair<int, int> TBS_Element_PartialUReal::splitParams(const std::string& params) {
    const size_t comma = params.find(',');
    if (comma == std::string::npos)
        throw EEPROMSerDesError("Incorrect param for PartialUReal");
    const int intBits = parseInteger(params.substr(0, comma));
    const int fracBits = parseInteger(params.substr(comma + 1));
    if (intBits < 1 || fracBits < 1 || intBits + fracBits > 32)
        throw EEPROMSerDesError("Incorrect param for PartialUReal");
    return {intBits, fracBits};
}

std::unique_ptr<TBS_Element> TBS_Element_PartialUReal::Create(TEEPROMSerDes& owner,
                                                              const std::string& params) {
    const auto [i, f] = splitParams(params);
    return std::unique_ptr<TBS_Element>(new TBS_Element_PartialUReal(owner, i, f));
}

void TBS_Element_PartialUReal::SetValue(double value) {
    if (!std::isfinite(value) || value < 0 || std::floor(value) > static_cast<double>(maxRaw(intBits_)))
        invalidValue();
    const double whole = std::floor(value);
    intRaw_ = static_cast<uint64_t>(whole);
    fracRaw_ = static_cast<uint64_t>(std::nearbyint((value - whole) * fractionScale()));
}

double TBS_Element_PartialUReal::GetValue() const {
    return static_cast<double>(intRaw_) + static_cast<double>(fracRaw_) / fractionScale();
}

void TBS_Element_PartialUReal::WriteBits() {
    owner_.WriteField(intRaw_, intBits_);
    owner_.WriteField(fracRaw_, fracBits_);
}

void TBS_Element_PartialUReal::ReadBits() {
    intRaw_ = owner_.ReadField(intBits_);
    fracRaw_ = owner_.ReadField(fracBits_);
}

std::unique_ptr<TBS_Element> TBS_Element_PartialSReal::Create(TEEPROMSerDes& owner,
                                                              const std::string& params) {
    const auto [i, f] = splitParams(params);
    return std::unique_ptr<TBS_Element>(new TBS_Element_PartialSReal(owner, i, f));
}

void TBS_Element_PartialSReal::SetValue(double value) {
    const double half = signOffset(intBits_);
    const double whole = std::floor(value);
    if (!std::isfinite(value) || whole < -half || whole > half - 1)
        invalidValue();
    intRaw_ = static_cast<uint64_t>(whole + half);
    fracRaw_ = static_cast<uint64_t>(std::nearbyint((value - whole) * fractionScale()));
}

double TBS_Element_PartialSReal::GetValue() const {
    return (static_cast<double>(intRaw_) - signOffset(intBits_)) + static_cast<double>(fracRaw_) / fractionScale();
}

// ---- the serializer ----

TEEPROMSerDes::TEEPROMSerDes(const std::string& typeDescription) {
    size_t pos = 0;
    while (pos < typeDescription.size()) {
        size_t end = typeDescription.find(';', pos);
        if (end == std::string::npos)
            end = typeDescription.size();
        const std::string element = typeDescription.substr(pos, end - pos);
        pos = end + 1;
        if (trimmed(element).empty())
            continue;

        const size_t colon = element.find(':');
        if (colon == std::string::npos)
            throw EEPROMSerDesError("The " + quoted(element) + " does not contain type definition");
        const std::string name = trimmed(element.substr(0, colon));
        std::string type = trimmed(element.substr(colon + 1));
        std::string params;
        const size_t paren = type.find('(');
        if (paren != std::string::npos) {
            params = trimmed(type.substr(paren + 1));
            if (params.empty())
                throw EEPROMSerDesError("Parameters of the " + quoted(name) +
                                        " element must be closed by using )");
            if (params.back() != ')')
                throw EEPROMSerDesError("Parameters of the " + quoted(name) + " must be closed by using )");
            params.pop_back();
            type = trimmed(type.substr(0, paren));
        }
        AddElement(name, type, params);
    }
}

void TEEPROMSerDes::AddElement(const std::string& name, const std::string& type, const std::string& params) {
    for (const auto& e : elements_)
        if (e->Name == name)
            throw EEPROMSerDesError("The " + quoted(name) + " name is defined at least twice.");
    for (const TypeEntry& entry : kTypeTable) {
        if (type == entry.keyword) {
            std::unique_ptr<TBS_Element> element = entry.create(*this, params);
            element->Name = name;
            elements_.push_back(std::move(element));
            return;
        }
    }
    throw EEPROMSerDesError("Unknown element type: " + quoted(type));
}

int TEEPROMSerDes::BitSize() const {
    int bits = 0;
    for (const auto& e : elements_)
        bits += e->BitSize();
    return bits;
}

void TEEPROMSerDes::startAt(uint8_t* data, size_t length) {
    if (length < static_cast<size_t>((BitSize() + 7) / 8))
        throw EEPROMSerDesError("The target array is too small for serialization.");
    cursor_ = data;
    bitPosition_ = 0;
}

void TEEPROMSerDes::Deserialize(const uint8_t* data, size_t length) {
    // Reading never writes through the cursor.
    startAt(const_cast<uint8_t*>(data), length);
    for (auto& e : elements_)
        e->ReadBits();
}

void TEEPROMSerDes::Serialize(uint8_t* data, size_t length) {
    startAt(data, length);
    for (auto& e : elements_)
        e->WriteBits();
}

TBS_Element& TEEPROMSerDes::find(const std::string& name) const {
    for (const auto& e : elements_)
        if (e->Name == name)
            return *e;
    throw EEPROMSerDesError("Unable to get value for element " + quoted(name) +
                            ". The element name does not exist.");
}

double TEEPROMSerDes::GetValue(const std::string& name) const { return find(name).GetValue(); }

int64_t TEEPROMSerDes::GetIntValue(const std::string& name) const {
    return rm::roundHalfEvenClamped(GetValue(name), INT64_MIN / 2, INT64_MAX / 2);
}

void TEEPROMSerDes::SetValue(const std::string& name, double value) { find(name).SetValue(value); }

bool TEEPROMSerDes::ReadBit() {
    const bool bit = (*cursor_ >> bitPosition_) & 1;
    if (++bitPosition_ == 8) {
        bitPosition_ = 0;
        ++cursor_;
    }
    return bit;
}

void TEEPROMSerDes::WriteBit(bool bit) {
    const uint8_t mask = static_cast<uint8_t>(1u << bitPosition_);
    *cursor_ = static_cast<uint8_t>(bit ? (*cursor_ | mask) : (*cursor_ & ~mask));
    if (++bitPosition_ == 8) {
        bitPosition_ = 0;
        ++cursor_;
    }
}

uint64_t TEEPROMSerDes::ReadField(int bits) {
    uint64_t raw = 0;
    for (int b = 0; b < bits; ++b)
        if (ReadBit())
            raw |= uint64_t{1} << b;
    return raw;
}

void TEEPROMSerDes::WriteField(uint64_t raw, int bits) {
    for (int b = 0; b < bits; ++b)
        WriteBit((raw >> b) & 1);
}

} // namespace qrv
