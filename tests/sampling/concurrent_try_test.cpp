// A try on several frames whose previews come from a renderer on the
// loopback address through the plug-in's own fetcher: the previews are
// asked for together, arrive out of order, fail or stall, and the frames
// are still placed, labelled, undone and logged in selection order.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "purchase/fetch_limits.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_steps.h"
#include "support/prefs_store.h"
#include "tests/common/loopback_server.h"
#include "tests/sampling/host_document.h"

namespace glyphoria {
namespace {

// Four text frames; the renderer tells them apart by their text.
const char kFourFrames[] = R"({"spreads": [{"bounds": [0, 0, 600, 400], "layers": [{"items": [
  {"type": "text", "name": "one", "bounds": [0, 0, 100, 50], "story": {"runs": [{"text": "slow"}]}},
  {"type": "text", "name": "two", "bounds": [0, 60, 120, 110], "story": {"runs": [{"text": "fast"}]}},
  {"type": "text", "name": "three", "bounds": [0, 120, 140, 170], "story": {"runs": [{"text": "fails"}]}},
  {"type": "text", "name": "four", "bounds": [0, 180, 160, 230], "story": {"runs": [{"text": "stalls"}]}}
]}]}]})";

// A one-shot signal between the renderer's handler threads.
class Gate {
  public:
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    bool WaitOpen(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return open_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

class ConcurrentTryTest : public testing::HostDocumentTest {
  public:
    void SetUp() override {
        HostDocumentTest::SetUp();
        // "slow" is answered only after "fast" has been: the previews arrive
        // out of order whatever the timing. "stalls" is held until the test
        // ends; its response limit runs out first.
        renderer_.server().Get(
            "/render", [this](const httplib::Request& request, httplib::Response& response) {
                const std::string text = request.get_param_value("RenderText");
                if (text == "slow")
                    waited_for_fast_ = fast_served_.WaitOpen(std::chrono::seconds(10));
                if (text == "stalls") {
                    released_.WaitOpen(std::chrono::seconds(30));
                    return;
                }
                if (text == "fails") {
                    response.status = 500;
                    return;
                }
                const int width = std::atoi(request.get_param_value("Width").c_str());
                const std::string png = testing::WriteTestPng(folder.file("r-" + text + ".png"),
                                                              std::max(1, width), 10);
                response.set_content(testing::ReadFileBytes(png), "image/png");
                {
                    std::lock_guard<std::mutex> lock(order_mutex_);
                    served_.push_back(text);
                }
                if (text == "fast") fast_served_.Open();
            });
        renderer_.Start();
        Prefs().SetString(kGeneralSection, "mlSamplerUrl", renderer_.url("/render").c_str());
        SetBlockingFetchLimits(platform::NetLimits{5000, 1500, 5000});
        Open(kFourFrames);
    }
    void TearDown() override {
        released_.Open();
        SetBlockingFetchLimits(kDefaultBlockingFetchLimits);
        HostDocumentTest::TearDown();
    }

    testing::ScopedEnv tmpdir_{"TMPDIR", folder.path().c_str()};
    Gate fast_served_, released_;
    std::atomic<bool> waited_for_fast_{false};
    std::mutex order_mutex_;
    std::vector<std::string> served_;
    // Last, so its handlers are gone before what they use.
    testing::LoopbackServer renderer_;
};

TEST_F(ConcurrentTryTest, PreviewsArrivingOutOfOrderFailingOrStallingArePlacedInSelectionOrder) {
    const UID one = Frame("one"), two = Frame("two"), three = Frame("three"), four = Frame("four");
    Select({"one", "two", "three", "four"});
    TryFont("id=5");

    // The renderer answered the second frame before the first: they were
    // asked for at the same time.
    EXPECT_TRUE(waited_for_fast_);
    EXPECT_EQ((std::vector<std::string>{"fast", "slow"}), served_);

    // The failed and the stalled frame stay text; the others are pictures
    // with their own records, in layout and selection order.
    EXPECT_EQ("fails\r", StoryText(three));
    EXPECT_EQ("stalls\r", StoryText(four));
    EXPECT_FALSE(doc->IsValidUID(one));
    EXPECT_FALSE(doc->IsValidUID(two));
    std::vector<std::string> labels;
    for (UID uid : doc->Model().LayoutOrder())
        if (!Label(uid).empty()) labels.push_back(Label(uid));
    ASSERT_EQ(2u, labels.size());
    EXPECT_NE(std::string::npos, labels[0].find("text=slow"));
    EXPECT_NE(std::string::npos, labels[1].find("text=fast"));
    EXPECT_TRUE(messages.empty());

    // One step per placed frame: undone last first, the second frame first.
    ASSERT_EQ(2u, doc->UndoSteps().size());
    ASSERT_EQ(kSuccess, doc->Undo());
    EXPECT_EQ("fast\r", StoryText(two));
    EXPECT_FALSE(doc->IsValidUID(one));
    ASSERT_EQ(kSuccess, doc->Undo());
    EXPECT_EQ("slow\r", StoryText(one));

    // Each frame's lines together, the frames in selection order.
    const std::string log = LogText();
    std::vector<std::string> expected = {"RenderText=slow",   "setTag: id=5",     "RenderText=fast",
                                         "setTag: id=5",      "RenderText=fails", "fetch failed",
                                         "RenderText=stalls", "fetch failed"};
    std::size_t at = 0;
    for (const std::string& line : expected) {
        const std::size_t found = log.find(line, at);
        ASSERT_NE(std::string::npos, found) << line << " after " << at << " in\n" << log;
        at = found + line.size();
    }
    EXPECT_EQ(std::string::npos, log.find("setTag", at)) << log;
}

}  // namespace
}  // namespace glyphoria
