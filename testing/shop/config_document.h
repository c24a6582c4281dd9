// The remote configuration document that the shop serves.
//
// A root element "glyphoria" with the five children "cartUrl",
// "mlSamplerUrl", "search", "homepage" and "sampleSizeFactor", in that order,
// each holding its address (or factor) as text. ConfigOptions bends the
// document for tests: children left out, left empty or kept alone, element
// names in another letter case, unrelated extra elements, a document that is
// not well-formed, other values, or an HTTP error instead of the document.
// Values are written with "&", "<" and ">" escaped, as XML requires; the
// standard values contain none of them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "testing/shop/query.h"

namespace glyphoria::testing::shop {

enum class NameCase { kAsIs, kUpper, kLower, kCapitalised };

struct ConfigOptions {
    std::vector<std::string> omit;   // children left out
    std::vector<std::string> empty;  // children written as <name></name>
    std::vector<std::string> only;   // when not empty: just these children
    NameCase name_case = NameCase::kAsIs;
    bool extra_elements = false;  // declaration, comment and unrelated children too
    bool malformed = false;       // a closing tag is missing and another is wrong
    int status = 200;             // anything else answers that status with a short text
    std::map<std::string, std::string> values;  // value overrides by key
};

// The five keys in document order.
const std::vector<std::string>& ConfigKeys();

// Options from a query, on top of base: "omit", "empty", "only" (comma
// lists), "case" (upper, lower, capitalised), "extra=1", "malformed=1",
// "status=NNN" (100..599) and "set.<key>=<value>" for value overrides.
ConfigOptions ApplyConfigQuery(ConfigOptions base, const Query& query);

// standard_values: key -> value for the five keys (missing keys are empty).
std::string BuildConfigDocument(const std::map<std::string, std::string>& standard_values,
                                const ConfigOptions& options);

}  // namespace glyphoria::testing::shop
