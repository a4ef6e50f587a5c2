#pragma once
// A Decimal written in a test as plain text ("-12.345"); a text that does not read as
// one fails the test.
#include "data/decimal.h"

#include <gtest/gtest.h>

inline Decimal dec(const char *plain)
{
    bool ok = false;
    const Decimal d = Decimal::fromPlain(plain, &ok);
    EXPECT_TRUE(ok) << plain;
    return d;
}
