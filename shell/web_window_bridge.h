// The command bridge to the web-window library, the component outside the
// plug-in that shows the sampler and purchase pages. The plug-in drives it
// through the library's one entry "main" (command word, one argument); the
// library calls back through HostCommandCallback (host_callback.h).
//
// The library is found beside the plug-in module (library_path.h) and bound
// by the first command that finds it there; a failed load is tried again by
// the next command. Once loaded it stays loaded. "main" is looked up for every
// command. Without the library or its entry every command answers 0.
//
// Everything runs on the host's user-interface thread.
#pragma once

#include <cstdint>

namespace glyphoria {

// The library's entry: plain C calling convention.
extern "C" typedef std::int32_t (*WebWindowEntry)(const char* command, std::intptr_t argument);

std::int32_t CallWebWindowLibrary(const char* command, std::intptr_t argument);

// The menu toggle: closes the sampler window when it shows; otherwise, when
// the machine is online, checks the library's version ("invalidDLL", but it
// goes on), fetches the remote configuration (once per run) and shows the
// start page: the preference "search" over the built-in default. Offline it
// shows "noInternet" and asks the library nothing more.
void ToggleSamplerWindow();
bool IsSamplerWindowVisible();
void CloseSamplerWindow();

// The machine's connection state.
bool IsOnline();

}  // namespace glyphoria
