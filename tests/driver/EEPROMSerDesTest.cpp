#include "EEPROMSerDes.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using qrv::EEPROMSerDesError;
using qrv::TEEPROMSerDes;

namespace {

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EEPROMSerDesError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(EEPROMSerDes, ReadsFieldsLeastSignificantBitFirst) {
    const uint8_t ints[] = {0b00111101};
    TEEPROMSerDes a("A:uint(3);B:int(3);");
    a.Deserialize(ints, sizeof ints);
    EXPECT_EQ(a.GetValue("A"), 5);
    EXPECT_EQ(a.GetValue("B"), 3);
    EXPECT_EQ(a.BitSize(), 6);

    const uint8_t partial[] = {0b00001110};
    TEEPROMSerDes x("X:pureal(2,2)");
    x.Deserialize(partial, sizeof partial);
    EXPECT_DOUBLE_EQ(x.GetValue("X"), 3.0);

    const uint8_t top[] = {0xFF, 0x7F};
    const uint8_t bottom[] = {0x00, 0x80}; // bit 15 belongs to nobody
    TEEPROMSerDes r(" R : real40_65( 15 ) ;");
    r.Deserialize(top, sizeof top);
    EXPECT_DOUBLE_EQ(r.GetValue("R"), 6.5);
    r.Deserialize(bottom, sizeof bottom);
    EXPECT_DOUBLE_EQ(r.GetValue("R"), 4.0);
}

// Packed by hand, bit by bit, so that a bit-order fault in reading and the
// same fault in writing cannot cancel each other out.
TEST(EEPROMSerDes, HandPackedGoldenImageBothWays) {
    const std::string types = "A:uint(3);B:int(5);C:pureal(2,3);D:psreal(3,2);E:real40_65(4);F:uint(12);";
    const std::vector<uint8_t> golden = {0x6D, 0x76, 0x1A, 0xAF, 0x02};

    TEEPROMSerDes reader(types);
    reader.Deserialize(golden.data(), golden.size());
    EXPECT_EQ(reader.GetValue("A"), 5);
    EXPECT_EQ(reader.GetValue("B"), -3);
    EXPECT_DOUBLE_EQ(reader.GetValue("C"), 2 + 5.0 / 7);
    EXPECT_DOUBLE_EQ(reader.GetValue("D"), -1 + 2.0 / 3);
    EXPECT_DOUBLE_EQ(reader.GetValue("E"), 5.0);
    EXPECT_EQ(reader.GetIntValue("F"), 0xABC);

    TEEPROMSerDes writer(types);
    writer.SetValue("A", 5);
    writer.SetValue("B", -3);
    writer.SetValue("C", 2 + 5.0 / 7);
    writer.SetValue("D", -1 + 2.0 / 3);
    writer.SetValue("E", 5.0);
    writer.SetValue("F", 0xABC);
    std::vector<uint8_t> packed(5, 0);
    writer.Serialize(packed.data(), packed.size());
    EXPECT_EQ(packed, golden);
}

TEST(EEPROMSerDes, FullWidthUnsignedAndRangeChecks) {
    TEEPROMSerDes s("W:uint(32);I:int(4);P:pureal(3,4);S:psreal(3,4);L:real40_65(8)");
    s.SetValue("W", 4294967295.0);
    EXPECT_EQ(errorOf([&] { s.SetValue("W", 4294967296.0); }), "Invalid value for W");
    EXPECT_EQ(errorOf([&] { s.SetValue("I", 8); }), "Invalid value for I");
    s.SetValue("I", -8);
    EXPECT_EQ(errorOf([&] { s.SetValue("P", 8.0); }), "Invalid value for P");
    EXPECT_EQ(errorOf([&] { s.SetValue("P", -0.1); }), "Invalid value for P");
    EXPECT_EQ(errorOf([&] { s.SetValue("S", -4.5); }), "Invalid value for S");
    s.SetValue("S", -4.0);
    EXPECT_EQ(errorOf([&] { s.SetValue("L", 6.6); }), "Invalid value for L");

    std::vector<uint8_t> bytes(8, 0);
    s.SetValue("L", 4.0);
    s.SetValue("P", 7.5);
    s.Serialize(bytes.data(), bytes.size());
    TEEPROMSerDes back("W:uint(32);I:int(4);P:pureal(3,4);S:psreal(3,4);L:real40_65(8)");
    back.Deserialize(bytes.data(), bytes.size());
    EXPECT_EQ(back.GetValue("W"), 4294967295.0);
    EXPECT_EQ(back.GetValue("I"), -8);
    EXPECT_DOUBLE_EQ(back.GetValue("P"), 7 + 8.0 / 15);
    EXPECT_EQ(back.GetValue("S"), -4.0);
    EXPECT_EQ(back.GetValue("L"), 4.0);
}

TEST(EEPROMSerDes, MessagesAreTheSystemsOwn) {
    const uint8_t one[] = {0};
    EXPECT_EQ(errorOf([&] { TEEPROMSerDes("A:uint(12)").Deserialize(one, 1); }),
              "The target array is too small for serialization.");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("A;B:uint(1)"); }), "The \"A\" does not contain type definition");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("A:uint(4;"); }), "Parameters of the \"A\" must be closed by using )");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("A:uint( "); }),
              "Parameters of the \"A\" element must be closed by using )");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("A:uint(1);A:int(2)"); }), "The \"A\" name is defined at least twice.");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("A:word(4)"); }), "Unknown element type: \"word\"");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("A:UINT(4)"); }), "Unknown element type: \"UINT\"");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("X:pureal(8)"); }), "Incorrect param for PartialUReal");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("X:psreal(8)"); }), "Incorrect param for PartialUReal");
    EXPECT_EQ(errorOf([] { TEEPROMSerDes("A:uint(1)").GetValue("a"); }),
              "Unable to get value for element \"a\". The element name does not exist.");
}
