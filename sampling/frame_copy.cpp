#include "sampling/frame_copy.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "sampling/frame_facts.h"

namespace glyphoria {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

bool Refuse(std::string* why, const std::string& reason) {
    if (why) *why = reason;
    return false;
}

bool ReadFinite(const json& object, const char* key, double* out) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_number()) return false;
    *out = it->get<double>();
    return std::isfinite(*out);
}

bool ReadUid(const json& object, const char* key, std::uint32_t* out) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_unsigned()) return false;
    const auto value = it->get<std::uint64_t>();
    if (value > std::numeric_limits<std::uint32_t>::max()) return false;
    *out = static_cast<std::uint32_t>(value);
    return true;
}

// A string member; absent reads as "" when optional.
bool ReadString(const json& object, const char* key, std::string* out, bool optional = false) {
    auto it = object.find(key);
    if (it == object.end()) return optional;
    if (!it->is_string()) return false;
    *out = it->get<std::string>();
    return true;
}

bool ReadRun(const json& j, TextRun* run, std::string* why) {
    if (!j.is_object()) return Refuse(why, "a run is not an object");
    if (!ReadString(j, "text", &run->text) || run->text.empty())
        return Refuse(why, "a run without text");
    if (!ReadFinite(j, "size", &run->point_size) || !(run->point_size > 0))
        return Refuse(why, "a run without a positive point size");
    if (!ReadUid(j, "color", &run->colour)) return Refuse(why, "a run without a colour swatch");
    if (!ReadString(j, "font", &run->font_family, true) ||
        !ReadString(j, "style", &run->font_style, true))
        return Refuse(why, "a run's font is not text");
    return true;
}

bool ReadLabels(const json& j, std::map<std::string, std::string>* labels, std::string* why) {
    if (!j.is_object()) return Refuse(why, "labels are not an object");
    for (auto it = j.begin(); it != j.end(); ++it) {
        if (!it.value().is_string()) return Refuse(why, "a label is not text");
        // A restored frame carrying a try's label would look tried again.
        if (it.key().empty() || IsTryLabelKey(it.key()))
            return Refuse(why, "a label key that the frame cannot have");
        (*labels)[it.key()] = it.value().get<std::string>();
    }
    return true;
}

bool ReadPlace(const json& j, FrameCopy* copy, std::string* why) {
    auto bounds = j.find("bounds");
    if (bounds == j.end() || !bounds->is_array() || bounds->size() != 4)
        return Refuse(why, "no bounds [left, top, right, bottom]");
    double edges[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const json& edge = (*bounds)[i];
        if (!edge.is_number() || !std::isfinite(edges[i] = edge.get<double>()))
            return Refuse(why, "bounds that are not finite numbers");
    }
    if (!(edges[2] > edges[0]) || !(edges[3] > edges[1]))
        return Refuse(why, "bounds without a positive width and height");
    copy->left = edges[0];
    copy->top = edges[1];
    copy->right = edges[2];
    copy->bottom = edges[3];
    if (!ReadFinite(j, "rotation", &copy->rotation) || std::fabs(copy->rotation) > kMaxRotation)
        return Refuse(why, "no rotation within one turn");
    if (!ReadFinite(j, "shear", &copy->shear) || !(std::fabs(copy->shear) < kMaxShear))
        return Refuse(why, "no shear short of a right angle");
    if (!ReadString(j, "name", &copy->name)) return Refuse(why, "no name");
    auto labels = j.find("labels");
    if (labels == j.end()) return Refuse(why, "no labels");
    return ReadLabels(*labels, &copy->labels, why);
}

}  // namespace

bool IsTryLabelKey(const std::string& key) {
    return key == kFrameLabelKey || key == kFrameCopyKey;
}

std::string EncodeFrameCopy(const FrameCopy& copy) {
    ordered_json runs = ordered_json::array();
    for (const TextRun& run : copy.runs) {
        ordered_json j{{"text", run.text}, {"size", run.point_size}};
        if (!run.font_family.empty()) j["font"] = run.font_family;
        if (!run.font_style.empty()) j["style"] = run.font_style;
        j["color"] = run.colour;
        runs.push_back(std::move(j));
    }
    const ordered_json j{{"version", kFrameCopyVersion},
                         {"name", copy.name},
                         {"labels", copy.labels},
                         {"fill", copy.fill},
                         {"bounds", {copy.left, copy.top, copy.right, copy.bottom}},
                         {"rotation", copy.rotation},
                         {"shear", copy.shear},
                         {"runs", std::move(runs)}};
    return j.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

bool DecodeFrameCopy(const std::string& text, FrameCopy* copy, std::string* why) {
    if (text.size() > kFrameCopyMaxBytes)
        return Refuse(why, "larger than " + std::to_string(kFrameCopyMaxBytes) + " bytes");
    const json j = json::parse(text, nullptr, false);
    if (j.is_discarded()) return Refuse(why, "not JSON");
    if (!j.is_object()) return Refuse(why, "not a JSON object");
    auto version = j.find("version");
    if (version == j.end() || !version->is_number_integer() ||
        version->get<std::int64_t>() != kFrameCopyVersion)
        return Refuse(why, "not version " + std::to_string(kFrameCopyVersion));

    FrameCopy read;
    if (!ReadPlace(j, &read, why)) return false;
    if (!ReadUid(j, "fill", &read.fill)) return Refuse(why, "no fill swatch");
    auto runs = j.find("runs");
    if (runs == j.end() || !runs->is_array() || runs->empty()) return Refuse(why, "no runs");
    read.runs.reserve(runs->size());
    for (const json& r : *runs) {
        TextRun run;
        if (!ReadRun(r, &run, why)) return false;
        read.runs.push_back(std::move(run));
    }
    // Without its end marker the last paragraph's attributes would be lost.
    if (read.runs.back().text.back() != '\r') return Refuse(why, "a story without its end marker");
    *copy = std::move(read);
    return true;
}

}  // namespace glyphoria
