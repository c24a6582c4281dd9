// How numbers are spelled inside a frame label: integers as "%d", reals as
// "%.3f" (12.000). Reading takes the leading number of a value and ignores what
// follows; a value without a number reads as 0.
//
// Labels travel between machines and between the two builds, so none of this
// depends on the process locale (a host running with a German locale must not
// write "12,000"). Reading never overflows: integers are clamped to the int
// range, reals to the float range (single precision is what the record keeps).
#pragma once

#include <cstddef>

namespace glyphoria {

// Room for any value written by FormatInt / FormatReal, including the NUL.
constexpr std::size_t kNumberTextSize = 400;

// Both write a NUL-terminated text into out (kNumberTextSize bytes) and return
// its length.
std::size_t FormatInt(int value, char* out);
std::size_t FormatReal(double value, char* out);

// Leading white space, an optional sign and the leading decimal digits.
int ParseInt(const char* text);
// Leading white space, then sign, digits, fraction and exponent; reading stops
// at the first other character. Narrowed to single precision.
float ParseReal(const char* text);

// Truncation toward zero that cannot overflow: NaN gives 0, values beyond the
// int range give its nearest end.
int TruncateToInt(float value);

}  // namespace glyphoria
