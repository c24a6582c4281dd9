// The Mac module's exported entries: the plug-in object and its resource
// description (the same identifiers as the Windows form's, with the frame
// sampling's selection suite), and the scripting entry through which the
// host program and the demo act as the user on its windows.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/sdk/plugin.h"
#include "mac/plugin/mac_components.h"
#include "mac/plugin/mac_platform.h"
#include "mac/plugin/mac_script.h"
#include "sampling/suite_registration.h"
#include "shell/resource_description.h"

PLUGIN_EXPORT IPlugIn* GetPlugIn() {
    static glyphoria::mac::MacPlugIn plugin(&glyphoria::RegisterSamplingImplementations);
    return &plugin;
}

PLUGIN_EXPORT const char* GetPlugInResources() {
    return glyphoria::PlugInResourceDescription(glyphoria::SamplingResourceAddIns());
}

// See mac/plugin/mac_script.h. -1 while the plug-in is not started.
PLUGIN_EXPORT std::int32_t glyphoria_mac_act(const char* action, const char* argument) {
    glyphoria::mac::MacHands* hands = glyphoria::mac::PlatformHands();
    if (!hands || !action) return -1;
    return glyphoria::mac::MacScriptAct(*hands, action, argument ? argument : "");
}

// Copies the record (NUL-terminated, cut to fit) and returns its full length.
PLUGIN_EXPORT std::int32_t glyphoria_mac_record(char* buffer, std::int32_t size) {
    glyphoria::mac::MacHands* hands = glyphoria::mac::PlatformHands();
    const std::string record = hands ? glyphoria::mac::MacScriptRecord(*hands) : std::string();
    if (buffer && size > 0) {
        const std::size_t n = std::min(record.size(), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, record.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<std::int32_t>(record.size());
}
