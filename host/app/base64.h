// Base64 (RFC 4648, with padding) for pictures kept inside document files.
#pragma once

#include <string>

namespace hostapp {

std::string Base64Encode(const std::string& bytes);
// false on characters outside the alphabet or a bad length; whitespace is
// skipped.
bool Base64Decode(const std::string& text, std::string* bytes);

}  // namespace hostapp
