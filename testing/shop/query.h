// Query strings as the shop's services read them.
//
// A raw query ("a=1&b=%23ff0000") is split at "&" and at each piece's first
// "="; names and values are percent-decoded once. "+" stays "+": the plug-in
// encodes a space as "%20" and a plus as "%2B", so reading "+" as a space
// would change text that it sent. A "%" not followed by two hexadecimal
// digits stays as it is. Names are looked up without regard to letter case.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace glyphoria::testing::shop {

std::string PercentDecode(const std::string& text);
// Escapes everything but unreserved characters, for links the shop writes.
std::string PercentEncode(const std::string& text);

class Query {
  public:
    Query() = default;
    // raw: the part after "?" (a leading "?" is skipped too).
    explicit Query(const std::string& raw);

    // First value under the name; nullopt when absent.
    std::optional<std::string> Get(const std::string& name) const;
    std::string GetOr(const std::string& name, const std::string& fallback) const;
    const std::vector<std::pair<std::string, std::string>>& items() const { return items_; }

  private:
    std::vector<std::pair<std::string, std::string>> items_;
};

// Query of a request target ("/path?query"): everything after the first "?".
Query QueryOfTarget(const std::string& target);

// "a,b,,c" -> {"a","b","c"}
std::vector<std::string> SplitList(const std::string& text, char separator = ',');

}  // namespace glyphoria::testing::shop
