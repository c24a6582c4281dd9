// The toolkit's own window classes as a dialog meets them: the separator's
// line, the font menu's messages, picture and click, the radio group's
// command to its top-level window, and the default drawer of list items.
// Pictures are taken with WM_PRINTCLIENT into a bitmap of known colour.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "dialog_driver.h"
#include "dialogs/controls.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/toolkit.h"
#include "platform/win32/windows_api.h"

namespace glyphoria {
namespace {

constexpr COLORREF kUnpainted = RGB(0x12, 0x34, 0x56);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);

// A top-level window that keeps the commands it receives.
std::vector<std::pair<WPARAM, LPARAM>> g_commands;

LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND) g_commands.emplace_back(wparam, lparam);
    return DefWindowProcW(window, message, wparam, lparam);
}

class ToolkitClassesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterToolkitClasses();
        WNDCLASSEXW type = {};
        type.cbSize = sizeof type;
        type.lpfnWndProc = RecordCommands;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"GlyphoriaTestTop";
        RegisterClassExW(&type);
        top_ = CreateWindowExW(0, L"GlyphoriaTestTop", L"top", WS_POPUP | WS_VISIBLE, 0, 0, 300,
                               200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(top_);
        g_commands.clear();
    }
    void TearDown() override { DestroyWindow(top_); }

    HWND Child(const wchar_t* window_class, const wchar_t* text, int id, int w, int h,
               DWORD style = 0) {
        return CreateWindowExW(0, window_class, text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h,
                               top_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               ToolkitInstance(), nullptr);
    }
    HWND top_ = nullptr;
};

// A bitmap of the given size, first all kUnpainted.
class Picture {
  public:
    Picture(int w, int h) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        RECT all = {0, 0, w, h};
        HBRUSH brush = CreateSolidBrush(kUnpainted);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Picture() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    // The window's own painting of its client area.
    static Picture Of(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        Picture picture(client.right, client.bottom);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.dc_), PRF_CLIENT);
        return picture;
    }
    Picture(Picture&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)),
          bitmap_(std::exchange(other.bitmap_, nullptr)),
          old_(std::exchange(other.old_, nullptr)) {}

    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    // Pixels of the rectangle that are not white and not kUnpainted.
    int Marked(int left, int top, int right, int bottom) const {
        int marked = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (At(x, y) != kWhite && At(x, y) != kUnpainted) ++marked;
        return marked;
    }

  private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

TEST_F(ToolkitClassesTest, SeparatorIsAGreyLineAlongItsLongerSide) {
    struct Case {
        const char* name;
        int w, h;
        POINT on_line, off_line;
    } cases[] = {
        {"horizontal", 60, 10, {30, 0}, {30, 5}},
        {"vertical", 10, 60, {0, 30}, {5, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND separator = Child(kSeparatorClass, L"", 50, c.w, c.h);
        ASSERT_TRUE(separator);
        EXPECT_EQ(kTypeSeparator, ControlType(separator));
        const Picture picture = Picture::Of(separator);
        EXPECT_EQ(kGrey, picture.At(0, 0));
        EXPECT_EQ(kGrey, picture.At(c.on_line.x, c.on_line.y));
        EXPECT_EQ(kUnpainted, picture.At(c.off_line.x, c.off_line.y));
        DestroyWindow(separator);
    }
}

TEST_F(ToolkitClassesTest, FontMenuPaintsAFrameItsTextAndATriangle) {
    HWND menu_button = Child(kFontMenuClass, L"Serif", 40, 120, 20);
    ASSERT_TRUE(menu_button);
    SendMessageW(menu_button, WM_SETFONT, reinterpret_cast<WPARAM>(ToolkitBoldFont()), FALSE);
    EXPECT_EQ(reinterpret_cast<LRESULT>(ToolkitBoldFont()),
              SendMessageW(menu_button, WM_GETFONT, 0, 0));
    const Picture picture = Picture::Of(menu_button);
    EXPECT_EQ(kBlack, picture.At(0, 0));  // the frame
    EXPECT_EQ(kBlack, picture.At(119, 19));
    EXPECT_EQ(kWhite, picture.At(1, 1));  // filled inside, the text from 2, 1 on
    EXPECT_GT(picture.Marked(2, 1, 60, 19), 10);
    EXPECT_EQ(kBlack, picture.At(110, 5));  // the triangle (right - 10, top + 5 .. 11)
    EXPECT_EQ(kBlack, picture.At(110, 11));
    EXPECT_EQ(kBlack, picture.At(112, 8));  // its tip towards (right - 7, top + 8)
    EXPECT_EQ(kWhite, picture.At(115, 8));
}

// The message numbers are the toolkit's interface, used by number by its callers.
static_assert(kFontMenuSetMenu == 1027 && kFontMenuGetMenu == 1028 && kFontMenuGetValue == 1029,
              "the font menu's messages");

TEST_F(ToolkitClassesTest, FontMenuKeepsItsMenuAndPostsTheChosenCommand) {
    HWND menu_button = Child(kFontMenuClass, L"Serif", 40, 120, 20);
    ASSERT_TRUE(menu_button);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 101, L"Serif");
    AppendMenuW(menu, MF_STRING, 102, L"Sans");
    EXPECT_EQ(0, SendMessageW(menu_button, kFontMenuGetMenu, 0, 0));
    EXPECT_EQ(0, SendMessageW(menu_button, kFontMenuGetValue, 0, 0));
    SendMessageW(menu_button, kFontMenuSetMenu, reinterpret_cast<WPARAM>(top_),
                 reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(reinterpret_cast<LRESULT>(menu), SendMessageW(menu_button, kFontMenuGetMenu, 0, 0));

    // The user's keys wait in the queue for the menu the click opens: down
    // twice to "Sans", then Return.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageW(top_, WM_KEYDOWN, key, 1);
        PostMessageW(top_, WM_KEYUP, key, 0xC0000001);
    }
    SendMessageW(menu_button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(102, SendMessageW(menu_button, kFontMenuGetValue, 0, 0));
    EXPECT_TRUE(g_commands.empty());  // posted, not sent
    testing::PumpMessages();
    ASSERT_EQ(1u, g_commands.size());
    EXPECT_EQ(MAKEWPARAM(40, 0), g_commands[0].first);
    EXPECT_EQ(reinterpret_cast<LPARAM>(menu_button), g_commands[0].second);

    // Disabled, a click opens nothing: the keys stay unread, the value too.
    g_commands.clear();
    EnableWindow(menu_button, FALSE);
    for (WPARAM key : {VK_DOWN, VK_RETURN})
        PostMessageW(top_, WM_KEYDOWN, key, 1);
    SendMessageW(menu_button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(102, SendMessageW(menu_button, kFontMenuGetValue, 0, 0));
    testing::PumpMessages();
    EXPECT_TRUE(g_commands.empty());
    DestroyMenu(menu);
}

TEST_F(ToolkitClassesTest, RadioGroupChecksOneChildAndTellsItsTopLevelWindow) {
    HWND group = Child(kRadioGroupClass, L"", 30, 100, 100);
    ASSERT_TRUE(group);
    HWND radios[3];
    for (int i = 0; i < 3; ++i)
        radios[i] =
            CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON, 0, i * 20,
                            80, 20, group, reinterpret_cast<HMENU>(31 + i), nullptr, nullptr);
    EXPECT_EQ(kTypeRadioGroup, ControlType(group));
    EXPECT_EQ(0, GetControlValue(group));
    SetControlValue(group, 2);
    EXPECT_EQ(2, GetControlValue(group));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(radios[0], BM_GETCHECK, 0, 0));
    EXPECT_TRUE(g_commands.empty());  // setting the value is no click

    SendMessageW(group, WM_COMMAND, MAKEWPARAM(33, BN_CLICKED),
                 reinterpret_cast<LPARAM>(radios[2]));
    EXPECT_EQ(3, GetControlValue(group));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(radios[1], BM_GETCHECK, 0, 0));
    ASSERT_EQ(1u, g_commands.size());
    EXPECT_EQ(MAKEWPARAM(30, 0), g_commands[0].first);  // the group's own identifier
    EXPECT_EQ(reinterpret_cast<LPARAM>(group), g_commands[0].second);
}

TEST_F(ToolkitClassesTest, DefaultListDrawerWritesTheTextOnWhiteAndInvertsTheSelected) {
    HWND list = Child(L"ListBox", L"", 15, 120, 60, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS);
    ASSERT_TRUE(list);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Wide text"));
    struct Case {
        const char* name;
        UINT state;
        COLORREF ground;
    } cases[] = {{"plain", 0, kWhite}, {"selected", ODS_SELECTED, kBlack}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture(120, 16);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_LISTBOX;
        item.CtlID = 15;
        item.itemID = 0;
        item.itemState = c.state;
        item.hwndItem = list;
        item.hDC = picture.dc();
        item.rcItem = {0, 0, 120, 16};
        ASSERT_TRUE(DrawListItem(&item));
        EXPECT_EQ(c.ground, picture.At(0, 0));
        EXPECT_EQ(c.ground, picture.At(119, 15));
        // The text starts at 2, 2: nothing of it above or left of that.
        int off_ground = 0, text = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 120; ++x) {
                const bool ground = picture.At(x, y) == c.ground;
                if ((x < 2 || y < 2) && !ground) ++off_ground;
                if (x >= 2 && y >= 2 && !ground) ++text;
            }
        }
        EXPECT_EQ(0, off_ground);
        EXPECT_GT(text, 20);
    }
}

}  // namespace
}  // namespace glyphoria
