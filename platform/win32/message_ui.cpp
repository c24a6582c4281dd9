// Message boxes on Windows, for now the system's MessageBoxW: its buttons
// carry the system's captions, chosen by the keys of the box's buttons
// ("ok", "yes"/"no", "ok"/"cancel", "yes"/"no"/"cancel"). The result is the
// position of the button that closed the box, as the message service wants.
#include "platform/message_ui.h"

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

namespace {

int ButtonCount(const MessageBoxContent& box) {
    int count = 0;
    while (count < 3 && !box.buttons[count].empty())
        ++count;
    return count;
}

UINT BoxType(const MessageBoxContent& box, int count) {
    const bool yes_first = box.button_keys[0] == "yes";
    if (count >= 3) return MB_YESNOCANCEL;
    if (count == 2) return yes_first ? MB_YESNO : MB_OKCANCEL;
    return MB_OK;
}

int Position(int id) {
    switch (id) {
        case IDOK:
        case IDYES:
            return 1;
        case IDNO:
            return 2;
        default:
            return 0;  // IDCANCEL: its position depends on the box
    }
}

}  // namespace

int PresentMessageBox(const MessageBoxContent& box) {
    const int count = ButtonCount(box);
    std::string text = box.text;
    if (!box.detail.empty()) text += "\n\n" + box.detail;
    int id = MessageBoxW(GetActiveWindow(), win32::Widen(text.c_str()).c_str(), L"Glyphoria",
                         BoxType(box, count) | MB_ICONINFORMATION | MB_TASKMODAL);
    if (id == IDCANCEL) return count >= 3 ? 3 : 2;  // cancel button or close control
    int position = Position(id);
    return position ? position : 2;
}

}  // namespace glyphoria::platform
