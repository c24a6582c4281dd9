// The session and the application: process-wide host objects. The session
// carries the font manager and the interfaces plug-ins add to it (such as
// their idle tasks); the application carries the shortcut manager.
// GetExecutionContextSession never returns nil while the host library is
// loaded. The host's main window handle is an opaque non-zero number; while
// the host program shows its layout window (--window) it is that window's
// X11 id, which a library may make its own windows transient for.
#pragma once

#include <cstdint>
#include <vector>

#include "host/sdk/ids.h"
#include "host/sdk/strings.h"
#include "host/sdk/unknown.h"

class IApplication;

class ISession : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISESSION };
    // Not a new reference.
    virtual IApplication* QueryApplication() const = 0;
};

class IApplication : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IAPPLICATION };
    virtual PMString GetApplicationName() const = 0;
    // The main window as the window system's handle.
    virtual std::uintptr_t GetMainWindowHandle() const = 0;
};

ISession* GetExecutionContextSession();

struct VirtualKey {
    VirtualKey() = default;
    VirtualKey(int32 vk, UTF32TextChar ch) : virtualKeyCode(vk), charCode(ch) {}
    int32 virtualKeyCode = 0;
    UTF32TextChar charCode = 0;
};

class IShortcutManager : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISHORTCUTMANAGER };
    struct Shortcut {
        ActionID action;
        PMString context;
        VirtualKey key;
        int32 modifiers;
    };
    // Forgets every shortcut of the action.
    virtual void RemoveAllShortcutsForAction(ActionID action) = 0;
    // Binds the key in the context ("DefaultContext" is the layout's). A key
    // already bound in the context moves to the new action.
    virtual ErrorCode AddShortcut(ActionID action, const PMString& context, const VirtualKey& key,
                                  int32 modifiers) = 0;
    virtual std::vector<Shortcut> GetShortcuts(ActionID action) const = 0;
    // The action bound to the key in the context, 0 for none.
    virtual ActionID FindAction(const PMString& context, const VirtualKey& key,
                                int32 modifiers) const = 0;
};

// The host application's own handling of a key (its application event
// target), where a plug-in's windows send the keys they do not keep, so that
// the host's shortcuts work while such a window is in front: the action bound
// to the key in "DefaultContext" with these modifiers runs as its menu entry
// would (only when enabled, never while a modal-dialog state is held). Undo
// belongs to the layout view, not to the application: no key sent here
// undoes. True when an action ran.
bool SendKeyToApplication(const VirtualKey& key, int32 modifiers);

// Holds the host's modal-dialog state while it lives: the host runs no menu
// actions and no idle tasks meanwhile. Nests.
class AcquireModalDialogState {
  public:
    AcquireModalDialogState();
    ~AcquireModalDialogState();
    AcquireModalDialogState(const AcquireModalDialogState&) = delete;
    AcquireModalDialogState& operator=(const AcquireModalDialogState&) = delete;
};
bool IsModalDialogStateHeld();
