#include "FloatText.h"
#include "IndexFileName.h"
#include "RateTables.h"
#include "Rounding.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace {

TEST(FloatText, GeneralFormLikeTheSettingsFiles) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"},           {200, "200"},        {-200, "-200"},      {1.5, "1.5"},
        {0.1, "0.1"},       {2.5e-3, "0.0025"},  {1e-5, "0.00001"},   {1.5e-7, "1.5E-7"},
        {1e20, "1E20"},     {123456789012345, "123456789012345"}, {1e15, "1E15"},
        {1.0 / 3, "0.333333333333333"},          {5020, "5020"},      {148.3, "148.3"},
        {-0.000123, "-0.000123"},                {1351, "1351"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(rm::formatGeneral(value), text) << value;
}

TEST(FloatText, DecimalPointWhateverTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(rm::formatGeneral(2.5), "2.5");
        EXPECT_EQ(rm::parseDouble("2.5"), 2.5);
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FloatText, ParsingAcceptsWholeNumbersOnly) {
    EXPECT_EQ(rm::parseDouble(" 12.5 "), 12.5);
    EXPECT_EQ(rm::parseDouble("-3E2"), -300);
    EXPECT_EQ(rm::parseDouble("+7"), 7);
    for (const char* bad : {"", "-", "1e400", "abc", "1.2.3", "12x", "1,5", "nan", "inf"})
        EXPECT_FALSE(rm::parseDouble(bad).has_value()) << bad;
    EXPECT_EQ(rm::parseInteger("-42"), -42);
    EXPECT_FALSE(rm::parseInteger("4.2").has_value());
    EXPECT_FALSE(rm::parseInteger("99999999999999999999").has_value());
}

TEST(FloatText, RoundTripKeepsFifteenDigits) {
    for (double v : {3.14159265358979, 1e-300, 6.02214076e23, -987654.321})
        EXPECT_DOUBLE_EQ(*rm::parseDouble(rm::formatGeneral(v)), v);
}

TEST(Rounding, HalvesGoToEven) {
    EXPECT_EQ(rm::roundHalfEven(2.5), 2);
    EXPECT_EQ(rm::roundHalfEven(3.5), 4);
    EXPECT_EQ(rm::roundHalfEven(-2.5), -2);
    EXPECT_EQ(rm::roundHalfEven(2.4999), 2);
    EXPECT_EQ(rm::roundHalfEvenClamped(std::numeric_limits<double>::quiet_NaN(), 0, 255, 7), 7);
    EXPECT_EQ(rm::roundHalfEvenClamped(1e30, 0, 255), 255);
    EXPECT_EQ(rm::roundHalfEvenClamped(-1e30, 0, 255), 0);
}

TEST(IndexFileName, LastThreeCharactersBecomeInd) {
    EXPECT_EQ(rm::indexFileName("sdata.rmd"), "sdata.ind");
    EXPECT_EQ(rm::indexFileName("/tmp/x/long.name.RMD"), "/tmp/x/long.name.ind");
    EXPECT_EQ(rm::indexFileName("abcd"), "aind");
    EXPECT_EQ(rm::indexFileName("abc"), "ind");
    EXPECT_EQ(rm::indexFileName(""), "ind");
}

TEST(RateTables, SamplesPerColumnStayPositiveUnderTheCoupling) {
    EXPECT_EQ(rm::kSamplesPerSecondTable[10], 100000);
    EXPECT_EQ(rm::kSecondsPerDivisionTable[16], 20000);
    EXPECT_EQ(rm::clampSmpIndex(99), 15);
    EXPECT_EQ(rm::clampDspIndex(-1), 0);
    // time base 0 needs rate index 3 or more: 500 / 50 * 0.1 = 1 sample per column
    EXPECT_EQ(rm::roundHalfEven(rm::kSamplesPerSecondTable[3] / rm::kPixelsPerDivision *
                                rm::kSecondsPerDivisionTable[0]),
              1);
}

} // namespace
