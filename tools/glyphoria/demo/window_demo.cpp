#include "tools/glyphoria/demo/window_demo.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "host/app/doc_io.h"
#include "tools/glyphoria/demo/demo_setup.h"
#ifdef GLYPHORIA_DEMO_HAS_MAC_FORM
#include "tools/glyphoria/demo/mac_demo_session.h"
#endif

extern char** environ;

namespace glyphoria::demo {

namespace {

// The sampler window beside the layout window (which shows the demo page at
// its actual size), until the person moves it: the library keeps its place.
constexpr const char* kSamplerPlace = "740 0 660 720";
constexpr const char* kSamplerToggle = "0x159842";
// The Mac form's saved-frame string for the same place, on a 1400x720 screen.
constexpr const char* kMacSamplerFrame = "740 0 660 720 0 0 1400 720";

std::string FileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The opening a person would do first, then the given script's lines. The
// Mac form's vendor addresses are the shop's, as a deployment would set them.
bool WriteWindowScript(const std::string& path, const std::string& extra, bool mac_form,
                       const std::string& shop, std::string* error) {
    std::ostringstream script;
    script << "# the sampler window from the menu, once its page has loaded\n";
    if (mac_form)
        script << "mac vendor " << shop << "\nmenu " << kSamplerToggle << "\nmac page sampler\n";
    else
        script << "menu " << kSamplerToggle << "\nweb wait\n";
    if (!extra.empty()) {
        std::ifstream in(extra, std::ios::binary);
        if (!in) {
            *error = "cannot read the script " + extra;
            return false;
        }
        script << in.rdbuf();
    }
    std::ofstream out(path, std::ios::binary);
    out << script.str();
    if (!out) *error = "cannot write " + path;
    return static_cast<bool>(out);
}

// Runs the program to its end; its standard output and error go to console.
int RunHost(const std::vector<std::string>& args, const std::string& console, std::string* error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, console.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        *error = "cannot start " + args[0] + ": " + std::strerror(spawned);
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int RunWindowDemo(const WindowDemoOptions& options, std::string* error) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        *error =
            "the layout window needs a display: run it in a desktop session (or under "
            "xvfb-run -a, with a script that takes pictures)";
        return 1;
    }
    const OutputFolder folder = LayOutOutputFolder(options.output);
    if (!PrepareOutputFolder(folder, error)) return 1;
    SessionEnvironment environment(folder);

    // The window shows a copy, so saving it never writes over the original.
    hostcore::DocModel model;
    const std::string layout = folder.root + "/" + FileName(options.document);
    if (!hostapp::LoadDocumentFile(options.document, &model, error) ||
        !hostapp::SaveDocumentFile(layout, model, error))
        return 1;
    std::unique_ptr<testing::shop::Shop> shop = StartDemoShop(error);
    if (!shop) return 1;
    const std::string script = folder.root + "/window.script";
    if (!WriteWindowScript(script, options.script, options.mac_form, shop->base_url(), error))
        return 1;
    std::string prefs_file = folder.prefs_file;
    if (!options.mac_form) {
        WriteDemoPreferences(folder, *shop, {{"tryWndRect", kSamplerPlace}});
    } else {
#ifdef GLYPHORIA_DEMO_HAS_MAC_FORM
        if (!WriteMacDemoPreferences(*shop, kMacSamplerFrame, &prefs_file, error)) return 1;
#else
        *error = "this build has no Mac form";
        return 1;
#endif
    }
    if (options.narrate) {
        std::printf(
            "Glyphoria demo: shop at %s, output in %s\n"
            "The layout window shows %s; the sampler window opens from its Glyphoria menu.\n"
            "  select frames: click, Shift+click, or drag a rectangle on the page\n"
            "  try a font: click its name in the sampler window (again on the pictures: "
            "another font)\n"
            "  restore: \"Restore the text frames\" in the page, or Glyphoria > Restore text "
            "frame\n"
            "  undo, redo: Ctrl+Z, Ctrl+Shift+Z; the sampler window on and off: %c\n"
            "  buy: the page's Buy links or its Cart (archives go to %s)\n"
            "%s"
            "Close the layout window to end.\n",
            shop->base_url().c_str(), folder.root.c_str(), FileName(layout).c_str(),
            kDemoShortcutKey, folder.downloads.c_str(),
            options.mac_form
                ? "The Mac form: Ctrl+Z in the sampler window undoes the last try too; the\n"
                  "Cart opens the purchase window, which asks for the download folder when the\n"
                  "first archive comes, downloads it under a progress bar and installs its fonts.\n"
                : "");
        std::fflush(stdout);
    }
    const int status = RunHost({options.host_program, layout, "--plugins", options.module_folder,
                                "--window", "--script", script},
                               folder.console_file, error);
    WriteShopRequests(*shop, folder);
    shop->Stop();
    if (status < 0) return 1;
    if (options.narrate) {
        std::printf(
            "\nThe layout window closed (status %d).\n"
            "  log             %s\n"
            "  preferences     %s\n"
            "  bought archives %s\n"
            "  host and plug-in output %s\n"
            "  shop requests   %s\n",
            status, folder.log_file.c_str(), prefs_file.c_str(), folder.downloads.c_str(),
            folder.console_file.c_str(), folder.shop_log_file.c_str());
    }
    return status;
}

}  // namespace glyphoria::demo
