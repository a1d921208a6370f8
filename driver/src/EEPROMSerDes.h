#pragma once

// Bit-packed records described by a type-description string such as
// "UR[0][0]:uint(12);CR1GHZ[0]:psreal(10,5);". Fields are packed least
// significant bit first, back to back, filling each byte from bit 0.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace qrv {

class TEEPROMSerDes;

// Every failure of the serializer: the message is the user-facing text.
class EEPROMSerDesError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One named field of a record.
class TBS_Element {
public:
    virtual ~TBS_Element() = default;

    std::string Name;

    virtual int BitSize() const = 0;
    // Throws "Invalid value for <name>" when the value does not fit.
    virtual void SetValue(double value) = 0;
    virtual double GetValue() const = 0;
    virtual void WriteBits() = 0;
    virtual void ReadBits() = 0;

protected:
    explicit TBS_Element(TEEPROMSerDes& owner) : owner_(owner) {}
    [[noreturn]] void invalidValue() const;
    TEEPROMSerDes& owner_;
};

// The class-reference of the type table: creates an element from its parameter text.
using TBS_Element_Type = std::unique_ptr<TBS_Element> (*)(TEEPROMSerDes& owner,
                                                         const std::string& params);

// "uint(n)": the raw n bits.
class TBS_Element_UInt : public TBS_Element {
public:
    static std::unique_ptr<TBS_Element> Create(TEEPROMSerDes& owner, const std::string& params);
    int BitSize() const override { return bits_; }
    void SetValue(double value) override;
    double GetValue() const override { return static_cast<double>(raw_); }
    void WriteBits() override;
    void ReadBits() override;

protected:
    TBS_Element_UInt(TEEPROMSerDes& owner, int bits) : TBS_Element(owner), bits_(bits) {}
    int bits_;
    uint64_t raw_ = 0;
};

// "int(n)": offset binary, raw - 2^(n-1).
class TBS_Element_Int : public TBS_Element_UInt {
public:
    static std::unique_ptr<TBS_Element> Create(TEEPROMSerDes& owner, const std::string& params);
    void SetValue(double value) override;
    double GetValue() const override;

private:
    using TBS_Element_UInt::TBS_Element_UInt;
};

// n raw bits mapped linearly onto [minimum, maximum].
class TBS_Element_LinearReal : public TBS_Element_UInt {
public:
    void SetValue(double value) override;
    double GetValue() const override;

protected:
    TBS_Element_LinearReal(TEEPROMSerDes& owner, int bits, double minimum, double maximum)
        : TBS_Element_UInt(owner, bits), minimum_(minimum), maximum_(maximum) {}
    double minimum_;
    double maximum_;
};

// "real40_65(n)": the linear real over 4.0 .. 6.5.
class TBS_Element_LinearReal_40_65 : public TBS_Element_LinearReal {
public:
    static std::unique_ptr<TBS_Element> Create(TEEPROMSerDes& owner, const std::string& params);

private:
    TBS_Element_LinearReal_40_65(TEEPROMSerDes& owner, int bits)
        : TBS_Element_LinearReal(owner, bits, 4.0, 6.5) {}
};

// "pureal(i,f)": an i-bit integer part, then an f-bit fraction F / (2^f - 1).
class TBS_Element_PartialUReal : public TBS_Element {
public:
    static std::unique_ptr<TBS_Element> Create(TEEPROMSerDes& owner, const std::string& params);
    int BitSize() const override { return intBits_ + fracBits_; }
    void SetValue(double value) override;
    double GetValue() const override;
    void WriteBits() override;
    void ReadBits() override;

protected:
    TBS_Element_PartialUReal(TEEPROMSerDes& owner, int intBits, int fracBits)
        : TBS_Element(owner), intBits_(intBits), fracBits_(fracBits) {}
    static std::pair<int, int> splitParams(const std::string& params);
    double fractionScale() const { return static_cast<double>((uint64_t{1} << fracBits_) - 1); }
    int intBits_;
    int fracBits_;
    uint64_t intRaw_ = 0;
    uint64_t fracRaw_ = 0;
};

// "psreal(i,f)": as pureal with the integer part in offset binary.
class TBS_Element_PartialSReal : public TBS_Element_PartialUReal {
public:
    static std::unique_ptr<TBS_Element> Create(TEEPROMSerDes& owner, const std::string& params);
    void SetValue(double value) override;
    double GetValue() const override;

private:
    using TBS_Element_PartialUReal::TBS_Element_PartialUReal;
};

class TEEPROMSerDes {
public:
    TEEPROMSerDes() = default;
    // Parses the type-description string and creates all its elements.
    explicit TEEPROMSerDes(const std::string& typeDescription);
    TEEPROMSerDes(const TEEPROMSerDes&) = delete;
    TEEPROMSerDes& operator=(const TEEPROMSerDes&) = delete;

    void AddElement(const std::string& name, const std::string& type, const std::string& params);
    int BitSize() const;

    // Reads every element from `data`; the array must hold BitSize bits.
    void Deserialize(const uint8_t* data, size_t length);
    // Writes every element's value into `data` (bits beyond BitSize stay as they are).
    void Serialize(uint8_t* data, size_t length);

    double GetValue(const std::string& name) const;
    int64_t GetIntValue(const std::string& name) const;
    void SetValue(const std::string& name, double value);

    bool ReadBit();
    void WriteBit(bool bit);
    uint64_t ReadField(int bits);
    void WriteField(uint64_t raw, int bits);

private:
    void startAt(uint8_t* data, size_t length);
    TBS_Element& find(const std::string& name) const;

    std::vector<std::unique_ptr<TBS_Element>> elements_;
    uint8_t* cursor_ = nullptr;
    int bitPosition_ = 0;
};

} // namespace qrv
