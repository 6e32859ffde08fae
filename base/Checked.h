// Integer arithmetic that raises EIntOverflow ("Integer overflow") instead of wrapping.
#pragma once

#include <cstdint>

#include "base/Exceptions.h"

namespace checked_detail {
template <typename T> inline T Fail() {
    throw EIntOverflow();
}
} // namespace checked_detail

inline int32_t CheckedAdd(int32_t a, int32_t b) {
    int32_t r;
    return __builtin_add_overflow(a, b, &r) ? checked_detail::Fail<int32_t>() : r;
}
inline int32_t CheckedSub(int32_t a, int32_t b) {
    int32_t r;
    return __builtin_sub_overflow(a, b, &r) ? checked_detail::Fail<int32_t>() : r;
}
inline int32_t CheckedMul(int32_t a, int32_t b) {
    int32_t r;
    return __builtin_mul_overflow(a, b, &r) ? checked_detail::Fail<int32_t>() : r;
}
inline int64_t CheckedAdd(int64_t a, int64_t b) {
    int64_t r;
    return __builtin_add_overflow(a, b, &r) ? checked_detail::Fail<int64_t>() : r;
}
inline int64_t CheckedSub(int64_t a, int64_t b) {
    int64_t r;
    return __builtin_sub_overflow(a, b, &r) ? checked_detail::Fail<int64_t>() : r;
}
inline int64_t CheckedMul(int64_t a, int64_t b) {
    int64_t r;
    return __builtin_mul_overflow(a, b, &r) ? checked_detail::Fail<int64_t>() : r;
}

inline void CheckedInc(int32_t& value, int32_t by = 1) {
    value = CheckedAdd(value, by);
}
inline void CheckedDec(int32_t& value, int32_t by = 1) {
    value = CheckedSub(value, by);
}
inline void CheckedInc(int64_t& value, int64_t by = 1) {
    value = CheckedAdd(value, by);
}
inline void CheckedDec(int64_t& value, int64_t by = 1) {
    value = CheckedSub(value, by);
}

// Narrows a 64-bit value to 32 bits, raising EIntOverflow when it does not fit.
inline int32_t CheckedToInt32(int64_t value) {
    return (value < INT32_MIN || value > INT32_MAX) ? checked_detail::Fail<int32_t>()
                                                    : static_cast<int32_t>(value);
}
