#include "shell/idle_task.h"

#include <cstring>

#include "host/sdk/session.h"
#include "platform/process.h"
#include "shell/ids.h"
#include "support/host_window.h"
#include "support/limits.h"
#include "support/prefs_store.h"
#include "support/vendor_addresses.h"

namespace glyphoria {

UTF32TextChar SingleCharacter(const char* text) {
    if (!text || !*text) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = lead < 0x80    ? 1
                         : lead >= 0xF8 ? 0
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC0 ? 2
                                        : 0;
    if (length == 0 || std::strlen(text) != length) return 0;
    UTF32TextChar code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80) return 0;
        code = (code << 6) | (c & 0x3F);
    }
    return code;
}

MyIdleTask::MyIdleTask(IPMUnknown* boss) : CIdleTask(boss) {}

MyIdleTask::~MyIdleTask() = default;

uint32 MyIdleTask::RunTask(uint32, IdleTimer*) {
    IApplication* app = GetExecutionContextSession()->QueryApplication();
    std::uintptr_t window = platform::ForegroundTopLevelWindow();
    if (!window && app) window = app->GetMainWindowHandle();
    SetHostWindowHandle(reinterpret_cast<void*>(window));

    char shortcut[kValueBufferSize] = "";
    Prefs().GetString(kGeneralSection, "shortcut", shortcut, sizeof shortcut);
    const UTF32TextChar key = SingleCharacter(shortcut);
    InterfacePtr<IShortcutManager> shortcuts(app, IID_ISHORTCUTMANAGER);
    if (key && shortcuts) {
        shortcuts->RemoveAllShortcutsForAction(kSamplerToggleAction);
        shortcuts->AddShortcut(kSamplerToggleAction, kShortcutContext, VirtualKey(0, key),
                               kShortcutModifier);
    }
    return kEndOfTime;
}

const char* MyIdleTask::TaskName() {
    return kProductName;
}

}  // namespace glyphoria
