// How single values are spelled: every type, and floats that come back with the same bits.
#include "scalar_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace grindle;

namespace {

std::string spell(const Value &v) {
    std::string s;
    appendScalar(s, v);
    return s;
}

std::uint32_t bitsOf(float f) {
    std::uint32_t u = 0;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

Value parsed(std::string_view token) {
    Value v;
    const std::string problem = parseScalar(token, v);
    EXPECT_EQ(problem, "") << token;
    return v;
}

std::string rejection(std::string_view token) {
    Value v;
    return parseScalar(token, v);
}

// The shortest text that reads back to `f`, as to_chars gives it, made to look like a float.
std::string general(float f) {
    char buf[64];
    std::string s(buf, std::to_chars(buf, buf + sizeof buf, f).ptr);
    return s.find_first_of(".en") == std::string::npos ? s + ".0" : s;
}

// Every float is spelled as to_chars spells it, comes back bit for bit and is never spelled like an
// integer.
void expectFloatRoundTrip(float f) {
    const std::string text = spell(Value::makeFloat(f));
    ASSERT_EQ(text, general(f));
    ASSERT_NE(text.find_first_of(".en"), std::string::npos) << text;
    const Value back = parsed(text);
    ASSERT_EQ(back.type, ValueType::Float) << text;
    ASSERT_EQ(bitsOf(back.real), bitsOf(f)) << text;
}

} // namespace

TEST(ScalarText, EachTypeIsToldApartByItsSpelling) {
    EXPECT_EQ(spell(Value::makeBool(true)), "true");
    EXPECT_EQ(spell(Value::makeInt(-42)), "-42");
    EXPECT_EQ(spell(Value::makeFloat(2.5f)), "2.5");
    EXPECT_EQ(spell(Value::makeFloat(100.0f)), "100.0");
    EXPECT_EQ(spell(Value::makeFloat(-0.0f)), "-0.0");
    EXPECT_EQ(spell(Value::makeString("a: b")), "\"a: b\"");

    EXPECT_EQ(parsed("100").type, ValueType::Int);
    EXPECT_EQ(parsed("100.0").type, ValueType::Float);
    EXPECT_EQ(parsed("1e3").type, ValueType::Float);
    EXPECT_EQ(parsed("\"100\"").type, ValueType::String);
    EXPECT_EQ(parsed("FALSE").type, ValueType::Bool);
    EXPECT_FALSE(parsed("False").boolean);
    EXPECT_EQ(parsed("+7").integer, 7);
    EXPECT_EQ(parsed("-inf").real, -std::numeric_limits<float>::infinity());
}

// Integers are spelled two digits at a time: every digit count and sign must give to_chars' text.
TEST(ScalarText, IntegersAreSpelledAsToCharsSpellsThem) {
    std::vector<std::int32_t> values = {std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::int32_t>::max()};
    for (std::int64_t p = 1; p <= 1000000000; p *= 10) {
        for (const std::int64_t v : {p - 1, p, p + 1, 2 * p - 1, 5 * p + 3, 9 * p + p - 1})
            values.insert(values.end(), {static_cast<std::int32_t>(v), static_cast<std::int32_t>(-v)});
    }
    std::uint32_t bits = 7;
    for (int i = 0; i < 100000; ++i) {
        bits = bits * 1664525u + 1013904223u;
        values.push_back(static_cast<std::int32_t>(bits >> (bits % 31)));
    }
    for (const std::int32_t v : values) {
        char buf[16];
        ASSERT_EQ(spell(Value::makeInt(v)), std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr));
    }
}

TEST(ScalarText, IntegersCoverExactlyThe32BitRange) {
    EXPECT_EQ(parsed("2147483647").integer, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(parsed("-2147483648").integer, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(spell(Value::makeInt(std::numeric_limits<std::int32_t>::min())), "-2147483648");
    EXPECT_NE(rejection("2147483648").find("32-bit"), std::string::npos);
    EXPECT_NE(rejection("-2147483649").find("32-bit"), std::string::npos);
}

TEST(ScalarText, FloatsReadBackToTheSameBits) {
    for (float f : {0.0f, -0.0f, 0.1f, 1.0f / 3.0f, 16777216.0f, 1e10f, FLT_MIN, FLT_MAX, -FLT_MAX,
                    FLT_TRUE_MIN, -FLT_TRUE_MIN, FLT_EPSILON, std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()})
        expectFloatRoundTrip(f);
    // Every exponent with scattered mantissas, all non-NaN patterns of which are valid floats.
    std::uint32_t bits = 12345;
    for (int i = 0; i < 200000; ++i) {
        bits = bits * 1664525u + 1013904223u;
        float f = 0.0f;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isnan(f))
            expectFloatRoundTrip(f);
    }
}

// Short decimals take a shortcut both ways; it must give exactly what the general routines give.
// Every float that the writer's shortcut can take is the float of some hundredths below 10,000.
TEST(ScalarText, ShortDecimalsAreSpelledAndReadAsInGeneral) {
    const auto fromChars = [](const std::string &s) {
        float f = 0.0f;
        std::from_chars(s.data(), s.data() + s.size(), f);
        return bitsOf(f);
    };
    for (std::int32_t n = -1000000; n <= 1000000; ++n) {
        const float f = static_cast<float>(n / 100.0);
        for (const float g : {f, std::nextafter(f, 1e9f)}) {
            const std::string text = spell(Value::makeFloat(g));
            ASSERT_EQ(text, general(g)) << n;
            ASSERT_EQ(bitsOf(parsed(text).real), bitsOf(g)) << text;
        }
    }
    // Up to seven digits with the point anywhere, signs, and the forms left to the general reader.
    std::uint32_t r = 99;
    for (int i = 0; i < 100000; ++i) {
        r = r * 1664525u + 1013904223u;
        std::string text = std::to_string(r % 100000000u);
        text.insert(1 + (r >> 8) % text.size(), ".");
        if (r & 0x80000000u)
            text.insert(0, "-");
        ASSERT_EQ(bitsOf(parsed(text).real), fromChars(text)) << text;
    }
    for (const std::string text : {"0.5", "-0.0", "00.25", ".5", "5.", "1234567.8", "0.00000001"})
        EXPECT_EQ(bitsOf(parsed(text).real), fromChars(text)) << text;
}

TEST(ScalarText, StringsNeedNoEscapes) {
    EXPECT_EQ(parsed("\"say \"hi\"; ok\"").text, "say \"hi\"; ok");
    EXPECT_EQ(parsed("\"\"").text, "");
    EXPECT_EQ(parsed("\"c:\\dir\\{x}\"").text, "c:\\dir\\{x}");
    EXPECT_EQ(parsed("\"\xE9\x93\x94\x81\"").text, "\xE9\x93\x94\x81"); // code page 1252 bytes pass through
    EXPECT_EQ(spell(Value::makeString("say \"hi\"")), "\"say \"hi\"\"");
}

TEST(ScalarText, MalformedValuesAreRejected) {
    for (const char *bad : {"", "Marine", "\"open", "\"", "12abc", "1.5.2", "0x10", "1e", "+-5", "+", "tru"})
        EXPECT_NE(rejection(bad), "") << bad;
    EXPECT_NE(rejection("nan").find("NaN"), std::string::npos);
    EXPECT_NE(rejection("1e39").find("range"), std::string::npos);
    EXPECT_NE(rejection("\"a\rb\"").find("line break"), std::string::npos);
}
