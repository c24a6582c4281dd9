#include "host/app/frame_lookup.h"

#include <cstdlib>

namespace hostapp {

std::vector<UID> FramesInLayoutOrder(const hostcore::DocModel& m) {
    std::vector<UID> out;
    for (UID u : m.LayoutOrder()) {
        const hostcore::Node* n = m.FindNode(u);
        if (n && n->kind == hostcore::NodeKind::kFrame) out.push_back(u);
    }
    return out;
}

bool LookUpFrames(const hostcore::DocModel& m, const std::vector<std::string>& names,
                  std::vector<UID>* out, std::string* error) {
    std::vector<UID> frames = FramesInLayoutOrder(m);
    for (const std::string& name : names) {
        if (name.size() > 1 && name[0] == '#') {
            char* end = nullptr;
            long i = std::strtol(name.c_str() + 1, &end, 10);
            if (*end != '\0' || i < 0 || i >= static_cast<long>(frames.size())) {
                *error = "no frame " + name + " (the document has " +
                         std::to_string(frames.size()) + ")";
                return false;
            }
            out->push_back(frames[static_cast<size_t>(i)]);
            continue;
        }
        bool found = false;
        for (UID u : frames) {
            if (m.FindNode(u)->name == name) {
                out->push_back(u);
                found = true;
            }
        }
        if (!found) {
            *error = "no frame named \"" + name + "\"";
            return false;
        }
    }
    return true;
}

std::string DescribeFrame(const hostcore::DocModel& m, UID uid) {
    std::vector<UID> frames = FramesInLayoutOrder(m);
    const hostcore::Node* n = m.FindNode(uid);
    std::string name = n && !n->name.empty() ? n->name : "";
    if (name.empty()) {
        for (size_t i = 0; i < frames.size(); ++i)
            if (frames[i] == uid) name = "#" + std::to_string(i);
    }
    return name + " (uid " + std::to_string(uid) + ")";
}

}  // namespace hostapp
