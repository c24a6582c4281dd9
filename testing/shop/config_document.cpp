#include "testing/shop/config_document.h"

#include <algorithm>
#include <cstdlib>

namespace glyphoria::testing::shop {

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& key) {
    return std::find(list.begin(), list.end(), key) != list.end();
}

std::string ApplyCase(const std::string& name, NameCase name_case) {
    std::string out = name;
    switch (name_case) {
        case NameCase::kAsIs:
            break;
        case NameCase::kUpper:
            for (char& c : out)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            break;
        case NameCase::kLower:
            for (char& c : out)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            break;
        case NameCase::kCapitalised:
            if (!out.empty() && out[0] >= 'a' && out[0] <= 'z')
                out[0] = static_cast<char>(out[0] - 'a' + 'A');
            break;
    }
    return out;
}

std::string EscapeText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out.push_back(c);
    }
    return out;
}

}  // namespace

const std::vector<std::string>& ConfigKeys() {
    static const std::vector<std::string> keys = {"cartUrl", "mlSamplerUrl", "search", "homepage",
                                                  "sampleSizeFactor"};
    return keys;
}

ConfigOptions ApplyConfigQuery(ConfigOptions options, const Query& query) {
    if (auto omit = query.Get("omit")) options.omit = SplitList(*omit);
    if (auto empty = query.Get("empty")) options.empty = SplitList(*empty);
    if (auto only = query.Get("only")) options.only = SplitList(*only);
    if (auto name_case = query.Get("case")) {
        if (*name_case == "upper") options.name_case = NameCase::kUpper;
        if (*name_case == "lower") options.name_case = NameCase::kLower;
        if (*name_case == "capitalised") options.name_case = NameCase::kCapitalised;
    }
    if (auto extra = query.Get("extra")) options.extra_elements = *extra == "1";
    if (auto malformed = query.Get("malformed")) options.malformed = *malformed == "1";
    if (auto status = query.Get("status")) {
        int value = std::atoi(status->c_str());
        if (value >= 100 && value <= 599) options.status = value;
    }
    for (const auto& item : query.items())
        if (item.first.rfind("set.", 0) == 0) options.values[item.first.substr(4)] = item.second;
    return options;
}

std::string BuildConfigDocument(const std::map<std::string, std::string>& standard_values,
                                const ConfigOptions& options) {
    std::string doc;
    if (options.extra_elements) doc += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    doc += "<glyphoria>\n";
    if (options.extra_elements)
        doc += "  <!-- shop settings -->\n  <shopName>Glyphoria Test Shop</shopName>\n";
    for (const std::string& key : ConfigKeys()) {
        if (Contains(options.omit, key)) continue;
        if (!options.only.empty() && !Contains(options.only, key)) continue;
        std::string value;
        auto override_it = options.values.find(key);
        auto standard_it = standard_values.find(key);
        if (override_it != options.values.end())
            value = override_it->second;
        else if (standard_it != standard_values.end())
            value = standard_it->second;
        if (Contains(options.empty, key)) value.clear();
        std::string name = ApplyCase(key, options.name_case);
        doc += "  <" + name + ">" + EscapeText(value) + "</" + name + ">\n";
        if (options.extra_elements && key == "search")
            doc += "  <mirror region=\"eu\">unused</mirror>\n";
    }
    if (options.extra_elements) doc += "  <version>2</version>\n";
    doc += options.malformed ? "  <broken>\n</glyphorie>\n" : "</glyphoria>\n";
    return doc;
}

}  // namespace glyphoria::testing::shop
