// One whole session of the Mac form, as a designer would have it, run in this
// process and headless: the host framework loads the Mac module
// (GlyphoriaMac.pln), whose windows are the headless stand-ins browsing the
// stand-in shop on loopback, and the designer's hands are the module's
// scripting entry. Every per-user folder points into the output folder, as in
// the other demo (output_folder.h).
//
// The steps: start-up (the shortcut bound at the first idle moment); opening
// the layout; the sampler window from the menu (configuration fetched, start
// page shown); a try of one font on the text frames, a re-try of another and
// Command-Z (Ctrl-Z here) in the sampler window, which takes back the last
// step once; the restore from the menu; a purchase in the purchase window
// (download folder chosen when the archive comes, the archive downloaded
// under the progress bar, its OpenType fonts installed, the window closed);
// shutdown (the sampler window closed, its frame kept). A picture of the page
// after each change; each step checks what it did.
#pragma once

#include <memory>
#include <string>

#include "tools/glyphoria/demo/demo_report.h"
#include "tools/glyphoria/demo/demo_session.h"
#include "tools/glyphoria/demo/output_folder.h"

namespace glyphoria::testing::shop {
class Shop;
}

namespace glyphoria::demo {

// The Mac form's preferences as a vendor hands them to a user: where the
// configuration lives and the sampler window's shortcut key (and, when given,
// the sampler panel's saved frame). Written before start-up; false with
// *error set when they cannot be. *path: the preferences file.
bool WriteMacDemoPreferences(const testing::shop::Shop& shop, const std::string& try_frame,
                             std::string* path, std::string* error);

class MacDemoSession {
  public:
    // options.module_folder holds GlyphoriaMac.pln.
    explicit MacDemoSession(DemoOptions options);
    ~MacDemoSession();
    MacDemoSession(const MacDemoSession&) = delete;
    MacDemoSession& operator=(const MacDemoSession&) = delete;

    // Runs once; a second call only reports that.
    DemoReport Run();
    std::string ShopUrl() const;
    std::string SamplerPageUrl() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace glyphoria::demo
