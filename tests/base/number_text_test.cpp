#include "base/number_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace gantrylux {
namespace {

TEST(NumberText, ReadsDecimalNumbersWithBlanksSignAndFraction) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"0", 0},      {"  1 ", 1},
                 {"+3", 3},     {"-5", -5},
                 {"2.5", 2.5},  {".5", 0.5},
                 {"7.", 7},     {"\t12\t", 12},
                 {"1e2", 100},  {"-1.5E-1", -0.15},
                 {"007", 7},    {"32768", 32768},
                 {"1e-400", 0}, {"-0.0001e-99999999999999999999", 0}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(NumberText, RejectsWhatIsNotOneNumber) {
    for (const char* text : {"", " ", "abc", "12a", "1,5", "1 2", "+", "-", ".", "e5", "1e", "0x10",
                             "inf", "nan", "--1", "1e999"}) {
        EXPECT_THROW(ReadNumber(text), ConversionFailure) << '"' << text << '"';
    }
    // A negative exponent does not make a number small: 1e400 is too large.
    EXPECT_THROW(ReadNumber("1" + std::string(410, '0') + "e-10"), ConversionFailure);
}

TEST(NumberText, FailureNamesTheText) {
    try {
        ReadNumber("12a");
        FAIL();
    } catch (const ConversionFailure& failure) {
        EXPECT_STREQ(failure.what(), "Type mismatch: \"12a\" is not a number");
    }
}

TEST(NumberText, TruthValuesAreWordsInAnyCaseOrNumbers) {
    const struct {
        const char* text;
        bool value;
    } cases[] = {{"True", true}, {"FALSE", false}, {"tRuE", true},   {"0", false},
                 {"1", true},    {"-1", true},     {" 0.0 ", false}, {"false ", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(ReadTruthValue(c.text), c.value) << '"' << c.text << '"';
    }
    EXPECT_THROW(ReadTruthValue("yes"), ConversionFailure);
    EXPECT_THROW(ReadTruthValue(""), ConversionFailure);
}

}  // namespace
}  // namespace gantrylux
