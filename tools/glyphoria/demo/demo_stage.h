// What each scripted demo session (either form of the plug-in) does around
// its own steps: the run itself (the output folder prepared, the session's
// environment, the shop, the console captured while the steps run, then the
// shop's requests, the places and the summary), the narration of the steps,
// the pictures of the page, and the host's state taken down whatever
// happened. A session's Impl derives from it and brings its steps.
#pragma once

#include <boost/function.hpp>
#include <memory>
#include <string>
#include <vector>

#include "host/core/document.h"
#include "host/sdk/services.h"
#include "testing/shop/shop.h"
#include "tools/glyphoria/demo/demo_report.h"
#include "tools/glyphoria/demo/demo_session.h"
#include "tools/glyphoria/demo/output_folder.h"
#include "tools/glyphoria/demo/page_facts.h"
#include "tools/glyphoria/demo/stdout_capture.h"

namespace glyphoria::demo {

struct DemoStage {
    explicit DemoStage(int step_count) : step_count_(step_count) {}
    virtual ~DemoStage();

    DemoOptions options;
    OutputFolder folder;
    std::unique_ptr<testing::shop::Shop> shop;
    DemoReport report;
    StdoutCapture* capture = nullptr;
    bool ran = false;

    // The host's state of the session, undone by TearDown.
    bool module_loaded = false;
    bool started = false;
    hostcore::Document* doc = nullptr;
    ActionID sampler_action = 0;
    ActionID restore_action = 0;
    int picture_number = 0;

    void Say(const std::string& line);
    void BeginStep(const std::string& title);
    // Ends the session with why; false.
    bool Stop(const std::string& why);
    std::string FontName(const std::string& id) const;
    int16 ActionState(ActionID id) const;
    std::vector<FrameFacts> Frames() const;
    void Picture(const std::string& stem, const std::string& what);
    // Finds Glyphoria > Sampler and Glyphoria > Restore text frame among the
    // host's menu entries (after the module loaded); false when one is missing.
    bool FindMenuEntries();
    // Shuts the plug-ins down if started, closes the documents, unloads the
    // modules.
    void TearDown();

    // The run: prepare(error) once the environment points into the output
    // folder and the shop runs (the preferences a vendor hands out), then
    // steps() with standard output captured, TearDown when they stopped
    // early. prefs_file is named among the places. Once per object.
    DemoReport RunSession(const boost::function<bool(std::string*)>& prepare,
                          const boost::function<bool()>& steps, const std::string& banner,
                          const boost::function<std::string()>& prefs_file);

  private:
    int step_count_;
};

std::string ReadText(const std::string& path);
std::string Join(const std::vector<std::string>& parts, const char* separator);
// "headline", or "#3" for a frame without a name.
std::string NameOf(const FrameFacts& frame, std::size_t index);

}  // namespace glyphoria::demo
