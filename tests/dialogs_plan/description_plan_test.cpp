// Window descriptions read into plans: the shipped "URLData" as the transfer
// window shows it, each type's class, style and geometry, the nesting of
// containers, the texts' bounds and what bad numbers become.
#include "dialogs/description_plan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace glyphoria {
namespace {

std::string ReadResource(const char* name) {
    std::ifstream in(std::string(RESOURCES_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The rect as x, y, w, h for comparisons.
std::vector<int> R(const PlanRect& r) {
    return {r.x, r.y, r.w, r.h};
}

TEST(DescriptionPlanTest, UrlDataIsTheTransferWindow) {
    const std::string text = ReadResource("URLData.xml");
    ASSERT_FALSE(text.empty());
    const WindowPlan plan = PlanWindow(text.c_str());
    EXPECT_EQ("AdConn", plan.name);
    EXPECT_EQ((std::vector<int>{740, 264, 440, 50}), R(plan.rect));
    ASSERT_EQ(2u, plan.controls.size());  // the closing "####" plans nothing

    const PlannedControl& bar = plan.controls[0];
    EXPECT_EQ(kTypeProgress, bar.type);
    EXPECT_STREQ("msctls_progress32", bar.window_class);
    EXPECT_EQ(0x50000001u, bar.style);
    EXPECT_EQ(3, bar.id);
    EXPECT_EQ(MakeFourCC("prog"), bar.command);
    EXPECT_EQ((std::vector<int>{19, 19, 291, 13}), R(bar.geometry));
    EXPECT_EQ(kParentRootPane, bar.parent);
    EXPECT_FALSE(bar.keyboard);

    const PlannedControl& button = plan.controls[1];
    EXPECT_STREQ("Button", button.window_class);
    EXPECT_EQ(0x50000000u, button.style);  // id 2: not the default button
    EXPECT_EQ(2, button.id);
    EXPECT_EQ("cancel", button.text_key);
    EXPECT_EQ(MakeFourCC("not!"), button.command);
    EXPECT_EQ((std::vector<int>{330, 12, 89, 24}), R(button.geometry));
    EXPECT_EQ(kParentRootPane, button.parent);
    EXPECT_TRUE(button.keyboard);
    EXPECT_EQ(1, button.block);
}

// Each type's class, styles and where it is created from "x y w h".
TEST(DescriptionPlanTest, ControlTypes) {
    struct Case {
        const char* name;
        std::string control;
        const char* window_class;
        std::uint32_t style, ex_style;
        std::vector<int> geometry;
        bool keyboard, container;
    } cases[] = {
        {"default push",
         "<type>push</type><id>1</id><rect>10 20 80 40</rect>",
         "Button",
         0x50000001,
         0,
         {10, 17, 80, 24},
         true,
         false},
        {"push",
         "<type>push</type><id>2</id><rect>10 20 80 17</rect>",
         "Button",
         0x50000000,
         0,
         {10, 17, 80, 24},
         true,
         false},
        {"check box",
         "<type>cbox</type><rect>10 20 80 10</rect>",
         "Button",
         0x50000003,
         0,
         {10, 17, 80, 24},
         true,
         false},
        {"radio",
         "<type>rdio</type><rect>10 20 80 10</rect>",
         "Button",
         0x50000009,
         0,
         {10, 17, 80, 24},
         true,
         false},
        {"combo",
         "<type>comb</type><rect>10 20 80 10</rect>",
         "ComboBox",
         0x50210002,
         0,
         {13, 20, 75, 100},
         false,
         false},
        {"pop-up",
         "<type>popb</type><rect>10 20 80 10</rect>",
         "ComboBox",
         0x50210003,
         0,
         {13, 18, 75, 200},
         false,
         false},
        {"etxt",
         "<type>etxt</type><rect>10 20 80 40</rect>",
         "Edit",
         0x50010080,
         0x200,
         {10, 17, 80, 19},
         true,
         false},
        {"password",
         "<type>eutx</type><pass>1</pass><rect>10 20 80 10</rect>",
         "Edit",
         0x500100A0,
         0x200,
         {10, 17, 80, 19},
         true,
         false},
        {"multi-line centred",
         "<type>etxt</type><multi>1</multi><just>center</just><rect>10 20 80 40</rect>",
         "Edit",
         0x50011085,
         0x200,
         {10, 17, 80, 40},
         true,
         false},
        {"group",
         "<type>grpb</type><rect>10 20 80 40</rect>",
         "Button",
         0x50000007,
         0,
         {10, 15, 80, 40},
         true,
         true},
        {"list",
         "<type>lbox</type><rect>10 20 80 40</rect>",
         "ListBox",
         0x50210151,
         0x200,
         {10, 20, 80, 40},
         true,
         false},
        {"radio group",
         "<type>rgrp</type><text>x</text><rect>10 20 80 40</rect>",
         "RadioGroup",
         0x50000000,
         0,
         {10, 17, 80, 40},
         false,
         true},
        {"separator",
         "<type>sepa</type><rect>10 20 80 1</rect>",
         "Separator",
         0x50000000,
         0,
         {10, 17, 80, 1},
         false,
         false},
        {"static",
         "<type>stxt</type><rect>10 20 80 19</rect>",
         "Static",
         0x5000000C,
         0,
         {10, 20, 80, 16},
         false,
         false},
        {"tall static right",
         "<type>stxt</type><just>right</just><rect>10 20 80 20</rect>",
         "Static",
         0x50000002,
         0,
         {10, 20, 80, 30},
         false,
         false},
        {"selectable static",
         "<type>stxt</type><sap >1</sap ><rect>10 20 80 5</rect>",
         "Edit",
         0x50010880,
         0,
         {10, 20, 80, 19},
         false,
         false},
        {"tabs",
         "<type>tabs</type><rect>10 20 80 40</rect>",
         "SysTabControl32",
         0x50000100,
         0x200,
         {10, 20, 80, 40},
         true,
         true},
        {"user pane",
         "<type>upan</type><rect>10 20 80 40</rect>",
         "UserPane",
         0x50000000,
         0,
         {10, 20, 80, 40},
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = "<rect>0 0 300 200</rect><control>" + c.control + "</control>";
        const WindowPlan plan = PlanWindow(text.c_str());
        ASSERT_EQ(1u, plan.controls.size());
        const PlannedControl& got = plan.controls[0];
        EXPECT_STREQ(c.window_class, got.window_class);
        EXPECT_EQ(c.style, got.style);
        EXPECT_EQ(c.ex_style, got.ex_style);
        EXPECT_EQ(c.geometry, R(got.geometry));
        EXPECT_EQ(c.keyboard, got.keyboard);
        EXPECT_EQ(c.container, got.container);
    }
}

TEST(DescriptionPlanTest, ContainersNestAndCloseButNeverPastTheWindow) {
    const char* text =
        "<name>title</name><rect>0 0 300 200</rect>"
        "<control><type>grpb</type><id>20</id></control>"
        "<control><type>rdio</type><id>21</id></control>"
        "<control><type>nope</type><id>22</id></control>"   // unknown: nothing, same container
        "<control><type>radio</type><id>23</id></control>"  // not four bytes: unknown
        "<control><type>####</type></control>"
        "<control><type>upan</type><id>30</id></control>"
        "<control><type>rgrp</type><id>31</id></control>"
        "<control><type>rdio</type><id>32</id></control>"
        "<control><type>####</type></control>"
        "<control><type>####</type></control>"
        "<control><type>####</type></control>"  // closes the root pane
        "<control><type>####</type></control>"  // nothing beyond the window itself
        "<control><type>push</type><id>40</id></control>"
        "<control><type>tabs</type><id>50</id><text1>One</text1><text2>Zwei</text2>"
        "<text3></text3><text4>Four</text4></control>"
        "<control><type>push</type><id>51</id></control>";  // no final "####"
    const WindowPlan plan = PlanWindow(text);
    struct Expected {
        int id, parent, block;
    } expected[] = {
        {20, kParentRootPane, 0},
        {21, 0, 1},
        {30, kParentRootPane, 5},
        {31, 2, 6},
        {32, 3, 7},
        {40, kParentWindow, 12},
        {50, kParentWindow, 13},
        {51, 6, 14},
    };
    ASSERT_EQ(std::size(expected), plan.controls.size());
    for (std::size_t i = 0; i < plan.controls.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(expected[i].id, plan.controls[i].id);
        EXPECT_EQ(expected[i].parent, plan.controls[i].parent);
        EXPECT_EQ(expected[i].block, plan.controls[i].block);
    }
    EXPECT_EQ((std::vector<std::string>{"One", "Zwei"}), plan.controls[6].tab_labels);
}

TEST(DescriptionPlanTest, PropertiesMenusAndTextKeys) {
    const WindowPlan plan = PlanWindow(
        "<control><type>etxt</type><id>7</id><cmd>name</cmd><sap ></sap ><empt>1</empt>"
        "<amnt>12,5</amnt><date>2026-12-08</date><data></data><pref>lastName</pref>"
        "<dval>x</dval><text>field</text></control>"
        "<control><type>popb</type><text>Beta</text><menu>Alpha</menu><menu></menu>"
        "<MENU>Upper</MENU><menu>Beta</menu></control>"
        "<control><type>sepa</type><text>hidden</text><cmd>ab</cmd></control>");
    ASSERT_EQ(3u, plan.controls.size());
    const PlannedControl& edit = plan.controls[0];
    EXPECT_EQ(MakeFourCC("name"), edit.command);
    EXPECT_EQ("field", edit.text_key);
    const std::vector<std::pair<FourCC, std::string>> properties = {
        {MakeFourCC("empt"), "1"},          {MakeFourCC("amnt"), "12,5"},
        {MakeFourCC("date"), "2026-12-08"}, {MakeFourCC("pref"), "lastName"},
        {MakeFourCC("dval"), "x"},
    };  // empty ones ("sap ", "data") are not attached
    EXPECT_EQ(properties, edit.properties);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta"}), plan.controls[1].menu_items);
    EXPECT_EQ("Beta", plan.controls[1].text_key);
    EXPECT_EQ("", plan.controls[2].text_key);  // a separator shows no text
    EXPECT_EQ(0x61620000u, plan.controls[2].command);
    EXPECT_EQ(0u, PlanWindow("<control><type>push</type></control>").controls[0].command);
}

TEST(DescriptionPlanTest, LongTextsAreCutBetweenCharacters) {
    std::string accents;
    for (int i = 0; i < 200; ++i)
        accents += "\xc3\xa9";
    const std::string text = "<name>a" + accents + "</name><control><type>popb</type><text>" +
                             accents + "</text><pref>a" + accents + "</pref><menu>a" + accents +
                             "</menu></control><control><type>tabs</type><text1>a" + accents +
                             "</text1></control>";
    const WindowPlan plan = PlanWindow(text.c_str());
    ASSERT_EQ(2u, plan.controls.size());
    const std::string cut_odd = "a" + accents.substr(0, 254);  // 255 bytes, whole characters
    EXPECT_EQ(cut_odd, plan.name);
    EXPECT_EQ(accents.substr(0, 254), plan.controls[0].text_key);
    EXPECT_EQ(cut_odd, plan.controls[0].properties.at(0).second);
    EXPECT_EQ(cut_odd, plan.controls[0].menu_items.at(0));
    EXPECT_EQ(cut_odd, plan.controls[1].tab_labels.at(0));
}

TEST(DescriptionPlanTest, RectNumbers) {
    struct Case {
        const char* rect;
        std::vector<int> read;
    } cases[] = {
        {"1 2 3 4", {1, 2, 3, 4}},
        {"  -1\t+2\n3 4 5", {-1, 2, 3, 4}},
        {"1 2 x 4", {1, 2, 0, 0}},  // reading stops at the first that is no number
        {"", {0, 0, 0, 0}},
        {"99999999999 -2147483648 2147483647 7",
         {kPlanCoordinateLimit, -kPlanCoordinateLimit, kPlanCoordinateLimit, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rect);
        const std::string text = std::string("<rect>") + c.rect + "</rect><control><type>push" +
                                 "</type><rect>" + c.rect + "</rect></control>";
        const WindowPlan plan = PlanWindow(text.c_str());
        EXPECT_EQ(c.read, R(plan.rect));
        ASSERT_EQ(1u, plan.controls.size());
        EXPECT_EQ(c.read, R(plan.controls[0].described));
    }
    EXPECT_TRUE(PlanWindow(nullptr).controls.empty());
}

}  // namespace
}  // namespace glyphoria
