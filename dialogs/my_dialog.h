// CMyDialog: a dialog as an object, for dialogs that want their commands as
// calls into code instead of control procedures. It runs either a dialog
// template (by resource identifier) or the window class "MyDialog" built
// from a window description.
//
// Commands go to the command handler (dialog, identifier, user data) and
// then to the extended handler (dialog, control, command parameter, user
// data); the last handler called decides whether the command was handled.
// An unhandled command whose identifier is one of the two end buttons ends
// the dialog with it. Pseudo-commands: -1 when the dialog is initialised, -2
// when it is destroyed, -3 (template form) when the system's fonts change.
// Closing the window ends it with -2. Only the first End counts.
//
// Modal: RunModal returns the result once the dialog has ended. Modeless
// (CreateModeless): the object must come from new; it deletes itself when
// its window is destroyed.
#pragma once

#include <cstdint>

#include "platform/win32/windows_api.h"

namespace glyphoria {

class CMyDialog {
  public:
    // Non-zero when the command was handled.
    using CommandHandler = int (*)(CMyDialog* dialog, int id, void* user);
    using ExtendedCommandHandler = int (*)(CMyDialog* dialog, HWND control, WPARAM command,
                                           void* user);

    // Around an existing dialog window.
    explicit CMyDialog(HWND window);
    // A dialog template of the module; end buttons 0 or less: none.
    CMyDialog(std::uint16_t template_id, std::int16_t end_button1, std::int16_t end_button2,
              std::int32_t spare);
    // A window description (name cut at 63 bytes); also the initial title.
    CMyDialog(const char* description, std::int16_t end_button1, std::int16_t end_button2,
              std::int32_t spare);

    CMyDialog(const CMyDialog&) = delete;
    CMyDialog& operator=(const CMyDialog&) = delete;

    // The virtual operations, in this order.
    virtual ~CMyDialog();
    virtual int RunModal(CommandHandler handler, void* user);
    virtual HWND CreateModeless(CommandHandler handler, void* user);
    virtual int DispatchWith(int id, CommandHandler handler, void* user);
    virtual int Dispatch(int id);
    virtual void End(int result);
    virtual HWND FindControl(int id);

    HWND window() const { return window_; }
    int result() const { return result_; }
    bool ended() const { return ended_ != 0; }
    bool modal() const { return modal_ != 0; }
    const char* description() const { return description_; }
    // The window to disable while running modally (default: the host's
    // main window).
    void SetOwner(HWND owner) { owner_ = owner; }
    void SetExtendedHandler(ExtendedCommandHandler handler) { extended_handler_ = handler; }

  protected:
    HWND creation_window_ = nullptr;
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    char description_[64] = {};
    std::uint8_t modal_ = 0;
    CommandHandler handler_ = nullptr;
    ExtendedCommandHandler extended_handler_ = nullptr;
    void* user_ = nullptr;
    std::uint16_t template_id_ = 0;
    std::int16_t end_button1_ = 0;
    std::int16_t end_button2_ = 0;
    std::int32_t spare_ = 0;
    std::int32_t result_ = 0;
    std::uint8_t ended_ = 0;

  private:
    static INT_PTR CALLBACK TemplateProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    friend LRESULT CALLBACK MyDialogWindowProc(HWND, UINT, WPARAM, LPARAM);
    // Runs the window form modally.
    int RunDescribed();
    // A command message: remembers its code and control, then dispatches.
    void OnCommand(int id, HWND control, WPARAM command);
    void Attach(HWND window);
    // A modeless object whose window goes while one of its dispatches runs
    // (a handler or an end button ended it) is deleted only once the
    // outermost dispatch has returned. Leave may delete the object.
    void Enter() { ++busy_; }
    void Leave();

    // The control and parameter of the command message being dispatched,
    // for the extended handler.
    HWND command_control_ = nullptr;
    WPARAM command_param_ = 0;
    bool in_command_ = false;
    int busy_ = 0;
    bool delete_when_idle_ = false;
};

}  // namespace glyphoria
