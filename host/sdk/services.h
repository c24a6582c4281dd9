// Framework components a plug-in implements: the start-up/shutdown service,
// idle tasks and action components.
//
// Start-up services are called once after every plug-in is registered, in
// load order; Shutdown once before the modules are unloaded, in reverse order.
//
// Idle tasks: InstallTask(delay) schedules RunTask after delay milliseconds
// at an idle moment; RunTask returns the delay to the next run, or
// kEndOfTime to be uninstalled. CIdleTask implements installing.
//
// Action components: before showing or running a menu entry the host calls
// UpdateActionStates with the entries concerned (states as the host has
// them); DoAction runs one. CActionComponent leaves every entry unchanged
// and does nothing.
#pragma once

#include <string>
#include <vector>

#include "host/sdk/ids.h"
#include "host/sdk/strings.h"
#include "host/sdk/unknown.h"

class IStartupShutdownService : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISTARTUPSHUTDOWN };
    virtual void Startup() = 0;
    virtual void Shutdown() = 0;
};

constexpr uint32 kEndOfTime = 0xFFFFFFFFu;

class IdleTimer {
  public:
    // Milliseconds the task may still use of this idle moment.
    virtual uint32 operator()() const = 0;

  protected:
    ~IdleTimer() = default;
};

class IIdleTask : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IIDLETASK };
    virtual uint32 RunTask(uint32 appFlags, IdleTimer* timeCheck) = 0;
    virtual void InstallTask(uint32 delayMilliseconds) = 0;
    virtual void UninstallTask() = 0;
    virtual const char* TaskName() = 0;
};

class CIdleTask : public CPMUnknown<IIdleTask> {
  public:
    explicit CIdleTask(IPMUnknown* boss) : CPMUnknown<IIdleTask>(boss) {}
    ~CIdleTask() override;
    void InstallTask(uint32 delayMilliseconds) override;
    void UninstallTask() override;
};

// Menu entry states: bits, so 3 is enabled and checked.
enum : int16 { kDisabled_Unselected = 0, kEnabledAction = 1, kSelectedAction = 2 };

class IActionStateList {
  public:
    virtual int32 Length() const = 0;
    virtual ActionID GetNthAction(int32 n) const = 0;
    virtual int16 GetNthActionState(int32 n) const = 0;
    virtual void SetNthActionState(int32 n, int16 state) = 0;
    virtual PMString GetNthActionName(int32 n) const = 0;
    virtual void SetNthActionName(int32 n, const PMString& name) = 0;

  protected:
    ~IActionStateList() = default;
};

// The host's list: each entry starts with the state and name the host has.
class ActionStateList : public IActionStateList {
  public:
    struct Entry {
        ActionID id;
        int16 state;
        PMString name;
    };
    void Add(ActionID id, int16 state, const PMString& name) {
        fEntries.push_back({id, state, name});
    }
    int32 Length() const override { return static_cast<int32>(fEntries.size()); }
    ActionID GetNthAction(int32 n) const override;
    int16 GetNthActionState(int32 n) const override;
    void SetNthActionState(int32 n, int16 state) override;
    PMString GetNthActionName(int32 n) const override;
    void SetNthActionName(int32 n, const PMString& name) override;

  private:
    std::vector<Entry> fEntries;
};

class IActiveContext;
struct GSysPoint {
    int32 x = 0, y = 0;
};

class IActionComponent : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IACTIONCOMPONENT };
    virtual void UpdateActionStates(IActiveContext* ac, IActionStateList* list,
                                    GSysPoint mousePoint, IPMUnknown* widget) = 0;
    virtual void DoAction(IActiveContext* ac, ActionID id, GSysPoint mousePoint,
                          IPMUnknown* widget) = 0;
};

class CActionComponent : public CPMUnknown<IActionComponent> {
  public:
    explicit CActionComponent(IPMUnknown* boss) : CPMUnknown<IActionComponent>(boss) {}
    void UpdateActionStates(IActiveContext*, IActionStateList*, GSysPoint, IPMUnknown*) override {}
    void DoAction(IActiveContext*, ActionID, GSysPoint, IPMUnknown*) override {}
};
