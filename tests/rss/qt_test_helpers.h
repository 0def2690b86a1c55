#pragma once
// GoogleTest helpers for Qt: readable strings in failure messages, and waits on
// a condition that fail the test (QtTest's own QTRY macros report to QtTest,
// not to GoogleTest). The waits need <QTest>, which GUI suites include.
#include <QString>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Processes events until the condition holds (at most 5 s); fails the test
// and leaves it otherwise.
#define WAIT_UNTIL(condition) ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); })) << #condition

// The same until actual == expected, showing both values when they never match.
#define WAIT_EQ(actual, expected)                                                                            \
    do {                                                                                                     \
        if (!QTest::qWaitFor([&] { return (actual) == (expected); })) {                                      \
            ASSERT_EQ(actual, expected);                                                                     \
        }                                                                                                    \
    } while (false)
