#pragma once
// The C run-time pieces the clock's arithmetic relies on, with the exact results
// the system expects on every platform: the process-wide random generator, the
// seed source, MulDiv, and atoi-style number parsing with defined overflow
// behaviour.
#include <QStringView>
#include <functional>
#include <string_view>

namespace crt {

// Largest value rand() returns.
inline constexpr int RAND_MAX_VALUE = 32767;

// The process-wide linear congruential generator: x = x * 214013 + 2531011,
// result (x >> 16) & 0x7FFF. Seeded with 1 until srand() is called, so an
// unseeded run starts 41, 18467, 6334, 26500, 19169. Safe to call from any
// thread (each call takes one step of the one shared sequence).
int rand();
void srand(unsigned seed);

// A fresh seed for a generator that should differ from run to run (the random
// device's). SetSeedSource replaces it, so that tests draw the same numbers
// twice; an empty source restores the device.
unsigned Seed();
void SetSeedSource(std::function<unsigned()> source);

// number * numerator / denominator with a 64-bit intermediate product, rounded
// to the nearest integer (halves away from zero). Returns -1 when denominator
// is 0 or the magnitude of the result exceeds INT_MAX.
int MulDiv(int number, int numerator, int denominator);

// atoi with defined behaviour: leading blanks (space, tab, line breaks) are
// skipped, then an optional sign and decimal digits are read; whatever follows
// the digits is ignored. No digits gives 0. A value beyond the int range
// saturates at INT_MAX or INT_MIN.
int atoi(std::string_view text);
int atoi(QStringView text);

// The same reading, reporting whether any digit was found (for callers that must
// tell "0" from "no number").
bool ParseInt(QStringView text, int& value);

} // namespace crt
