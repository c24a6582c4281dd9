#include "tools/glyphoria/demo/demo_report.h"

#include <sstream>

namespace glyphoria::demo {

DemoStep& DemoReport::Begin(const std::string& title) {
    steps.push_back(DemoStep{title, {}, {}});
    return steps.back();
}

bool DemoReport::Check(const std::string& what, bool holds, const std::string& detail) {
    if (steps.empty()) Begin("Preparation");
    steps.back().checks.push_back(DemoCheck{what, holds, detail});
    return holds;
}

void DemoReport::Happened(const std::string& line) {
    if (steps.empty()) Begin("Preparation");
    steps.back().happened.push_back(line);
}

int DemoReport::CheckCount() const {
    int n = 0;
    for (const DemoStep& s : steps)
        n += static_cast<int>(s.checks.size());
    return n;
}

int DemoReport::FailedCount() const {
    int n = 0;
    for (const DemoStep& s : steps)
        for (const DemoCheck& c : s.checks)
            if (!c.holds) ++n;
    return n;
}

bool DemoReport::Passed() const {
    return stopped.empty() && CheckCount() > 0 && FailedCount() == 0;
}

const DemoCheck* DemoReport::FindCheck(const std::string& what) const {
    for (const DemoStep& s : steps)
        for (const DemoCheck& c : s.checks)
            if (c.what == what) return &c;
    return nullptr;
}

std::string FormatSummary(const DemoReport& report) {
    std::ostringstream out;
    out << "Glyphoria demo: summary\n";
    for (std::size_t i = 0; i < report.steps.size(); ++i) {
        const DemoStep& step = report.steps[i];
        out << "\n" << i + 1 << ". " << step.title << "\n";
        for (const std::string& line : step.happened)
            out << "   " << line << "\n";
        for (const DemoCheck& check : step.checks) {
            out << "   [" << (check.holds ? "ok" : "FAILED") << "] " << check.what;
            if (!check.detail.empty()) out << ": " << check.detail;
            out << "\n";
        }
    }
    if (!report.stopped.empty()) out << "\nThe session stopped early: " << report.stopped << "\n";
    if (!report.notes.empty()) {
        out << "\nNotes:\n";
        for (const std::string& note : report.notes)
            out << " - " << note << "\n";
    }
    if (!report.places.empty()) {
        out << "\nWhere things are:\n";
        std::size_t width = 0;
        for (const auto& [what, path] : report.places)
            width = std::max(width, what.size());
        for (const auto& [what, path] : report.places)
            out << "  " << what << std::string(width - what.size() + 2, ' ') << path << "\n";
    }
    const int failed = report.FailedCount();
    out << "\n"
        << (report.Passed() ? "PASSED" : "FAILED") << ": " << report.CheckCount() - failed << " of "
        << report.CheckCount() << " checks hold"
        << (report.stopped.empty() ? "" : ", and the session did not run to its end") << ".\n";
    return out.str();
}

}  // namespace glyphoria::demo
