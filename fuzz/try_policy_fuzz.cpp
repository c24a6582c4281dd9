// The sampler window's decision on any address the page navigates to, in the
// headless Mac with the window open. Input: one byte (even: navigation, odd:
// new window), then the address.
//
// Checked: the try and revert flows receive exactly the query behind
// "glyphoria://try?" or "glyphoria://revert?" of an address with one "?",
// and nothing else ever reaches them; at most one thing happens per address;
// an address that runs nothing is loaded ("use"); the window stays open.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "fuzz/fuzz_input.h"
#include "mac/headless/headless_mac.h"
#include "mac/mac_folders.h"
#include "mac/mac_log.h"
#include "mac/mac_strings.h"
#include "mac/plist_prefs.h"
#include "mac/try_controller.h"
#include "mac/vendor_addresses.h"

namespace {

using glyphoria::mac::PolicyDecision;

glyphoria::mac::HeadlessMac* mac = nullptr;
glyphoria::mac::HeadlessWebView* page = nullptr;

// The query behind head + "?" when the address has exactly one "?".
bool QueryOf(const std::string& url, const std::string& head, std::string* query) {
    if (url.compare(0, head.size() + 1, head + "?") != 0) return false;
    *query = url.substr(head.size() + 1);
    return query->find('?') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string& folder = glyphoria::fuzz::ScratchFolder("glyphoria-policy-fuzz-");
    glyphoria::mac::SetApplicationSupportFolder(folder);
    glyphoria::mac::SetSystemLogSink([](const std::string&) {});
    glyphoria::mac::OpenMacPrefs();
    glyphoria::mac::LoadMacStrings(0);
    mac = new glyphoria::mac::HeadlessMac();
    mac->install();
    mac->documents[glyphoria::mac::Vendor().config] =
        "<glyphoria><homepage>http://home.test/</homepage></glyphoria>";
    glyphoria::mac::ToggleSamplerWindow();
    page = mac->nibs.lastTryWebView();
    if (!glyphoria::mac::TryController::isVisible() || !page) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    glyphoria::fuzz::FuzzInput in(data, size);
    const bool new_window = in.Byte() & 1;
    // An address never holds a NUL byte (the web view would have escaped it).
    const std::string url = glyphoria::fuzz::CString(in.Rest());

    // Everything the stand-ins recorded for the last input goes, so a long
    // run does not grow without bound.
    mac->tries.clear();
    mac->reverts.clear();
    mac->workspace.forgetOpenedUrls();
    page->forgetLoads();
    const std::size_t homepages = mac->workspace.openedUrls().size();
    const int purchases = mac->nibs.buyLoads();
    const PolicyDecision decision = new_window ? page->openNewWindow(url) : page->navigate(url);
    mac->application.drain();

    std::string query;
    const bool is_try = QueryOf(url, "glyphoria://try", &query);
    const std::size_t tries = is_try ? 1 : 0;
    if (mac->tries.size() != tries || (is_try && mac->tries[0] != query)) std::abort();
    const bool is_revert = QueryOf(url, "glyphoria://revert", &query);
    if (mac->reverts.size() != (is_revert ? 1u : 0u) || (is_revert && mac->reverts[0] != query))
        std::abort();
    const std::size_t opened = mac->workspace.openedUrls().size() - homepages;
    const int bought = mac->nibs.buyLoads() - purchases;
    const std::size_t happened =
        mac->tries.size() + mac->reverts.size() + opened + static_cast<std::size_t>(bought);
    if (happened > 1) std::abort();
    if ((opened || bought) != (decision == PolicyDecision::kNone)) std::abort();
    if (decision != PolicyDecision::kNone && decision != PolicyDecision::kUse) std::abort();
    if (!glyphoria::mac::TryController::isVisible()) std::abort();
    return 0;
}
