#include "platform/crt.h"

#include <atomic>
#include <climits>
#include <cstdint>
#include <random>

namespace crt {
namespace {

std::atomic<std::uint32_t> g_state{1};

constexpr std::uint32_t Step(std::uint32_t x)
{
    return x * 214013u + 2531011u;
}

char32_t Code(char c)
{
    return static_cast<unsigned char>(c);
}
char32_t Code(QChar c)
{
    return c.unicode();
}

bool IsBlank(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Shared by the narrow and wide readers: Text is any range of characters.
template <typename Text> bool ParseDecimal(const Text& text, int& value)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(Code(text[i])))
        ++i;
    bool negative = false;
    if (i < n && (Code(text[i]) == '+' || Code(text[i]) == '-')) {
        negative = Code(text[i]) == '-';
        ++i;
    }
    // Accumulate as a negative number so INT_MIN is reachable without overflow.
    long long acc = 0;
    bool digits = false;
    for (; i < n; ++i) {
        const char32_t c = Code(text[i]);
        if (c < '0' || c > '9')
            break;
        digits = true;
        if (acc > -(static_cast<long long>(INT_MAX) + 2)) // stop growing once out of range
            acc = acc * 10 - static_cast<long long>(c - '0');
    }
    if (negative)
        value = acc < INT_MIN ? INT_MIN : static_cast<int>(acc);
    else
        value = -acc > INT_MAX ? INT_MAX : static_cast<int>(-acc);
    return digits;
}

} // namespace

int rand()
{
    std::uint32_t x = g_state.load(std::memory_order_relaxed);
    while (!g_state.compare_exchange_weak(x, Step(x), std::memory_order_relaxed)) {
    }
    return static_cast<int>((Step(x) >> 16) & 0x7FFFu);
}

void srand(unsigned seed)
{
    g_state.store(seed, std::memory_order_relaxed);
}

namespace {

std::function<unsigned()>& SeedSource()
{
    static std::function<unsigned()> source;
    return source;
}

} // namespace

unsigned Seed()
{
    if (const auto& source = SeedSource())
        return source();
    return std::random_device{}();
}

void SetSeedSource(std::function<unsigned()> source)
{
    SeedSource() = std::move(source);
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t divisor = denominator;
    const bool negative = (product < 0) != (divisor < 0);
    const std::uint64_t p = product < 0 ? 0 - static_cast<std::uint64_t>(product) : product;
    const std::uint64_t d = divisor < 0 ? 0 - static_cast<std::uint64_t>(divisor) : divisor;
    const std::uint64_t q = (p + d / 2) / d;
    if (q > static_cast<std::uint64_t>(INT_MAX))
        return -1;
    return negative ? static_cast<int>(-static_cast<std::int64_t>(q)) : static_cast<int>(q);
}

int atoi(std::string_view text)
{
    int value = 0;
    ParseDecimal(text, value);
    return value;
}

int atoi(QStringView text)
{
    int value = 0;
    ParseDecimal(text, value);
    return value;
}

bool ParseInt(QStringView text, int& value)
{
    return ParseDecimal(text, value);
}

} // namespace crt
