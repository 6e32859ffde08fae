// Checked integer arithmetic at the limits of 32 and 64 bits.
#include "base/Checked.h"

#include <gtest/gtest.h>

namespace {

struct Case32 {
    const char* name;
    int32_t (*op)(int32_t, int32_t);
    int32_t a, b;
    bool overflows;
    int32_t expected;
};

TEST(Checked, Int32AtTheLimits) {
    const Case32 cases[] = {
        {"add max+0", CheckedAdd, INT32_MAX, 0, false, INT32_MAX},
        {"add max+1", CheckedAdd, INT32_MAX, 1, true, 0},
        {"add min+-1", CheckedAdd, INT32_MIN, -1, true, 0},
        {"add min+max", CheckedAdd, INT32_MIN, INT32_MAX, false, -1},
        {"sub min-1", CheckedSub, INT32_MIN, 1, true, 0},
        {"sub 0-min", CheckedSub, 0, INT32_MIN, true, 0},
        {"sub -1-min", CheckedSub, -1, INT32_MIN, false, INT32_MAX},
        {"mul min*-1", CheckedMul, INT32_MIN, -1, true, 0},
        {"mul 65536*32768", CheckedMul, 65536, 32768, true, 0},
        {"mul 65536*-32768", CheckedMul, 65536, -32768, false, INT32_MIN},
        {"mul 46341*46341", CheckedMul, 46341, 46341, true, 0},
        {"mul 46340*46340", CheckedMul, 46340, 46340, false, 2147395600},
    };
    for (const Case32& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.overflows) {
            try {
                c.op(c.a, c.b);
                ADD_FAILURE() << "no overflow raised";
            } catch (const EIntOverflow& e) {
                EXPECT_EQ("Integer overflow", e.Message());
            }
        } else {
            EXPECT_EQ(c.expected, c.op(c.a, c.b));
        }
    }
}

TEST(Checked, Int64AtTheLimits) {
    EXPECT_THROW(CheckedAdd(INT64_MAX, int64_t{1}), EIntOverflow);
    EXPECT_THROW(CheckedSub(INT64_MIN, int64_t{1}), EIntOverflow);
    EXPECT_THROW(CheckedMul(INT64_MIN, int64_t{-1}), EIntOverflow);
    EXPECT_EQ(INT64_MAX, CheckedAdd(INT64_MAX - 1, int64_t{1}));
    EXPECT_EQ(int64_t{1} << 62, CheckedMul(int64_t{1} << 31, int64_t{1} << 31));
}

TEST(Checked, IncrementAndNarrowing) {
    int32_t counter = INT32_MAX - 1;
    CheckedInc(counter);
    EXPECT_EQ(INT32_MAX, counter);
    EXPECT_THROW(CheckedInc(counter), EIntOverflow);
    EXPECT_EQ(INT32_MAX, counter) << "a failed increment must leave the value alone";
    int32_t low = INT32_MIN;
    EXPECT_THROW(CheckedDec(low), EIntOverflow);
    int64_t wide = INT64_MAX;
    EXPECT_THROW(CheckedInc(wide), EIntOverflow);

    EXPECT_EQ(INT32_MIN, CheckedToInt32(int64_t{INT32_MIN}));
    EXPECT_THROW(CheckedToInt32(int64_t{INT32_MAX} + 1), EIntOverflow);
    EXPECT_THROW(CheckedToInt32(int64_t{INT32_MIN} - 1), EIntOverflow);
}

} // namespace
