#include "mac/panel_events.h"

#include "mac/mac_log.h"
#include "mac/mac_services.h"

namespace glyphoria::mac {

void PanelEvents::sendToHostApplication(const PanelEvent& event) {
    const MacServices& services = Services();
    if (services.send_key_to_host) {
        services.send_key_to_host(event);
        return;
    }
    MacLog("panel: no host for the key %s", event.characters_ignoring_modifiers.c_str());
}

bool PanelEvents::hostPrepareUndo() {
    const MacServices& services = Services();
    return services.host_prepare_undo && services.host_prepare_undo();
}

}  // namespace glyphoria::mac
