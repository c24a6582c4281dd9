// CMyDialog: the template form, the "MyDialog" window form and the private
// modal loop.
#include "dialogs/my_dialog.h"

#include <cstring>

#include "dialogs/controls.h"
#include "dialogs/description.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

using platform::win32::Widen;

constexpr int kInitialise = -1;
constexpr int kDestroyed = -2;
constexpr int kClosed = -2;
constexpr int kFontsChanged = -3;

CMyDialog* ObjectOf(HWND window) {
    return reinterpret_cast<CMyDialog*>(GetValueProperty(window, kPropDialogObject));
}

// A click outside the dialog on a window that does not start inside it (a
// drop-down list of the dialog does) is kept from the rest of the screen.
bool IsOutsideClick(HWND dialog, const MSG& msg) {
    if (msg.message != WM_NCLBUTTONDOWN && msg.message != WM_LBUTTONDOWN &&
        msg.message != WM_LBUTTONUP)
        return false;
    RECT frame;
    if (!GetWindowRect(dialog, &frame)) return false;
    if (PtInRect(&frame, msg.pt)) return false;
    RECT target;
    if (!msg.hwnd || !GetWindowRect(msg.hwnd, &target)) return true;
    const POINT corner = {target.left, target.top};
    return !PtInRect(&frame, corner);
}

}  // namespace

CMyDialog::CMyDialog(HWND window) : creation_window_(window), window_(window) {
    owner_ = HostMainWindow();
}

CMyDialog::CMyDialog(std::uint16_t template_id, std::int16_t end_button1, std::int16_t end_button2,
                     std::int32_t spare)
    : template_id_(template_id),
      end_button1_(end_button1),
      end_button2_(end_button2),
      spare_(spare) {
    owner_ = HostMainWindow();
}

CMyDialog::CMyDialog(const char* description, std::int16_t end_button1, std::int16_t end_button2,
                     std::int32_t spare)
    : end_button1_(end_button1), end_button2_(end_button2), spare_(spare) {
    owner_ = HostMainWindow();
    if (description) {
        std::size_t n =
            Utf8PrefixLength(description, std::strlen(description), sizeof description_ - 1);
        std::memcpy(description_, description, n);
        description_[n] = '\0';
    }
}

CMyDialog::~CMyDialog() {
    // A window that outlives its object must not call into it.
    if (window_ && IsWindow(window_) && ObjectOf(window_) == this)
        SetValueProperty(window_, kPropDialogObject, 0);
}

int CMyDialog::RunModal(CommandHandler handler, void* user) {
    RegisterToolkitClasses();
    handler_ = handler;
    user_ = user;
    modal_ = 1;
    // An object may be run again: each run starts unended, or the end
    // buttons and the close box of the second run would do nothing.
    ended_ = 0;
    result_ = 0;
    if (template_id_) {
        return static_cast<int>(DialogBoxParamW(ToolkitInstance(), MAKEINTRESOURCEW(template_id_),
                                                GetActiveWindow(), TemplateProc,
                                                reinterpret_cast<LPARAM>(this)));
    }
    if (!description_[0]) return 0;
    return RunDescribed();
}

int CMyDialog::RunDescribed() {
    HWND focus = GetFocus();
    HWND active = GetActiveWindow();
    HWND owner = owner_ ? owner_ : (active ? GetWindow(active, GW_OWNER) : nullptr);
    const bool owner_was_enabled = owner && IsWindowEnabled(owner);
    if (owner) EnableWindow(owner, FALSE);
    if (active) EnableWindow(active, FALSE);

    HWND window = CreateWindowExW(0, kMyDialogClass, Widen(description_).c_str(), 0x80C80000, 100,
                                  100, 200, 200, active, nullptr, ToolkitInstance(), this);
    if (window) {
        CentreWindow(window);
        ShowWindow(window, SW_SHOW);
        FocusFirstControl(window);
    }
    // Until the dialog has ended, or its window is gone some other way (an
    // End with result 0 must not leave this loop waiting for ever).
    MSG msg;
    while (window && !ended_ && IsWindow(window)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // The thread is quitting: leave, and let the outer loop see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_CHAR && msg.wParam == VK_ESCAPE && msg.hwnd == window) {
            SendMessageW(window, WM_CLOSE, 0, 0);
            continue;
        }
        if (IsDialogMessageW(window, &msg)) continue;
        if (IsOutsideClick(window, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (window && IsWindow(window)) DestroyWindow(window);

    if (active && IsWindow(active)) EnableWindow(active, TRUE);
    if (owner && IsWindow(owner)) EnableWindow(owner, owner_was_enabled ? TRUE : FALSE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return result_;
}

HWND CMyDialog::CreateModeless(CommandHandler handler, void* user) {
    RegisterToolkitClasses();
    handler_ = handler;
    user_ = user;
    modal_ = 0;
    // With a close box: a modeless dialog whose description has no end
    // button could otherwise not be closed by the user at all.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kMyDialogClass, Widen(description_).c_str(),
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU, 100, 100, 100, 100, owner_,
                                  nullptr, ToolkitInstance(), this);
    if (!window) return nullptr;
    window_ = window;
    ShowWindow(window, SW_SHOW);
    return window;
}

int CMyDialog::DispatchWith(int id, CommandHandler handler, void* user) {
    Enter();
    // The command message's control belongs to this dispatch only, not to
    // the ones it leads to (the -2 of a window destroyed by an end button).
    const bool from_message = in_command_;
    in_command_ = false;
    int handled = 0;
    if (handler) handled = handler(this, id, user);
    if (extended_handler_) {
        HWND control = from_message ? command_control_ : FindControl(id);
        WPARAM command = from_message ? command_param_
                                      : MAKEWPARAM(static_cast<WORD>(id), LastNotificationCode());
        handled = extended_handler_(this, control, command, user);
    }
    if (!handled && id > 0 && (id == end_button1_ || id == end_button2_)) End(id);
    Leave();
    return handled;
}

int CMyDialog::Dispatch(int id) {
    return DispatchWith(id, handler_, user_);
}

void CMyDialog::End(int result) {
    if (ended_) return;
    ended_ = 1;
    result_ = result;
    HWND window = window_;
    if (!window) return;
    if (template_id_)
        EndDialog(window, result);
    else
        DestroyWindow(window);  // a modeless object may be gone after this
}

HWND CMyDialog::FindControl(int id) {
    return glyphoria::FindControl(window_, static_cast<FourCC>(id));
}

void CMyDialog::Attach(HWND window) {
    SetValueProperty(window, kPropDialogObject, reinterpret_cast<std::intptr_t>(this));
    creation_window_ = window;
    window_ = window;
}

void CMyDialog::OnCommand(int id, HWND control, WPARAM command) {
    Enter();
    RememberNotificationCode(command);
    in_command_ = true;
    command_control_ = control;
    command_param_ = command;
    Dispatch(id);
    in_command_ = false;
    Leave();
}

void CMyDialog::Leave() {
    if (--busy_ == 0 && delete_when_idle_) delete this;
}

INT_PTR CALLBACK CMyDialog::TemplateProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CMyDialog*>(lparam);
        self->Attach(window);
        self->Dispatch(kInitialise);
        CentreWindow(window);
        return TRUE;
    }
    CMyDialog* self = ObjectOf(window);
    if (!self) return FALSE;
    switch (message) {
        case WM_COMMAND:
            self->OnCommand(LOWORD(wparam), reinterpret_cast<HWND>(lparam), wparam);
            return TRUE;
        case WM_CLOSE:
            self->End(kClosed);
            return TRUE;
        case WM_DESTROY:
            self->Dispatch(kDestroyed);
            SetValueProperty(window, kPropDialogObject, 0);
            return FALSE;
        case WM_FONTCHANGE:
            self->Dispatch(kFontsChanged);
            return TRUE;
        case WM_SETFOCUS:
            return HandleFocusFromControl(window, reinterpret_cast<HWND>(wparam)) ? TRUE : FALSE;
        case WM_DRAWITEM:
            return DrawListItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)) ? TRUE : FALSE;
        case WM_GETDLGCODE:
            SetWindowLongPtrW(window, DWLP_MSGRESULT, DLGC_WANTALLKEYS);
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT CALLBACK MyDialogWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        if (auto* self = static_cast<CMyDialog*>(create->lpCreateParams)) self->Attach(window);
        return DefWindowProcW(window, message, wparam, lparam);
    }
    CMyDialog* self = ObjectOf(window);
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
        case WM_CREATE:
            // Without a description the window keeps the name as its title.
            BuildDescribedWindow(window, self->description_);
            self->Dispatch(kInitialise);
            CentreWindow(window);
            return 0;
        case WM_COMMAND:
            self->OnCommand(LOWORD(wparam), reinterpret_cast<HWND>(lparam), wparam);
            return 0;
        case WM_NOTIFY:
            if (IsTabSelectionChange(lparam)) {
                const auto* header = reinterpret_cast<const NMHDR*>(lparam);
                const auto id = static_cast<WORD>(header->idFrom);
                self->OnCommand(id, header->hwndFrom,
                                MAKEWPARAM(id, static_cast<WORD>(kTabSelectionChanged)));
                return 0;
            }
            break;
        case WM_CLOSE:
            self->End(kClosed);
            return 0;
        case WM_DESTROY:
            self->Dispatch(kDestroyed);
            FreeStringProperties(window);
            KillTimer(window, 1);
            return 0;
        case WM_NCDESTROY:
            SetValueProperty(window, kPropDialogObject, 0);
            self->window_ = nullptr;
            if (!self->modal_) {
                if (self->busy_)
                    self->delete_when_idle_ = true;
                else
                    delete self;
            }
            return DefWindowProcW(window, message, wparam, lparam);
        case WM_TIMER:
            HandleDialogTimer(window, wparam);
            return 0;
        case WM_SETFOCUS:
            if (HandleFocusFromControl(window, reinterpret_cast<HWND>(wparam))) return 0;
            break;
        case WM_DRAWITEM:
            if (DrawListItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace glyphoria
