// The session and application objects, the font manager, the shortcut
// manager, the main window handle and the modal-dialog state.
#include <map>

#include "host/core/boss.h"
#include "host/core/font_catalog.h"
#include "host/core/framework.h"
#include "host/sdk/fonts.h"
#include "host/sdk/session.h"

namespace hostcore {

namespace {

class PMFontImpl : public CPMUnknown<IPMFont> {
  public:
    PMFontImpl(IPMUnknown* boss, const InstalledFont& font)
        : CPMUnknown<IPMFont>(boss), fFont(font) {}
    PMString GetPostScriptName() const override { return fFont.postscript; }
    PMString GetFamilyName() const override { return fFont.family; }
    PMString GetStyleName() const override { return fFont.style; }
    PMString GetFilePath() const override { return fFont.file; }

  private:
    InstalledFont fFont;
};

class FontManagerImpl : public CPMUnknown<IFontManager> {
  public:
    using CPMUnknown<IFontManager>::CPMUnknown;
    IPMFont* QueryFontPlatformByPostScriptName(const PMString& name, int32, int32, PMReal,
                                               int32) const override {
        const InstalledFont* f = FindFontByPostScriptName(name.GetUTF8String());
        if (!f) return nullptr;
        HostBoss* boss = HostBoss::Create(nullptr, kInvalidUID, 0);
        auto* impl = new PMFontImpl(boss, *f);
        boss->AddOwned(IID_IPMFONT, impl);
        return impl;  // carries the boss's first reference
    }
    int32 GetFontCount() const override { return static_cast<int32>(InstalledFonts().size()); }
};

class SessionImpl : public CPMUnknown<ISession> {
  public:
    using CPMUnknown<ISession>::CPMUnknown;
    IApplication* QueryApplication() const override;
};

class ApplicationImpl : public CPMUnknown<IApplication> {
  public:
    using CPMUnknown<IApplication>::CPMUnknown;
    PMString GetApplicationName() const override { return "glyphoria-host"; }
    std::uintptr_t GetMainWindowHandle() const override { return MainWindowHandle(); }
};

std::vector<IShortcutManager::Shortcut>& Shortcuts() {
    static std::vector<IShortcutManager::Shortcut> list;
    return list;
}

bool SameKey(const IShortcutManager::Shortcut& s, const PMString& context, const VirtualKey& key,
             int32 modifiers) {
    return s.context == context && s.key.virtualKeyCode == key.virtualKeyCode &&
           s.key.charCode == key.charCode && s.modifiers == modifiers;
}

class ShortcutManagerImpl : public CPMUnknown<IShortcutManager> {
  public:
    using CPMUnknown<IShortcutManager>::CPMUnknown;
    void RemoveAllShortcutsForAction(ActionID action) override {
        auto& list = Shortcuts();
        for (size_t i = list.size(); i-- > 0;)
            if (list[i].action == action) list.erase(list.begin() + static_cast<long>(i));
    }
    ErrorCode AddShortcut(ActionID action, const PMString& context, const VirtualKey& key,
                          int32 modifiers) override {
        if (action == 0 || context.IsEmpty() || (key.charCode == 0 && key.virtualKeyCode == 0))
            return kInvalidParameterError;
        auto& list = Shortcuts();
        for (size_t i = list.size(); i-- > 0;)
            if (SameKey(list[i], context, key, modifiers))
                list.erase(list.begin() + static_cast<long>(i));
        list.push_back(Shortcut{action, context, key, modifiers});
        return kSuccess;
    }
    std::vector<Shortcut> GetShortcuts(ActionID action) const override {
        std::vector<Shortcut> out;
        for (const Shortcut& s : Shortcuts())
            if (s.action == action) out.push_back(s);
        return out;
    }
    ActionID FindAction(const PMString& context, const VirtualKey& key,
                        int32 modifiers) const override {
        for (const Shortcut& s : Shortcuts())
            if (SameKey(s, context, key, modifiers)) return s.action;
        return 0;
    }
};

HostBoss*& SessionSlot() {
    static HostBoss* boss = nullptr;
    return boss;
}

HostBoss*& ApplicationSlot() {
    static HostBoss* boss = nullptr;
    return boss;
}

// Host interfaces first, then whatever plug-ins added to the object.
bool AddFrameworkInterface(HostBoss* boss, PMIID iid, const char* target) {
    for (const AddIn& a : AddInsFor(target))
        if (a.iid == iid) return AddPlugInImplementation(boss, iid, a.impl);
    return false;
}

int& ModalDepth() {
    static int depth = 0;
    return depth;
}

}  // namespace

HostBoss* SessionObject() {
    HostBoss*& slot = SessionSlot();
    if (!slot) {
        slot = HostBoss::Create(nullptr, kInvalidUID, 0);
        slot->SetFactory([](HostBoss* b, PMIID iid) {
            if (iid == IID_ISESSION) {
                b->AddOwned(iid, new SessionImpl(b));
                return true;
            }
            if (iid == IID_IFONTMANAGER) {
                b->AddOwned(iid, new FontManagerImpl(b));
                return true;
            }
            return AddFrameworkInterface(b, iid, "session");
        });
    }
    return slot;
}

HostBoss* ApplicationObject() {
    HostBoss*& slot = ApplicationSlot();
    if (!slot) {
        slot = HostBoss::Create(nullptr, kInvalidUID, 0);
        slot->SetFactory([](HostBoss* b, PMIID iid) {
            if (iid == IID_IAPPLICATION) {
                b->AddOwned(iid, new ApplicationImpl(b));
                return true;
            }
            if (iid == IID_ISHORTCUTMANAGER) {
                b->AddOwned(iid, new ShortcutManagerImpl(b));
                return true;
            }
            return AddFrameworkInterface(b, iid, "application");
        });
    }
    return slot;
}

IApplication* SessionImpl::QueryApplication() const {
    return static_cast<IApplication*>(ApplicationObject()->Find(IID_IAPPLICATION));
}

void ReleaseSessionObjects() {
    for (HostBoss** slot : {&SessionSlot(), &ApplicationSlot()}) {
        if (*slot) (*slot)->Release();
        *slot = nullptr;
    }
}

void ClearShortcuts() {
    Shortcuts().clear();
}

ActionID ActionForKey(UTF32TextChar key, int32 modifiers) {
    for (const IShortcutManager::Shortcut& s : Shortcuts())
        if (s.context == PMString("DefaultContext") && s.key.charCode == key &&
            s.modifiers == modifiers)
            return s.action;
    return 0;
}

namespace {
std::uintptr_t& ShownWindow() {
    static std::uintptr_t handle = 0;
    return handle;
}
}  // namespace

std::uintptr_t MainWindowHandle() {
    // Without a window: an opaque, stable, non-zero number, for code that
    // only needs a handle to pass around.
    return ShownWindow() ? ShownWindow() : 0x484f5354;
}

void SetMainWindowHandle(std::uintptr_t handle) {
    ShownWindow() = handle;
}

}  // namespace hostcore

ISession* GetExecutionContextSession() {
    return static_cast<ISession*>(hostcore::SessionObject()->Find(IID_ISESSION));
}

bool SendKeyToApplication(const VirtualKey& key, int32 modifiers) {
    InterfacePtr<IShortcutManager> shortcuts(hostcore::ApplicationObject()->Find(IID_IAPPLICATION),
                                             IID_ISHORTCUTMANAGER);
    const ActionID action =
        shortcuts ? shortcuts->FindAction(PMString("DefaultContext"), key, modifiers) : 0;
    return action != 0 && hostcore::DoMenuAction(action);
}

AcquireModalDialogState::AcquireModalDialogState() {
    ++hostcore::ModalDepth();
}
AcquireModalDialogState::~AcquireModalDialogState() {
    --hostcore::ModalDepth();
}
bool IsModalDialogStateHeld() {
    return hostcore::ModalDepth() > 0;
}
