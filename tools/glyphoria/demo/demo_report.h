// What a demo session did and found, step by step, and the short summary a
// person reads at the end: what happened at each step, every check with
// "ok" or "FAILED", and where the pictures, the log and the preferences are.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace glyphoria::demo {

struct DemoCheck {
    std::string what;  // "the headline came back as it was"
    bool holds = false;
    std::string detail;  // why not, or a fact worth seeing
};

struct DemoStep {
    std::string title;
    std::vector<std::string> happened;  // one line per event
    std::vector<DemoCheck> checks;
};

struct DemoReport {
    std::vector<DemoStep> steps;
    // Set when a step could not go on; the steps after it did not run.
    std::string stopped;
    // (what, path) in the order they are shown.
    std::vector<std::pair<std::string, std::string>> places;
    std::vector<std::string> notes;

    DemoStep& Begin(const std::string& title);
    // Adds a check to the current step and returns holds.
    bool Check(const std::string& what, bool holds, const std::string& detail = {});
    void Happened(const std::string& line);

    int CheckCount() const;
    int FailedCount() const;
    // The session ran to its end and every check holds.
    bool Passed() const;
    const DemoCheck* FindCheck(const std::string& what) const;
};

std::string FormatSummary(const DemoReport& report);

}  // namespace glyphoria::demo
