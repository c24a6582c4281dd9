// Script verbs of the user's hands: selecting, menu actions, shortcut keys,
// idle time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "host/app/frame_lookup.h"
#include "host/app/script.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/strings.h"

namespace hostapp {

namespace {

std::string Hex(uint32 v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", v);
    return buf;
}

bool ParseAction(ScriptContext& ctx, const std::string& text, ActionID* id) {
    char* end = nullptr;
    unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || v == 0 || v > 0xffffffffUL)
        return ctx.Error("\"" + text + "\" is not an action ID");
    *id = static_cast<ActionID>(v);
    if (!hostcore::HasAction(*id)) return ctx.Error("no menu action " + Hex(*id));
    return true;
}

bool Select(ScriptContext& ctx, const std::vector<std::string>& args) {
    hostcore::Document* doc = hostcore::FrontDocument();
    if (!doc) return ctx.Error("no document is open");
    std::vector<UID> items;
    std::string error;
    if (!LookUpFrames(doc->Model(), args, &items, &error)) return ctx.Error(error);
    hostcore::SelectItems(items);
    std::vector<UID> selected = hostcore::SelectedItems();
    ctx.Say() << "selected " << selected.size() << " frame(s)";
    for (UID u : selected)
        *ctx.out << " " << DescribeFrame(doc->Model(), u);
    *ctx.out << "\n";
    return true;
}

bool SelectText(ScriptContext& ctx, const std::vector<std::string>& args) {
    hostcore::Document* doc = hostcore::FrontDocument();
    if (!doc) return ctx.Error("no document is open");
    if (args.size() != 1) return ctx.Error("usage: select-text FRAME");
    std::vector<UID> items;
    std::string error;
    if (!LookUpFrames(doc->Model(), args, &items, &error)) return ctx.Error(error);
    const hostcore::DocModel& m = doc->Model();
    for (UID c : m.FindNode(items[0])->children) {
        const hostcore::Node* n = m.FindNode(c);
        if (n && n->kind == hostcore::NodeKind::kTextContainer) {
            hostcore::SelectText(n->story, 0, 0);
            ctx.Say() << "text selection in " << DescribeFrame(m, items[0]) << "\n";
            return true;
        }
    }
    return ctx.Error("the frame has no text");
}

bool Deselect(ScriptContext& ctx, const std::vector<std::string>&) {
    hostcore::ClearSelection();
    ctx.Say() << "nothing selected\n";
    return true;
}

bool Menu(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Error("usage: menu ACTION-ID");
    ActionID id;
    if (!ParseAction(ctx, args[0], &id)) return false;
    if (!hostcore::DoMenuAction(id)) {
        ctx.Say() << "action " << Hex(id) << " is disabled\n";
        return true;
    }
    ctx.Say() << "ran action " << Hex(id) << "\n";
    return true;
}

bool State(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Error("usage: state ACTION-ID");
    ActionID id;
    if (!ParseAction(ctx, args[0], &id)) return false;
    int16 state = 0;
    PMString name;
    hostcore::QueryActionState(id, &state, &name);
    ctx.Say() << Hex(id) << " " << ((state & kEnabledAction) ? "enabled" : "disabled")
              << ((state & kSelectedAction) ? " checked" : "") << " \"" << name.GetUTF8String()
              << "\"\n";
    return true;
}

bool Key(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].size() != 1) return ctx.Error("usage: key CHARACTER");
    // The key alone: the Windows form binds it with the modifier value 1, the
    // Mac form with 4096.
    const auto key = static_cast<unsigned char>(args[0][0]);
    ActionID id = hostcore::ActionForKey(key, 1);
    if (id == 0) id = hostcore::ActionForKey(key, 4096);
    if (id == 0) {
        ctx.Say() << "no action on key " << args[0] << "\n";
        return true;
    }
    bool ran = hostcore::DoMenuAction(id);
    ctx.Say() << "key " << args[0] << ": action " << Hex(id) << (ran ? " ran" : " is disabled")
              << "\n";
    return true;
}

bool Idle(ScriptContext& ctx, const std::vector<std::string>& args) {
    long ms = args.empty() ? 0 : std::atol(args[0].c_str());
    if (ms < 0 || ms > 60000) return ctx.Error("usage: idle [MILLISECONDS up to 60000]");
    int ran = hostcore::RunIdleTasks();
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        ctx.PassTime(10);
        ran += hostcore::RunIdleTasks();
    }
    ctx.Say() << "idle: " << ran << " task run(s), " << hostcore::InstalledIdleTaskCount()
              << " installed\n";
    return true;
}

bool Menus(ScriptContext& ctx, const std::vector<std::string>&) {
    for (const hostcore::ActionInfo& a : hostcore::Actions())
        ctx.Say() << Hex(a.id) << " " << a.menu << (a.menu.empty() ? "" : " > ") << a.name << "\n";
    return true;
}

ScriptVerb gSelect("select", "select FRAME...      select frames by name or #index", Select);
ScriptVerb gSelectText("select-text", "select-text FRAME    put the text cursor in a frame",
                       SelectText);
ScriptVerb gDeselect("deselect", "deselect             select nothing", Deselect);
ScriptVerb gMenu("menu", "menu ACTION-ID       run a menu action when it is enabled", Menu);
ScriptVerb gState("state", "state ACTION-ID      a menu action's state and name", State);
ScriptVerb gKey("key", "key CHARACTER        press a shortcut key", Key);
ScriptVerb gIdle("idle", "idle [MS]            let idle tasks run (for MS milliseconds)", Idle);
ScriptVerb gMenus("menus", "menus                list the plug-ins' menu actions", Menus);

}  // namespace

}  // namespace hostapp
