// Windows built from descriptions: the shipped "URLData" as the table of the
// transfer window has it, every control type's class, style and geometry,
// containers, properties, pop-up menus, lookup by language and the failures.
#include "dialogs/description.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "dialogs/controls.h"
#include "dialogs/dialog_runtime.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"
#include "support/string_table.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::ClassOf;
using testing::RectInParent;
using testing::TextOf;

// The styles each window was asked for at creation: list and combo boxes
// drop their scroll-bar bits from the style afterwards, tab controls add
// clip-siblings.
class CreationLog {
  public:
    CreationLog() {
        log_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~CreationLog() {
        UnhookWindowsHookEx(hook_);
        log_ = nullptr;
    }
    struct Styles {
        HWND window;
        LONG_PTR style, ex_style;
    };
    Styles Of(HWND window) const {
        for (const Styles& s : created_)
            if (s.window == window) return s;
        return {};
    }

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
        if (code == HCBT_CREATEWND && log_) {
            const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
            log_->created_.push_back({reinterpret_cast<HWND>(wparam),
                                      static_cast<LONG_PTR>(static_cast<DWORD>(create->style)),
                                      static_cast<LONG_PTR>(create->dwExStyle)});
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static CreationLog* log_;
    HHOOK hook_;
    std::vector<Styles> created_;
};
CreationLog* CreationLog::log_ = nullptr;

class DescriptionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LoadStrings();
        RegisterToolkitClasses();
        window_ = CreateWindowExW(0, L"Static", L"host", WS_POPUP | WS_CAPTION, 0, 0, 50, 50,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window_);
    }
    void TearDown() override {
        FreeStringProperties(window_);
        DestroyWindow(window_);
        SetLanguageCode(0);
        LoadStrings();
    }
    // The first control the description text builds (root pane's first child).
    HWND BuildOne(const std::string& control) {
        const std::string text = "<rect>0 0 300 200</rect><control>" + control + "</control>";
        EXPECT_TRUE(BuildWindowFromText(window_, text.c_str()));
        return GetWindow(Root(), GW_CHILD);
    }
    HWND Root() { return GetWindow(window_, GW_CHILD); }

    HWND window_ = nullptr;
};

// What the transfer's progress window looks like, in both languages.
TEST_F(DescriptionTest, UrlDataIsTheTransferWindow) {
    struct Case {
        unsigned short language;
        std::wstring cancel;
    } cases[] = {{1033, L"Cancel"}, {1031, L"Abbrechen"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        testing::ScopedLanguage language(c.language);
        LoadStrings();
        struct Seen {
            HWND root, bar, button, after_button, by_code, by_id;
            RECT client, frame, root_rect, bar_rect, button_rect;
            LONG_PTR bar_style, button_style;
            std::wstring title, root_class, bar_class, button_class, cancel;
            LRESULT button_font;
            int root_id;
        } seen = {};
        const int result = RunDescribedDialog(
            "URLData",
            [](HWND dialog, void* data) {
                auto* s = static_cast<Seen*>(data);
                s->root = GetWindow(dialog, GW_CHILD);
                s->bar = GetWindow(s->root, GW_CHILD);
                s->button = GetWindow(s->bar, GW_HWNDNEXT);
                s->after_button = GetWindow(s->button, GW_HWNDNEXT);
                s->by_code = FindControl(dialog, MakeFourCC("prog"));
                s->by_id = FindControl(dialog, 3);
                GetClientRect(dialog, &s->client);
                GetWindowRect(dialog, &s->frame);
                s->root_rect = RectInParent(s->root);
                s->root_id = GetDlgCtrlID(s->root);
                s->bar_rect = RectInParent(s->bar);
                s->button_rect = RectInParent(s->button);
                s->bar_style = GetWindowLongPtrW(s->bar, GWL_STYLE);
                s->button_style = GetWindowLongPtrW(s->button, GWL_STYLE);
                s->title = TextOf(dialog);
                s->root_class = ClassOf(s->root);
                s->bar_class = ClassOf(s->bar);
                s->button_class = ClassOf(s->button);
                s->cancel = TextOf(s->button);
                s->button_font = SendMessageW(s->button, WM_GETFONT, 0, 0);
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED),
                             reinterpret_cast<LPARAM>(s->button));
            },
            &seen);
        EXPECT_EQ(2, result);  // its cancel button
        EXPECT_EQ(L"AdConn", seen.title);
        EXPECT_EQ(440, seen.client.right);
        EXPECT_EQ(50, seen.client.bottom);
        const int width = seen.frame.right - seen.frame.left;
        const int height = seen.frame.bottom - seen.frame.top;
        EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - width) / 2, seen.frame.left);
        EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - height) / 4, seen.frame.top);

        EXPECT_EQ(kUserPaneClass, seen.root_class);
        EXPECT_EQ(0, seen.root_id);
        EXPECT_EQ(0, seen.root_rect.left);
        EXPECT_EQ(0, seen.root_rect.top);
        EXPECT_EQ(width, seen.root_rect.right - seen.root_rect.left);
        EXPECT_EQ(height, seen.root_rect.bottom - seen.root_rect.top);

        EXPECT_EQ(L"msctls_progress32", seen.bar_class);
        EXPECT_EQ(0x50000001, seen.bar_style);
        EXPECT_EQ(seen.by_code, seen.bar);
        EXPECT_EQ(seen.by_id, seen.bar);
        EXPECT_EQ(19, seen.bar_rect.left);
        EXPECT_EQ(19, seen.bar_rect.top);
        EXPECT_EQ(291, seen.bar_rect.right - seen.bar_rect.left);
        EXPECT_EQ(13, seen.bar_rect.bottom - seen.bar_rect.top);

        EXPECT_EQ(L"Button", seen.button_class);
        EXPECT_EQ(0x50000000, seen.button_style);  // not the default button
        EXPECT_EQ(330, seen.button_rect.left);
        EXPECT_EQ(12, seen.button_rect.top);
        EXPECT_EQ(89, seen.button_rect.right - seen.button_rect.left);
        EXPECT_EQ(24, seen.button_rect.bottom - seen.button_rect.top);
        EXPECT_EQ(c.cancel, seen.cancel);
        EXPECT_EQ(reinterpret_cast<LRESULT>(ToolkitFont()), seen.button_font);
        EXPECT_EQ(nullptr, seen.after_button);
    }
}

// Each type's window class, style, extended style and geometry.
TEST_F(DescriptionTest, ControlTypes) {
    struct Case {
        const char* name;
        std::string control;
        const wchar_t* window_class;
        LONG_PTR style;
        LONG_PTR ex_style;
        RECT rect;  // x, y, right, bottom in the container
        bool check_height;
        bool system_control = true;
    } cases[] = {
        {"default push",
         "<type>push</type><id>1</id><rect>10 20 80 40</rect>",
         L"Button",
         0x50000001,
         0,
         {10, 17, 90, 41},
         true},
        {"push",
         "<type>push</type><id>2</id><rect>10 20 80 17</rect>",
         L"Button",
         0x50000000,
         0,
         {10, 17, 90, 41},
         true},
        {"check box",
         "<type>cbox</type><id>5</id><rect>10 20 80 10</rect>",
         L"Button",
         0x50000003,
         0,
         {10, 17, 90, 41},
         true},
        {"radio",
         "<type>rdio</type><id>5</id><rect>10 20 80 10</rect>",
         L"Button",
         0x50000009,
         0,
         {10, 17, 90, 41},
         true},
        {"combo",
         "<type>comb</type><id>5</id><rect>10 20 80 10</rect>",
         L"ComboBox",
         0x50210002,
         0,
         {13, 20, 88, 0},
         false},
        {"pop-up",
         "<type>popb</type><id>5</id><rect>10 20 80 10</rect>",
         L"ComboBox",
         0x50210003,
         0,
         {13, 18, 88, 0},
         false},
        {"etxt",
         "<type>etxt</type><id>5</id><rect>10 20 80 40</rect>",
         L"Edit",
         0x50010080,
         WS_EX_CLIENTEDGE,
         {10, 17, 90, 36},
         true},
        {"eutx",
         "<type>eutx</type><id>5</id><rect>10 20 80 40</rect>",
         L"Edit",
         0x50010080,
         WS_EX_CLIENTEDGE,
         {10, 17, 90, 36},
         true},
        {"password",
         "<type>etxt</type><pass>1</pass><rect>10 20 80 10</rect>",
         L"Edit",
         0x500100A0,
         WS_EX_CLIENTEDGE,
         {10, 17, 90, 36},
         true},
        {"multi-line centred",
         "<type>etxt</type><multi>1</multi><just>center</just>"
         "<rect>10 20 80 40</rect>",
         L"Edit",
         0x50011085,
         WS_EX_CLIENTEDGE,
         {10, 17, 90, 57},
         true},
        {"right",
         "<type>etxt</type><just>right</just><rect>10 20 80 10</rect>",
         L"Edit",
         0x50010082,
         WS_EX_CLIENTEDGE,
         {10, 17, 90, 36},
         true},
        {"group",
         "<type>grpb</type><rect>10 20 80 40</rect>",
         L"Button",
         0x50000007,
         0,
         {10, 15, 90, 55},
         true},
        {"list",
         "<type>lbox</type><rect>10 20 80 40</rect>",
         L"ListBox",
         0x50210151,
         WS_EX_CLIENTEDGE,
         {10, 20, 90, 60},
         true},
        {"progress",
         "<type>prgb</type><rect>10 20 80 10</rect>",
         L"msctls_progress32",
         0x50000001,
         0,
         {10, 20, 90, 30},
         true},
        {"radio group",
         "<type>rgrp</type><text>x</text><rect>10 20 80 40</rect>",
         L"RadioGroup",
         0x50000000,
         0,
         {10, 17, 90, 57},
         true,
         false},
        {"separator",
         "<type>sepa</type><rect>10 20 80 1</rect>",
         L"Separator",
         0x50000000,
         0,
         {10, 17, 90, 18},
         true,
         false},
        {"static",
         "<type>stxt</type><rect>10 20 80 19</rect>",
         L"Static",
         0x5000000C,
         0,
         {10, 20, 90, 36},
         true},
        {"tall static centred",
         "<type>stxt</type><just>center</just><rect>10 20 80 20</rect>",
         L"Static",
         0x50000001,
         0,
         {10, 20, 90, 50},
         true},
        {"static right",
         "<type>stxt</type><just>right</just><rect>10 20 80 5</rect>",
         L"Static",
         0x50000002,
         0,
         {10, 20, 90, 36},
         true},
        {"selectable static",
         "<type>stxt</type><sap >1</sap ><rect>10 20 80 5</rect>",
         L"Edit",
         0x50010880,
         0,
         {10, 20, 90, 39},
         true},
        {"tabs",
         "<type>tabs</type><rect>10 20 80 40</rect>",
         L"SysTabControl32",
         0x50000100,
         WS_EX_CLIENTEDGE,
         {10, 20, 90, 60},
         true},
        {"user pane",
         "<type>upan</type><rect>10 20 80 40</rect>",
         L"UserPane",
         0x50000000,
         0,
         {10, 20, 90, 60},
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CreationLog log;
        HWND control = BuildOne(c.control);
        ASSERT_TRUE(control);
        EXPECT_EQ(c.window_class, ClassOf(control));
        EXPECT_EQ(c.style, log.Of(control).style);
        EXPECT_EQ(c.ex_style, log.Of(control).ex_style);
        RECT rect = RectInParent(control);
        EXPECT_EQ(c.rect.left, rect.left);
        EXPECT_EQ(c.rect.top, rect.top);
        EXPECT_EQ(c.rect.right, rect.right);
        if (c.check_height) {
            EXPECT_EQ(c.rect.bottom, rect.bottom);
        }
        if (c.system_control) {
            // The system's controls keep the font they were given.
            EXPECT_EQ(reinterpret_cast<LRESULT>(ToolkitFont()),
                      SendMessageW(control, WM_GETFONT, 0, 0));
        }
        DestroyWindow(Root());
    }
}

TEST_F(DescriptionTest, ContainersNestAndCloseAndFailuresStayContained) {
    const char* text =
        "<name>title</name><rect>0 0 300 200</rect>"
        "<control><type>grpb</type><id>20</id><rect>0 0 100 100</rect></control>"
        "<control><type>rdio</type><id>21</id></control>"
        "<control><type>nope</type><id>22</id></control>"  // unknown: nothing, same container
        "<control><type>rdio</type><id>23</id></control>"
        "<control><type>####</type></control>"
        "<control><type>upan</type><id>30</id></control>"
        "<control><type>push</type><id>31</id></control>"
        "<control><type>####</type></control>"
        "<control><type>####</type></control>"  // closes the root pane
        "<control><type>####</type></control>"  // nothing beyond the window itself
        "<control><type>push</type><id>40</id></control>"
        "<control><type>tabs</type><id>50</id><text1>One</text1><text2>Zwei</text2>"
        "<text3></text3><text4>Four</text4></control>"
        "<control><type>push</type><id>51</id></control>";  // no final "####"
    ASSERT_TRUE(BuildWindowFromText(window_, text));
    EXPECT_EQ(L"title", TextOf(window_));
    HWND root = Root();
    struct Case {
        int id;
        HWND parent;
    } cases[] = {
        {20, root},    {21, FindControl(window_, 20)}, {23, FindControl(window_, 20)},
        {30, root},    {31, FindControl(window_, 30)}, {40, window_},
        {50, window_}, {51, FindControl(window_, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        HWND control = FindControl(window_, c.id);
        ASSERT_TRUE(control);
        EXPECT_EQ(c.parent, GetParent(control));
    }
    EXPECT_EQ(nullptr, FindControl(window_, 22));
    HWND tabs = FindControl(window_, 50);
    EXPECT_EQ(2, SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));  // up to the first empty label
    wchar_t label[16] = L"";
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = label;
    item.cchTextMax = 16;
    SendMessageW(tabs, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(L"Zwei", label);
}

// Windows the system refuses to create (a CBT hook vetoes one class).
class Veto {
  public:
    explicit Veto(const wchar_t* window_class) {
        class_ = window_class;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~Veto() { UnhookWindowsHookEx(hook_); }

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
        if (code == HCBT_CREATEWND) {
            const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
            if (!IS_INTRESOURCE(create->lpszClass) && lstrcmpiW(create->lpszClass, class_) == 0)
                return 1;
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static const wchar_t* class_;
    HHOOK hook_;
};
const wchar_t* Veto::class_ = nullptr;

TEST_F(DescriptionTest, AControlThatCannotBeMadeIsSkippedAContainerStopsTheRest) {
    const char* text =
        "<rect>0 0 300 200</rect>"
        "<control><type>prgb</type><id>10</id><data>d</data></control>"
        "<control><type>push</type><id>11</id><data>d</data></control>"
        "<control><type>rgrp</type><id>12</id></control>"
        "<control><type>push</type><id>13</id></control>"
        "<control><type>####</type></control>"
        "<control><type>push</type><id>14</id></control>";
    {
        Veto veto(L"msctls_progress32");
        ASSERT_TRUE(BuildWindowFromText(window_, text));
    }
    EXPECT_EQ(nullptr, FindControl(window_, 10));
    EXPECT_TRUE(FindControl(window_, 11));
    DestroyWindow(Root());
    {
        Veto veto(L"RadioGroup");
        ASSERT_TRUE(BuildWindowFromText(window_, text));
    }
    EXPECT_TRUE(FindControl(window_, 11));
    EXPECT_EQ(nullptr, FindControl(window_, 13));
    EXPECT_EQ(nullptr, FindControl(window_, 14));
}

TEST_F(DescriptionTest, CommandCodeAndPropertiesAreAttached) {
    HWND control = BuildOne(
        "<type>etxt</type><id>7</id><cmd>name</cmd><sap ></sap ><empt>1</empt><amnt>12,5</amnt>"
        "<date>2026-12-08</date><data></data><pref>lastName</pref><dval>x</dval>");
    ASSERT_TRUE(control);
    EXPECT_EQ(MakeFourCC("name"), GetValueProperty(control, kPropCommand));
    EXPECT_EQ(nullptr, GetStringProperty(control, MakeFourCC("sap ")));  // empty: not attached
    EXPECT_EQ(nullptr, GetStringProperty(control, MakeFourCC("data")));
    EXPECT_STREQ("1", GetStringProperty(control, MakeFourCC("empt")));
    EXPECT_STREQ("12,5", GetStringProperty(control, MakeFourCC("amnt")));
    EXPECT_STREQ("lastName", GetStringProperty(control, MakeFourCC("pref")));
    EXPECT_TRUE(GetPropA(control, "KWESdval"));
    EXPECT_EQ(control, FindEmptyRequiredField(window_));
    SetWindowTextW(control, L"filled");
    EXPECT_EQ(nullptr, FindEmptyRequiredField(window_));
    FreeStringProperties(window_);
    EXPECT_EQ(nullptr, GetStringProperty(control, MakeFourCC("pref")));
}

TEST_F(DescriptionTest, PopupMenuItemsAndSelection) {
    struct Case {
        const char* text;
        std::wstring shown;
    } cases[] = {{"Beta", L"Beta"}, {"Gamma", L"Alpha"}, {"", L"Alpha"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        HWND popup = BuildOne(std::string("<type>popb</type><text>") + c.text +
                              "</text><menu>Alpha</menu><menu></menu><MENU>Upper</MENU>"
                              "<menu>Beta</menu>");
        ASSERT_TRUE(popup);
        EXPECT_EQ(2, SendMessageW(popup, CB_GETCOUNT, 0, 0));  // empty and "MENU" skipped
        char text[256];
        GetControlText(popup, text, sizeof text);
        EXPECT_EQ(c.shown, platform::win32::Widen(text));
        EXPECT_TRUE(SendMessageW(popup, CB_GETEXTENDEDUI, 0, 0));
        DestroyWindow(Root());
    }
}

TEST_F(DescriptionTest, LookupByNameLanguageAndEnglish) {
    struct Case {
        int language_code;
        const char* name;
        const char* title;  // nullptr: not found
    } cases[] = {
        {3, "TestLang", "Deutsch"},   {0, "TestLang", "English"}, {1, "TestLang", "English"},
        {3, "TestLang_E", "English"}, {0, "TestBom", "Bom"},      {0, "NoSuchWindow", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + std::string(" ") + std::to_string(c.language_code));
        SetLanguageCode(c.language_code);
        const char* text = FindWindowDescription(c.name);
        if (!c.title) {
            EXPECT_EQ(nullptr, text);
            EXPECT_FALSE(BuildDescribedWindow(window_, c.name));
            continue;
        }
        ASSERT_TRUE(text);
        EXPECT_EQ('<', text[0]);  // a byte-order mark is skipped
        ASSERT_TRUE(BuildDescribedWindow(window_, c.name));
        EXPECT_EQ(platform::win32::Widen(c.title), TextOf(window_));
        DestroyWindow(Root());
    }
}

TEST_F(DescriptionTest, MalformedRectUsesWhatCanBeRead) {
    HWND control = BuildOne("<type>upan</type><rect>12 x 5 5</rect>");
    ASSERT_TRUE(control);
    RECT rect = RectInParent(control);
    EXPECT_EQ(12, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(12, rect.right);
    EXPECT_EQ(0, rect.bottom);
}

}  // namespace
}  // namespace glyphoria
