// Path pieces for the host program's documents, scripts and modules. On
// Windows both "/" and "\" separate and a drive ("C:\", "C:/") or a share
// ("\\server") makes a path absolute; elsewhere only "/" counts.
#pragma once

#include <string>

namespace hostapp {

inline bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

inline bool IsAbsolutePath(const std::string& p) {
    if (!p.empty() && IsSeparator(p[0])) return true;
#ifdef _WIN32
    if (p.size() >= 3 && p[1] == ':' && IsSeparator(p[2])) return true;
#endif
    return false;
}

// The position of the last separator, or npos.
inline std::size_t LastSeparator(const std::string& p) {
    for (std::size_t i = p.size(); i-- > 0;)
        if (IsSeparator(p[i])) return i;
    return std::string::npos;
}

}  // namespace hostapp
