// One whole Glyphoria session, as a designer would have it, run in this
// process: the host framework loads the real plug-in module beside the
// stand-in web-window library, the stand-in shop answers on loopback, and
// every per-user folder points into the output folder (output_folder.h).
//
// The steps: start-up; opening the layout; the sampler window from the menu
// (configuration fetched, start page shown); a try of one font on the text
// frames, a re-try of another on the same frames and one undo; the restore
// from the menu; a purchase (archive probed, fetched, saved, its OpenType
// fonts installed); shutdown. After each change of the page a picture of it
// is written. Each step checks what it did; the report holds it all.
//
// The host's state is process-wide: one session at a time, on one thread.
// The shop keeps running after Run() until the session object goes away, so
// a person can still open the sampler page.
#pragma once

#include <memory>
#include <string>

#include "tools/glyphoria/demo/demo_report.h"
#include "tools/glyphoria/demo/output_folder.h"

namespace glyphoria::demo {

struct DemoOptions {
    std::string output;                // the output folder
    std::string document;              // the layout (a host document file)
    std::string module_folder;         // Glyphoria.pln and the web-window library
    std::string first_font = "1004";   // shop ids: TeX Gyre Cursor,
    std::string second_font = "1005";  // then Cantarell
    std::string buy_link = "/download/ok/GlyphoriaFonts.zip";  // the cart's "all fonts" link
    double picture_scale = 1.5;                                // pixels per point
    bool narrate = true;  // a line on standard output as each step begins
};

class DemoSession {
  public:
    explicit DemoSession(DemoOptions options);
    ~DemoSession();
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    // Runs the session and returns what happened; report.Passed() says
    // whether it ran to its end with every check holding. A second call only
    // reports that a session object runs once.
    DemoReport Run();

    // The shop's addresses while it runs (after Run), else empty.
    std::string ShopUrl() const;
    std::string SamplerPageUrl() const;
    const OutputFolder& output() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace glyphoria::demo
