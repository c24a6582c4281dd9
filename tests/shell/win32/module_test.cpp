// The plug-in module as the host loads it, under Wine: Glyphoria.pln with
// the support services, the shell and the dialog toolkit inside it. It
// registers exactly its six implementations. The idle task finds the host's
// window (climbing from the palette in front), and a box the module shows
// disables that window while it is up and enables it again after; the box
// is the toolkit's, which the module's start-up put in place.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/app/plugin_loader.h"
#include "host/core/framework.h"
#include "host/sdk/plugin.h"
#include "platform/library.h"
#include "platform/win32/windows_api.h"
#include "tests/common/host_window_win32.h"
#include "tests/common/test_env.h"

namespace {

using glyphoria::testing::KeptFile;
using glyphoria::testing::UserAppDataFolder;
using glyphoria::testing::UserDocumentsFolder;

constexpr ActionID kAboutAction = 0x159840;
constexpr const char* kModule = GLYPHORIA_MODULE_DIR "\\Glyphoria.pln";

// Keeps what a plug-in registers.
class RecordingRegistry : public IImplementationRegistry {
  public:
    ErrorCode RegisterImplementation(ImplementationID id, CreateImplementationProc create,
                                     DestroyImplementationProc destroy,
                                     std::size_t object_size) override {
        if (!create || !destroy || object_size == 0) ++incomplete;
        ids.insert(id);
        ++calls;
        return kSuccess;
    }
    std::set<ImplementationID> ids;
    int calls = 0;
    int incomplete = 0;
};

// The action, start-up and idle task of the shell; the abstract and layout
// suites and the selection extension of the frame sampling; nothing else.
TEST(ModuleRegistration, TheSixImplementationsAndNothingElse) {
    void* module = glyphoria::platform::LoadLibraryUtf8(kModule);
    ASSERT_NE(nullptr, module) << glyphoria::platform::LastLibraryError();
    auto get_plug_in =
        reinterpret_cast<GetPlugInProc>(glyphoria::platform::FindExport(module, "GetPlugIn"));
    ASSERT_NE(nullptr, get_plug_in);
    IPlugIn* plug_in = get_plug_in();
    ASSERT_NE(nullptr, plug_in);
    RecordingRegistry registry;
    EXPECT_EQ(kSuccess, plug_in->RegisterImplementations(&registry));
    EXPECT_EQ(
        (std::set<ImplementationID>{0x159840, 0x159841, 0x159842, 0x159845, 0x159847, 0x159848}),
        registry.ids);
    EXPECT_EQ(6, registry.calls);
    EXPECT_EQ(0, registry.incomplete);
}

// What a timer of this thread saw of the box while it was up.
struct BoxSeen {
    HWND host = nullptr;
    bool shown = false;
    bool host_enabled = true;
    std::wstring text;
};
BoxSeen g_seen;

BOOL CALLBACK FindBox(HWND window, LPARAM out) {
    wchar_t title[32] = {};
    GetWindowTextW(window, title, 32);
    if (!IsWindowVisible(window) || std::wstring(title) != L"Glyphoria") return TRUE;
    *reinterpret_cast<HWND*>(out) = window;
    return FALSE;
}

void CALLBACK WatchForTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    KillTimer(nullptr, timer);
    g_seen.shown = true;
    g_seen.host_enabled = IsWindowEnabled(g_seen.host) != FALSE;
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 10, text, 256);
    g_seen.text = text;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(ModuleBox, ABoxOfTheModuleDisablesTheWindowItsIdleTaskFound) {
    // The module reads and writes the prefix's own preferences and log.
    KeptFile prefs(UserAppDataFolder() + "\\Glyphoria.ini");
    KeptFile log(UserDocumentsFolder() + "\\Glyphoria.txt");

    glyphoria::testing::HostWindowWithPalette desktop;
    ASSERT_TRUE(desktop.PaletteInFront());
    const HWND host = desktop.host;
    g_seen.host = host;

    std::string error;
    ASSERT_TRUE(hostapp::LoadPlugInModule(kModule, &error)) << error;
    hostcore::StartupPlugIns();
    ASSERT_EQ(1, hostcore::RunIdleTasks());

    // The timer's procedure runs inside the box's own modal loop.
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &WatchForTheBox);
    ASSERT_NE(0u, timer);
    EXPECT_TRUE(hostcore::DoMenuAction(kAboutAction));
    KillTimer(nullptr, timer);

    EXPECT_TRUE(g_seen.shown) << "no box titled Glyphoria came up";
    EXPECT_FALSE(g_seen.host_enabled) << "the host's window stayed enabled under the box";
    EXPECT_EQ(0u, g_seen.text.rfind(L"Glyphoria 1.28\r\r", 0));
    EXPECT_TRUE(IsWindowEnabled(host));

    hostcore::ShutdownPlugIns();
    hostapp::UnloadPlugInModules();
}

}  // namespace
