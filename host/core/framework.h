// The plug-in framework inside the host library: the registry of
// implementations, the objects built from plug-in resource descriptions
// (start-up services, action components, add-ins to host objects), idle
// tasks, menu actions and the session and application objects.
//
// Lifecycle: InstallPlugIn for each plug-in (registers its implementations
// and reads its resource description), StartupPlugIns once, then idle
// passes and menu actions, ShutdownPlugIns once (services in reverse order,
// then every plug-in object is destroyed). After shutdown the modules may be
// unloaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/sdk/plugin.h"
#include "host/sdk/services.h"
#include "host/sdk/strings.h"

namespace hostcore {

class HostBoss;

// Registers the plug-in's implementations and builds its objects from the
// resource description (JSON, docs/host.md). false with *error set when the
// description cannot be read or names an implementation nobody registered;
// nothing of the plug-in is kept then.
// module and file are where the plug-in came from (nil and "" for one that
// lives in the program itself); IPlugInResourceAccess hands them out.
bool InstallPlugIn(IPlugIn* plugin, const std::string& resources, std::string* error,
                   void* module = nullptr, const std::string& file = "");
bool IsImplementationRegistered(ImplementationID id);
// Makes the plug-in implementation and adds it to the boss under iid.
bool AddPlugInImplementation(HostBoss* boss, PMIID iid, ImplementationID impl);
// The add-ins plug-ins declared for a host object ("session", "application",
// "abstract-selection", "layout-selection", "text-selection").
struct AddIn {
    PMIID iid;
    ImplementationID impl;
};
std::vector<AddIn> AddInsFor(const std::string& target);

void StartupPlugIns();
void ShutdownPlugIns();
bool PlugInsStarted();

// Idle tasks. RunIdleTasks runs every installed task whose time has come and
// returns how many ran; no task runs while a modal dialog state is held.
void InstallIdleTask(IIdleTask* task, uint32 delayMilliseconds);
void UninstallIdleTask(IIdleTask* task);
int RunIdleTasks();
int InstalledIdleTaskCount();

// Menu actions from the resource descriptions.
struct ActionInfo {
    ActionID id;
    std::string name;
    std::string menu;
};
std::vector<ActionInfo> Actions();
bool HasAction(ActionID id);
// The entry's state and name after its component updated them.
bool QueryActionState(ActionID id, int16* state, PMString* name);
// Updates the state, then runs the action when it is enabled. false when the
// action is unknown, disabled, or a modal dialog state is held.
bool DoMenuAction(ActionID id);
// The action bound to a key in "DefaultContext" (0 when none) and running it.
ActionID ActionForKey(UTF32TextChar key, int32 modifiers);

HostBoss* SessionObject();
HostBoss* ApplicationObject();
// The handle IApplication::GetMainWindowHandle gives plug-ins: an opaque
// non-zero constant, or what the program set while it shows a window of its
// own (the layout window's X11 id); 0 puts the constant back.
std::uintptr_t MainWindowHandle();
void SetMainWindowHandle(std::uintptr_t handle);

}  // namespace hostcore
