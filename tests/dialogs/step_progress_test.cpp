// The step-progress dialog over a list: every text once and in order, the
// bar, stopping, cancelling, a missing description and a step that pumps
// messages.
#include "dialogs/step_progress.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "dialogs/controls.h"
#include "support/string_table.h"

namespace glyphoria {
namespace {

const char* const kTexts[] = {"one", "two", "three", "four", "five"};

struct Steps {
    std::vector<std::string> seen;
    int stop_at = 0;  // 1-based step that answers 0
    bool pump = false;
    int depth = 0, deepest = 0;
    std::wstring title, cancel;
    int range_high = 0, position = 0;
    LONG_PTR ex_style = 0;
};

int Step(HWND dialog, const char* text, void* data) {
    auto* steps = static_cast<Steps*>(data);
    steps->depth++;
    steps->deepest = std::max(steps->deepest, steps->depth);
    steps->seen.push_back(text);
    if (steps->seen.size() == 1) {
        steps->title = testing::TextOf(dialog);
        steps->cancel = testing::TextOf(FindControl(dialog, 2));
        steps->ex_style = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
        if (HWND bar = FindControl(dialog, MakeFourCC("prog")))
            steps->range_high = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
    }
    if (HWND bar = FindControl(dialog, MakeFourCC("prog")))
        steps->position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    if (steps->pump) {
        // As a step that shows a box would: the dialog's timer keeps ticking.
        const DWORD until = GetTickCount() + 60;
        MSG msg;
        while (GetTickCount() < until) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(1);
        }
    }
    steps->depth--;
    return static_cast<int>(steps->seen.size()) == steps->stop_at ? 0 : 1;
}

class StepProgressTest : public ::testing::Test {
  protected:
    void SetUp() override { LoadStrings(); }
};

TEST_F(StepProgressTest, WorksThroughTheListOnce) {
    struct Case {
        const char* name;
        const char* description;
        int stop_at;
        bool pump;
        int result;
        std::size_t steps;
    } cases[] = {
        {"all", "Progress", 0, false, 1, 5},
        {"a step stops it", "Progress", 3, false, 0, 3},
        {"steps that pump messages", "Progress", 0, true, 1, 5},
        {"no such description", "NoSuchWindow", 0, false, 1, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Steps steps;
        steps.stop_at = c.stop_at;
        steps.pump = c.pump;
        EXPECT_EQ(c.result,
                  RunStepProgressOn(c.description, "downloading", kTexts, 5, Step, &steps));
        ASSERT_EQ(c.steps, steps.seen.size());
        for (std::size_t i = 0; i < c.steps; ++i)
            EXPECT_EQ(kTexts[i], steps.seen[i]);
        EXPECT_EQ(1, steps.deepest);
        EXPECT_EQ(L"Downloading\u2026", steps.title);
        EXPECT_TRUE(steps.ex_style & WS_EX_TOOLWINDOW);
        if (std::string(c.description) == "Progress") {
            EXPECT_EQ(L"Cancel", steps.cancel);
            EXPECT_EQ(5, steps.range_high);
            EXPECT_EQ(static_cast<int>(c.steps), steps.position);
        }
    }
}

TEST_F(StepProgressTest, CancelEndsWithTwo) {
    Steps steps;
    testing::DialogDriver driver(
        {[](HWND d) { PostMessageW(d, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0); }});
    const char* const many[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l",
                                "m", "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x"};
    steps.pump = true;  // slow steps, so the cancel comes in time
    EXPECT_EQ(2, RunStepProgress("x", many, 24, Step, &steps));
    EXPECT_LT(steps.seen.size(), 24u);
}

TEST_F(StepProgressTest, NothingToDoIsDoneAtOnce) {
    EXPECT_EQ(1, RunStepProgress("x", nullptr, 0, Step, nullptr));
    EXPECT_EQ(1, RunStepProgress("x", kTexts, -3, Step, nullptr));
}

}  // namespace
}  // namespace glyphoria
