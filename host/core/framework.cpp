// The plug-in framework. Divisions:
//   1. implementation registry and plug-in objects
//   2. resource descriptions
//   3. start-up and shutdown
//   4. idle tasks
//   5. menu actions
#include "host/core/framework.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "host/core/boss.h"
#include "host/core/selection.h"
#include "host/sdk/session.h"

namespace hostcore {

void ClearShortcuts();  // session_objects.cpp
void ReleaseSessionObjects();

namespace {

// ---- 1. implementation registry and plug-in objects -------------------------

struct Implementation {
    CreateImplementationProc create;
    DestroyImplementationProc destroy;
    std::size_t size;
};

struct ComponentDesc {
    std::string name;
    std::string kind;
    std::vector<AddIn> interfaces;
};

struct ActionDesc {
    ActionInfo info;
    std::string component;
    bool enabled = true;
};

struct LoadedPlugIn {
    IPlugIn* plugin;
    PluginID id;
    void* module;
    std::string file;
};

struct State {
    std::map<ImplementationID, Implementation> impls;
    std::vector<LoadedPlugIn> plugins;
    std::map<std::string, std::vector<AddIn>> addins;
    std::vector<ComponentDesc> components;
    std::vector<ActionDesc> actions;
    std::map<std::string, HostBoss*> componentObjects;  // made on first use
    std::vector<HostBoss*> services;                    // in start-up order
    bool started = false;
};

State& S() {
    static State state;
    return state;
}

class Registry : public IImplementationRegistry {
  public:
    ErrorCode RegisterImplementation(ImplementationID id, CreateImplementationProc create,
                                     DestroyImplementationProc destroy,
                                     std::size_t objectSize) override {
        if (!create || !destroy || objectSize == 0) return kInvalidParameterError;
        if (S().impls.count(id) || fAdded.count(id)) return kFailure;
        fAdded[id] = Implementation{create, destroy, objectSize};
        return kSuccess;
    }
    std::map<ImplementationID, Implementation> fAdded;
};

HostBoss* ComponentObject(const std::string& name) {
    State& s = S();
    auto found = s.componentObjects.find(name);
    if (found != s.componentObjects.end()) return found->second;
    for (const ComponentDesc& desc : s.components) {
        if (desc.name != name) continue;
        HostBoss* boss = HostBoss::Create(nullptr, kInvalidUID, 0);
        for (const AddIn& a : desc.interfaces)
            AddPlugInImplementation(boss, a.iid, a.impl);
        s.componentObjects[name] = boss;
        return boss;
    }
    return nullptr;
}

// ---- 2. resource descriptions --------------------------------------------

const std::map<std::string, uint32>& Symbols() {
    static const std::map<std::string, uint32> symbols = {
        {"IID_ISTARTUPSHUTDOWN", IID_ISTARTUPSHUTDOWN},
        {"IID_IACTIONCOMPONENT", IID_IACTIONCOMPONENT},
        {"IID_IIDLETASK", IID_IIDLETASK},
        {"IID_ISELECTIONEXTENSION", IID_ISELECTIONEXTENSION},
    };
    return symbols;
}

bool ReadNumber(const nlohmann::json& j, uint32* out) {
    if (j.is_number_unsigned()) {
        if (j.get<std::uint64_t>() > 0xffffffffu) return false;
        *out = j.get<uint32>();
        return true;
    }
    if (!j.is_string()) return false;
    const std::string text = j.get<std::string>();
    auto sym = Symbols().find(text);
    if (sym != Symbols().end()) {
        *out = sym->second;
        return true;
    }
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > 0xffffffffull || text[0] == '-') return false;
    *out = static_cast<uint32>(v);
    return true;
}

bool ReadInterfaces(const nlohmann::json& j, std::vector<AddIn>* out, std::string* error) {
    if (!j.is_array()) {
        *error = "\"interfaces\" must be a list";
        return false;
    }
    for (const auto& entry : j) {
        AddIn a{};
        if (!entry.is_object() || !entry.contains("iid") || !entry.contains("impl") ||
            !ReadNumber(entry["iid"], &a.iid) || !ReadNumber(entry["impl"], &a.impl)) {
            *error = "interface entry needs numeric \"iid\" and \"impl\": " + entry.dump();
            return false;
        }
        out->push_back(a);
    }
    return true;
}

struct Description {
    PluginID id = 0;
    std::vector<ComponentDesc> components;
    std::map<std::string, std::vector<AddIn>> addins;
    std::vector<ActionDesc> actions;
};

bool ParseDescription(const std::string& text, Description* d, std::string* error) {
    nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
        *error = "resource description is not a JSON object";
        return false;
    }
    if (!j.contains("plugin") || !j["plugin"].is_object() || !j["plugin"].contains("id") ||
        !ReadNumber(j["plugin"]["id"], &d->id)) {
        *error = "resource description needs \"plugin\": {\"id\": ...}";
        return false;
    }
    for (const auto& b : j.value("bosses", nlohmann::json::array())) {
        ComponentDesc desc;
        desc.name = b.value("name", "");
        desc.kind = b.value("kind", "");
        if (desc.name.empty() ||
            !ReadInterfaces(b.value("interfaces", nlohmann::json()), &desc.interfaces, error)) {
            if (error->empty()) *error = "boss without a name";
            return false;
        }
        if (desc.kind != "service" && desc.kind != "action-component") {
            *error = "boss " + desc.name + ": kind must be \"service\" or \"action-component\"";
            return false;
        }
        d->components.push_back(desc);
    }
    static const char* kTargets[] = {"session", "application", "abstract-selection",
                                     "layout-selection", "text-selection"};
    for (const auto& a : j.value("addins", nlohmann::json::array())) {
        std::string to = a.value("to", "");
        if (std::find(std::begin(kTargets), std::end(kTargets), to) == std::end(kTargets)) {
            *error = "add-in to unknown host object \"" + to + "\"";
            return false;
        }
        if (!ReadInterfaces(a.value("interfaces", nlohmann::json()), &d->addins[to], error))
            return false;
    }
    for (const auto& a : j.value("actions", nlohmann::json::array())) {
        ActionDesc desc;
        if (!a.is_object() || !a.contains("id") || !ReadNumber(a["id"], &desc.info.id)) {
            *error = "action without a numeric \"id\"";
            return false;
        }
        desc.info.name = a.value("name", "");
        desc.info.menu = a.value("menu", "");
        desc.component = a.value("component", "");
        desc.enabled = a.value("enabled", true);
        d->actions.push_back(desc);
    }
    return true;
}

bool CheckImplementations(const Description& d, const Registry& reg, std::string* error) {
    auto known = [&](ImplementationID id) { return S().impls.count(id) || reg.fAdded.count(id); };
    auto check = [&](const std::vector<AddIn>& list) {
        for (const AddIn& a : list) {
            if (!known(a.impl)) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "implementation 0x%x is not registered", a.impl);
                *error = buf;
                return false;
            }
        }
        return true;
    };
    for (const auto& c : d.components)
        if (!check(c.interfaces)) return false;
    for (const auto& a : d.addins)
        if (!check(a.second)) return false;
    for (const auto& a : d.actions) {
        bool found = false;
        for (const auto& c : d.components)
            found |= c.name == a.component;
        for (const auto& c : S().components)
            found |= c.name == a.component;
        if (!found) {
            *error = "action component \"" + a.component + "\" is not described";
            return false;
        }
    }
    return true;
}

// ---- 4. idle tasks -----------------------------------------------------------

struct IdleEntry {
    IIdleTask* task;
    std::chrono::steady_clock::time_point due;
};

std::vector<IdleEntry>& IdleTasks() {
    static std::vector<IdleEntry> tasks;
    return tasks;
}

class UnlimitedTimer : public IdleTimer {
  public:
    uint32 operator()() const override { return 50; }
};

}  // namespace

bool InstallPlugIn(IPlugIn* plugin, const std::string& resources, std::string* error, void* module,
                   const std::string& file) {
    std::string scratch;
    if (!error) error = &scratch;
    error->clear();
    if (!plugin) {
        *error = "no plug-in object";
        return false;
    }
    Description d;
    if (!ParseDescription(resources, &d, error)) return false;
    plugin->SetPluginID(d.id);
    Registry reg;
    if (plugin->RegisterImplementations(&reg) != kSuccess) {
        *error = "the plug-in refused to register its implementations";
        return false;
    }
    if (!CheckImplementations(d, reg, error)) return false;
    State& s = S();
    s.impls.insert(reg.fAdded.begin(), reg.fAdded.end());
    s.plugins.push_back(LoadedPlugIn{plugin, d.id, module, file});
    for (auto& c : d.components)
        s.components.push_back(c);
    for (auto& a : d.addins)
        for (const AddIn& x : a.second)
            s.addins[a.first].push_back(x);
    for (auto& a : d.actions)
        s.actions.push_back(a);
    // Selection objects made before this plug-in lack its suites.
    DestroySelectionObjects();
    return true;
}

bool IsImplementationRegistered(ImplementationID id) {
    return S().impls.count(id) != 0;
}

bool AddPlugInImplementation(HostBoss* boss, PMIID iid, ImplementationID id) {
    auto it = S().impls.find(id);
    if (!boss || it == S().impls.end()) return false;
    const Implementation impl = it->second;
    void* memory = ::operator new(impl.size);
    IPMUnknown* made = impl.create(memory, boss);
    if (!made) {
        ::operator delete(memory);
        return false;
    }
    boss->AddInterface(iid, made, [impl, memory](IPMUnknown* p) {
        impl.destroy(p);
        ::operator delete(memory);
    });
    return true;
}

std::vector<AddIn> AddInsFor(const std::string& target) {
    auto it = S().addins.find(target);
    return it == S().addins.end() ? std::vector<AddIn>() : it->second;
}

// ---- 3. start-up and shutdown ------------------------------------------------

void StartupPlugIns() {
    State& s = S();
    if (s.started) return;
    s.started = true;
    for (const ComponentDesc& desc : s.components) {
        if (desc.kind != "service") continue;
        HostBoss* boss = ComponentObject(desc.name);
        s.services.push_back(boss);
        InterfacePtr<IStartupShutdownService> service(boss, IID_ISTARTUPSHUTDOWN);
        if (service) service->Startup();
    }
}

void ShutdownPlugIns() {
    State& s = S();
    if (s.started) {
        for (auto it = s.services.rbegin(); it != s.services.rend(); ++it) {
            InterfacePtr<IStartupShutdownService> service(*it, IID_ISTARTUPSHUTDOWN);
            if (service) service->Shutdown();
        }
    }
    s.started = false;
    s.services.clear();
    while (!IdleTasks().empty())
        UninstallIdleTask(IdleTasks().back().task);
    DestroySelectionObjects();
    for (auto& c : s.componentObjects)
        c.second->Release();
    s.componentObjects.clear();
    ReleaseSessionObjects();
    ClearShortcuts();
    s.impls.clear();
    s.plugins.clear();
    s.addins.clear();
    s.components.clear();
    s.actions.clear();
}

bool PlugInsStarted() {
    return S().started;
}

void InstallIdleTask(IIdleTask* task, uint32 delayMilliseconds) {
    if (!task) return;
    auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMilliseconds);
    for (IdleEntry& e : IdleTasks()) {
        if (e.task == task) {
            e.due = due;
            return;
        }
    }
    task->AddRef();  // an installed task stays alive until it is uninstalled
    IdleTasks().push_back(IdleEntry{task, due});
}

void UninstallIdleTask(IIdleTask* task) {
    auto& tasks = IdleTasks();
    for (auto it = tasks.begin(); it != tasks.end(); ++it) {
        if (it->task == task) {
            tasks.erase(it);
            task->Release();
            return;
        }
    }
}

int RunIdleTasks() {
    if (IsModalDialogStateHeld()) return 0;
    auto now = std::chrono::steady_clock::now();
    std::vector<IIdleTask*> due;
    for (const IdleEntry& e : IdleTasks())
        if (e.due <= now) due.push_back(e.task);
    int ran = 0;
    UnlimitedTimer timer;
    for (IIdleTask* task : due) {
        // A task run earlier in this pass may have uninstalled this one.
        auto& tasks = IdleTasks();
        auto it = std::find_if(tasks.begin(), tasks.end(),
                               [&](const IdleEntry& e) { return e.task == task; });
        if (it == tasks.end()) continue;
        task->AddRef();
        uint32 next = task->RunTask(0, &timer);
        ++ran;
        if (next == kEndOfTime)
            UninstallIdleTask(task);
        else
            InstallIdleTask(task, next);
        task->Release();
    }
    return ran;
}

int InstalledIdleTaskCount() {
    return static_cast<int>(IdleTasks().size());
}

// ---- 5. menu actions -----------------------------------------------------------

std::vector<ActionInfo> Actions() {
    std::vector<ActionInfo> out;
    for (const ActionDesc& a : S().actions)
        out.push_back(a.info);
    return out;
}

bool HasAction(ActionID id) {
    for (const ActionDesc& a : S().actions)
        if (a.info.id == id) return true;
    return false;
}

namespace {

const ActionDesc* FindAction(ActionID id) {
    for (const ActionDesc& a : S().actions)
        if (a.info.id == id) return &a;
    return nullptr;
}

}  // namespace

bool QueryActionState(ActionID id, int16* state, PMString* name) {
    const ActionDesc* desc = FindAction(id);
    if (!desc) return false;
    ActionStateList list;
    list.Add(id, desc->enabled ? kEnabledAction : kDisabled_Unselected, desc->info.name);
    InterfacePtr<IActionComponent> component(ComponentObject(desc->component),
                                             IID_IACTIONCOMPONENT);
    if (component) component->UpdateActionStates(nullptr, &list, GSysPoint(), nullptr);
    if (state) *state = list.GetNthActionState(0);
    if (name) *name = list.GetNthActionName(0);
    return true;
}

bool DoMenuAction(ActionID id) {
    if (IsModalDialogStateHeld()) return false;
    int16 state = 0;
    if (!QueryActionState(id, &state, nullptr) || !(state & kEnabledAction)) return false;
    const ActionDesc* desc = FindAction(id);
    InterfacePtr<IActionComponent> component(ComponentObject(desc->component),
                                             IID_IACTIONCOMPONENT);
    if (!component) return false;
    component->DoAction(nullptr, id, GSysPoint(), nullptr);
    return true;
}

namespace {

class ResourceAccessImpl : public CPMUnknown<IPlugInResourceAccess> {
  public:
    ResourceAccessImpl(IPMUnknown* boss, const LoadedPlugIn& p)
        : CPMUnknown<IPlugInResourceAccess>(boss), fPlugIn(p) {}
    PluginID GetPluginID() const override { return fPlugIn.id; }
    void* GetModuleHandle() const override { return fPlugIn.module; }
    IDFile GetPlugInFile() const override { return IDFile(fPlugIn.file.c_str()); }

  private:
    LoadedPlugIn fPlugIn;
};

}  // namespace

}  // namespace hostcore

IPlugInResourceAccess* QueryPlugInResourceAccess(PluginID id) {
    for (const hostcore::LoadedPlugIn& p : hostcore::S().plugins) {
        if (p.id != id) continue;
        hostcore::HostBoss* boss = hostcore::HostBoss::Create(nullptr, kInvalidUID, 0);
        auto* impl = new hostcore::ResourceAccessImpl(boss, p);
        boss->AddOwned(IID_IPLUGINRESOURCEACCESS, impl);
        return impl;  // carries the boss's first reference
    }
    return nullptr;
}

CIdleTask::~CIdleTask() {}

void CIdleTask::InstallTask(uint32 delayMilliseconds) {
    hostcore::InstallIdleTask(this, delayMilliseconds);
}

void CIdleTask::UninstallTask() {
    hostcore::UninstallIdleTask(this);
}

ActionID ActionStateList::GetNthAction(int32 n) const {
    return n >= 0 && n < Length() ? fEntries[static_cast<size_t>(n)].id : 0;
}

int16 ActionStateList::GetNthActionState(int32 n) const {
    return n >= 0 && n < Length() ? fEntries[static_cast<size_t>(n)].state : 0;
}

void ActionStateList::SetNthActionState(int32 n, int16 state) {
    if (n >= 0 && n < Length()) fEntries[static_cast<size_t>(n)].state = state;
}

PMString ActionStateList::GetNthActionName(int32 n) const {
    return n >= 0 && n < Length() ? fEntries[static_cast<size_t>(n)].name : PMString();
}

void ActionStateList::SetNthActionName(int32 n, const PMString& name) {
    if (n >= 0 && n < Length()) fEntries[static_cast<size_t>(n)].name = name;
}
