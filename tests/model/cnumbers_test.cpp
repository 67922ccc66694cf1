#include "cnumbers.h"
#include "scopednumericlocale.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace corvina {
namespace {

// Names table rows by their position, for readable test listings.
const auto RowName = [](const auto& info) { return "Row" + std::to_string(info.index); };

struct IntCase {
    const char* text;
    int64_t value;
};

class LeadingIntegerTest : public testing::TestWithParam<IntCase> {};

TEST_P(LeadingIntegerTest, ReadsLikeTheCLibrary) {
    EXPECT_EQ(LeadingInteger(QString::fromLatin1(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeadingIntegerTest,
    testing::Values(IntCase{"60", 60}, IntCase{"  -12abc", -12}, IntCase{"+7", 7},
                    IntCase{"abc", 0}, IntCase{"", 0}, IntCase{"-", 0}, IntCase{"1 2", 1},
                    IntCase{"99999999999999999999999", std::numeric_limits<int64_t>::max()},
                    IntCase{"-99999999999999999999999", std::numeric_limits<int64_t>::min()}),
    RowName);

TEST(LeadingInt32, SaturatesBeyond32Bits) {
    EXPECT_EQ(LeadingInt32(u"4294967297"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(LeadingInt32(u"-4294967297"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(LeadingInt32(u"123456"), 123456);
}

struct DoubleCase {
    std::string text;
    double value;
};

void PrintTo(const DoubleCase& c, std::ostream* os) {
    *os << '"' << c.text.substr(0, 24) << (c.text.size() > 24 ? "...\"" : "\"");
}

class LeadingDoubleTest : public testing::TestWithParam<DoubleCase> {};

TEST_P(LeadingDoubleTest, ReadsLikeScanfF) {
    EXPECT_DOUBLE_EQ(LeadingDouble(QString::fromStdString(GetParam().text)), GetParam().value);
}

// Numbers beyond the double range written with many digits rather than a
// large exponent.
const std::string kManyDigits = "1" + std::string(400, '0');
const std::string kManyZeros = "0." + std::string(400, '0') + "1";

INSTANTIATE_TEST_SUITE_P(
    Cases, LeadingDoubleTest,
    testing::Values(DoubleCase{"2500.000", 2500.0}, DoubleCase{" -1.5e3x", -1500.0},
                    DoubleCase{"+.25", 0.25}, DoubleCase{"7.", 7.0}, DoubleCase{"1e", 1.0},
                    DoubleCase{"1e+", 1.0}, DoubleCase{"abc", 0.0}, DoubleCase{".", 0.0},
                    DoubleCase{"1e-400", 0.0}, DoubleCase{"2,5", 2.0},
                    DoubleCase{kManyDigits, HUGE_VAL}, DoubleCase{"-" + kManyDigits, -HUGE_VAL},
                    DoubleCase{kManyDigits + "e-5", HUGE_VAL},
                    DoubleCase{kManyDigits + ".5e-395", 1e5}, DoubleCase{kManyZeros, 0.0},
                    DoubleCase{kManyZeros + "e5", 0.0}, DoubleCase{"0.0001e-400", 0.0}),
    RowName);

TEST(LeadingDouble, HugeExponentGivesInfinity) {
    EXPECT_TRUE(std::isinf(LeadingDouble(u"1e400")));
    EXPECT_LT(LeadingDouble(u"-1e400"), 0.0);
}

// What the writer prints for infinite or undefined coefficients reads back.
TEST(LeadingFloat, ReadsWhatFormatG7Writes) {
    const float values[] = {std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), 0.1f, -2.5e-30f, 1e38f};
    for (float v : values)
        EXPECT_EQ(LeadingFloat(QString::fromLatin1(FormatG7(double(v)))), v) << v;
    EXPECT_TRUE(std::isnan(LeadingFloat(QString::fromLatin1(FormatG7(std::nan(""))))));
    EXPECT_TRUE(std::isinf(LeadingFloat(u"1e39")));
    EXPECT_TRUE(std::isinf(LeadingFloat(u"-1e300")));
    EXPECT_EQ(LeadingFloat(u"Infinity"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(LeadingFloat(u"info"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(LeadingFloat(u"in"), 0.0f);
}

// Qt applications take LC_NUMERIC from the environment; numbers must not follow it.
TEST(Numbers, IgnoreTheProcessLocale) {
    test::ScopedNumericLocale locale;
    ASSERT_TRUE(locale.ok()) << test::kCommaLocaleMissing;
    EXPECT_DOUBLE_EQ(LeadingDouble(u"2500.5"), 2500.5);
    EXPECT_EQ(LeadingFloat(u"1,5"), 1.0f);
    EXPECT_EQ(FormatFixed(1234.5, 3), "1234.500");
    EXPECT_EQ(FormatG7(-1.5e-5), "-1.5e-005");
    EXPECT_EQ(FormatG7(0.25), "0.25");
}

struct FormatCase {
    double value;
    const char* text;
};

class FormatG7Test : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatG7Test, WritesThreeDigitExponents) {
    EXPECT_EQ(FormatG7(GetParam().value), QByteArray(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatG7Test,
    testing::Values(FormatCase{0.0, "0"}, FormatCase{1.0, "1"}, FormatCase{double(0.1f), "0.1"},
                    FormatCase{-2.5, "-2.5"}, FormatCase{1e10, "1e+010"},
                    FormatCase{1.5e-5, "1.5e-005"}, FormatCase{123456789.0, "1.234568e+008"},
                    FormatCase{1e100, "1e+100"},
                    FormatCase{double(std::numeric_limits<float>::max()), "3.402823e+038"}),
    RowName);

TEST(FormatFixed, WritesThreeDecimals) {
    EXPECT_EQ(FormatFixed(1234.5, 3), "1234.500");
    EXPECT_EQ(FormatFixed(0.5, 3), "0.500");
    EXPECT_EQ(FormatFixed(-0.0005, 3), "-0.001");
    // The widest float still fits the formatter.
    EXPECT_EQ(FormatFixed(double(std::numeric_limits<float>::max()), 3).size(), 43);
}

} // namespace
} // namespace corvina
