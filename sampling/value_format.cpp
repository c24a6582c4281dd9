#include "sampling/value_format.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace glyphoria {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipSpace(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
        ++p;
    return p;
}

const char* SkipDigits(const char* p) {
    while (IsDigit(*p))
        ++p;
    return p;
}

}  // namespace

std::size_t FormatInt(int value, char* out) {
    auto result = std::to_chars(out, out + kNumberTextSize - 1, value);
    *result.ptr = '\0';
    return static_cast<std::size_t>(result.ptr - out);
}

std::size_t FormatReal(double value, char* out) {
    // to_chars spells infinities and NaN as "inf" and "nan"; they read back as
    // 0, which is what any size or colour treats as "nothing".
    auto result = std::to_chars(out, out + kNumberTextSize - 1, value, std::chars_format::fixed, 3);
    if (result.ec != std::errc()) {
        out[0] = '0';
        out[1] = '\0';
        return 1;
    }
    *result.ptr = '\0';
    return static_cast<std::size_t>(result.ptr - out);
}

int ParseInt(const char* text) {
    if (!text) return 0;
    const char* p = SkipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    for (; IsDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float ParseReal(const char* text) {
    if (!text) return 0;
    const char* p = SkipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // Find the extent of the number first, so that from_chars never sees
    // spellings outside the label format ("inf", "nan", hexadecimal).
    const char* start = p;
    const char* end = SkipDigits(p);
    bool has_digits = end != start;
    if (*end == '.') {
        const char* fraction_end = SkipDigits(end + 1);
        has_digits = has_digits || fraction_end != end + 1;
        end = fraction_end;
    }
    if (!has_digits) return 0;
    if (*end == 'e' || *end == 'E') {
        const char* q = end + 1;
        if (*q == '+' || *q == '-') ++q;
        if (IsDigit(*q)) end = SkipDigits(q);
    }
    double value = 0;
    auto result = std::from_chars(start, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range either way: tiny numbers read as 0, huge ones as the
        // largest float. Decide by the exponent's sign.
        const char* e = std::strpbrk(start, "eE");
        bool tiny = e && e < end && e[1] == '-';
        value = tiny ? 0.0 : DBL_MAX;
    } else if (result.ec != std::errc()) {
        return 0;
    }
    if (value > FLT_MAX) value = FLT_MAX;
    return static_cast<float>(negative ? -value : value);
}

int TruncateToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT_MAX;
    if (value <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace glyphoria
