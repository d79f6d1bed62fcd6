// The number a caption or a stored setting begins with.
#include "core/NumberText.h"

#include <gtest/gtest.h>

TEST(NumberAtStart, LeadingNumberRoundedHalfToEven)
{
    const std::pair<const char*, int> cases[] = {
        {"05 %", 5}, {"100 %", 100}, {"%", 0},  {"2.5 %", 2}, {"3.5 %", 4},
        {" 7", 7},   {"-3", -3},     {".5", 0}, {"1.5.3", 2}, {"99999999999 %", 2147483647},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(NumberAtStart(text), number) << text;
}
