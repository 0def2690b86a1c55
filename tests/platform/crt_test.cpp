#include "platform/crt.h"

#include <QString>
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

TEST(CrtRandTest, SeedOneGivesTheKnownSequence)
{
    crt::srand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (const int value : expected)
        EXPECT_EQ(crt::rand(), value);
}

TEST(CrtRandTest, ReseedingRepeatsTheSequenceAndStaysInRange)
{
    crt::srand(12345);
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i) {
        first.push_back(crt::rand());
        ASSERT_GE(first.back(), 0);
        ASSERT_LE(first.back(), crt::RAND_MAX_VALUE);
    }
    crt::srand(12345);
    for (const int value : first)
        EXPECT_EQ(crt::rand(), value);
}

TEST(CrtRandTest, ConcurrentCallersShareOneSequence)
{
    // Four threads draw 1000 numbers each: together they take exactly the first
    // 4000 steps of the sequence, none lost or repeated.
    crt::srand(7);
    std::vector<int> expected;
    for (int i = 0; i < 4000; ++i)
        expected.push_back(crt::rand());
    crt::srand(7);
    std::vector<std::vector<int>> drawn(4);
    std::vector<std::thread> threads;
    for (auto& out : drawn)
        threads.emplace_back([&out] {
            for (int i = 0; i < 1000; ++i)
                out.push_back(crt::rand());
        });
    for (auto& t : threads)
        t.join();
    std::vector<int> all;
    for (const auto& out : drawn)
        all.insert(all.end(), out.begin(), out.end());
    std::sort(all.begin(), all.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(all, expected);
}

TEST(CrtMulDivTest, Table)
{
    struct Case
    {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {10, 96, 72, 13},                     // 13.33 -> 13
        {10, 120, 72, 17},                    // 16.67 -> 17
        {3, 1, 2, 2},                         // 1.5 rounds away from zero
        {-3, 1, 2, -2},                       // -1.5 rounds away from zero
        {3, -1, 2, -2},                       //
        {3, 1, -2, -2},                       //
        {-3, -1, -2, -2},                     //
        {1, 1, 3, 0},                         //
        {2, 1, 3, 1},                         //
        {5, 7, 0, -1},                        // division by zero
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, // 64-bit intermediate product
        {INT_MAX, 2, 1, -1},                  // result out of range
        {INT_MIN, 1, 1, -1},                  // |result| beyond INT_MAX
        {INT_MIN, -1, 1, -1},                 //
        {INT_MIN, 1, 2, INT_MIN / 2},         //
        {0, 5, 3, 0},                         //
    };
    for (const auto& c : cases)
        EXPECT_EQ(crt::MulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}

TEST(CrtAtoiTest, Table)
{
    struct Case
    {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"42", 42},
        {"  \t42", 42},
        {"42abc", 42},
        {"-17", -17},
        {"+17", 17},
        {"- 1", 0},
        {"--1", 0},
        {"007", 7},
        {"12/31", 12},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999999", INT_MIN},
        {"0x1F", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(crt::atoi(std::string_view(c.text)), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(crt::atoi(QString::fromUtf8(c.text)), c.expected) << '"' << c.text << '"';
    }
}

TEST(CrtAtoiTest, ParseIntTellsZeroFromNoNumber)
{
    int value = -1;
    EXPECT_TRUE(crt::ParseInt(u" 0", value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(crt::ParseInt(u"x1", value));
    EXPECT_EQ(value, 0);
    // Full-width digits are not digits.
    EXPECT_FALSE(crt::ParseInt(u"\uFF11", value));
}

} // namespace
