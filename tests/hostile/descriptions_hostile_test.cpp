// Window descriptions that no shipped window has: numbers at the edges of
// an int (whose geometry would overflow), controls without "cmd" or "just"
// (which once read whatever the stack held), more "####" than containers,
// texts past their bound in characters the bound splits.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/description_plan.h"

namespace {

using glyphoria::kPlanCoordinateLimit;
using glyphoria::PlanWindow;

TEST(HostileDescriptions, NumbersAtTheEdgesStayInReach) {
    const char* rects[] = {
        "-2147483648 -2147483648 -2147483648 -2147483648",
        "2147483647 2147483647 2147483647 2147483647",
        "99999999999999999999 -99999999999999999999 1 1",
    };
    for (const char* rect : rects) {
        SCOPED_TRACE(rect);
        std::string text;
        for (const char* type : {"push", "comb", "popb", "etxt", "grpb", "rgrp", "sepa"})
            text += std::string("<control><type>") + type + "</type><rect>" + rect +
                    "</rect></control>";
        const glyphoria::WindowPlan plan = PlanWindow(text.c_str());
        ASSERT_EQ(7u, plan.controls.size());
        for (const auto& c : plan.controls) {
            for (int v : {c.geometry.x, c.geometry.y, c.geometry.w, c.geometry.h}) {
                EXPECT_LE(v, kPlanCoordinateLimit + 200);
                EXPECT_GE(v, -kPlanCoordinateLimit - 200);
            }
        }
    }
}

TEST(HostileDescriptions, MissingElementsReadAsNothing) {
    const glyphoria::WindowPlan plan =
        PlanWindow("<control><type>stxt</type></control><control><type>etxt</type></control>");
    ASSERT_EQ(2u, plan.controls.size());
    for (const auto& c : plan.controls) {
        EXPECT_EQ(0u, c.command);
        EXPECT_EQ(-1, c.id);
        EXPECT_TRUE(c.properties.empty());
    }
    EXPECT_EQ(0x5000000Cu, plan.controls[0].style);  // left-justified, not whatever was there
    EXPECT_EQ(0x50010080u, plan.controls[1].style);
}

TEST(HostileDescriptions, ClosingMoreThanWasOpenedStopsAtTheWindow) {
    std::string text = "<control><type>upan</type></control>";
    for (int i = 0; i < 1000; ++i)
        text += "<control><type>####</type></control>";
    text += "<control><type>push</type><id>9</id></control>";
    const glyphoria::WindowPlan plan = PlanWindow(text.c_str());
    ASSERT_EQ(2u, plan.controls.size());
    EXPECT_EQ(glyphoria::kParentWindow, plan.controls[1].parent);
    EXPECT_EQ(1001, plan.controls[1].block);
}

TEST(HostileDescriptions, TextsPastTheBoundKeepWholeCharacters) {
    struct Case {
        const char* name;
        std::string character;
    } cases[] = {{"two bytes", "\xc3\xa9"},
                 {"three bytes", "\xe2\x82\xac"},
                 {"four bytes", "\xf0\x9f\x98\x80"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string long_text;
        while (long_text.size() < 400)
            long_text += c.character;
        const std::string text = "<name>" + long_text + "</name><control><type>tabs</type>" +
                                 "<text1>" + long_text + "</text1><dval>" + long_text +
                                 "</dval></control>";
        const glyphoria::WindowPlan plan = PlanWindow(text.c_str());
        const std::size_t whole = 255 / c.character.size() * c.character.size();
        EXPECT_EQ(long_text.substr(0, whole), plan.name);
        ASSERT_EQ(1u, plan.controls.size());
        EXPECT_EQ(long_text.substr(0, whole), plan.controls[0].tab_labels.at(0));
        EXPECT_EQ(long_text.substr(0, whole), plan.controls[0].properties.at(0).second);
    }
}

}  // namespace
