// Restoring pictures whose labels were damaged or tampered with: a whole
// copy that cannot be trusted gives way to the record, with the reason in the
// log; a record whose measurements no frame can have leaves the picture as it
// is. Never a frame without its text, never one of an impossible size.
#include <gtest/gtest.h>

#include <string>

#include "host/sdk/geometry.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_copy.h"
#include "sampling/frame_steps.h"
#include "sampling/page_items.h"
#include "tests/sampling/host_document.h"

namespace glyphoria {
namespace {

class HostileRestore : public testing::HostDocumentTest {
  public:
    // "alpha" tried with id 5: its picture.
    UID TriedAlpha() {
        Select({"alpha"});
        TryFontWith("id=5", PictureDownload());
        for (const auto& node : doc->Model().nodes)
            if (!Label(node.first).empty()) return node.first;
        return kInvalidUID;
    }
    std::string Copy(UID picture) const { return FrameLabel(UIDRef(doc, picture), kFrameCopyKey); }
    void SetLabel(UID picture, const char* key, const std::string& text) {
        ASSERT_EQ(kSuccess, WriteFrameLabel(UIDRef(doc, picture), key, text.c_str()));
    }
};

TEST_F(HostileRestore, ADamagedCopyGivesWayToTheRecordAndSaysWhy) {
    const UID probe = TriedAlpha();
    ASSERT_NE(kInvalidUID, probe);
    const std::string good = Copy(probe);
    std::string far = good;
    far.replace(far.find("\"bounds\":[10.0"), 14, "\"bounds\":[-900000.0");
    struct Case {
        const char* name;
        std::string copy;
        const char* why;
    } cases[] = {
        {"cut short", good.substr(0, good.size() - 9), "not JSON"},
        {"not JSON at all", "\x01\xFF garbage", "not JSON"},
        {"huge", good + std::string(kFrameCopyMaxBytes, ' '), "larger than 1048576 bytes"},
        {"another version", "{\"version\":7}", "not version 1"},
        {"beyond the page", far, "bounds beyond the page"},
        {"an empty object", "{}", "not version 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(testing::kStandardDocument);
        const UID picture = TriedAlpha();
        ASSERT_NE(kInvalidUID, picture);
        SetLabel(picture, kFrameCopyKey, c.copy);
        SelectUIDs({picture});
        RevertFrames("");
        EXPECT_TRUE(messages.empty());
        // The record's text, size and box; no label of a try left behind.
        EXPECT_EQ("Alpha text\r", StoryText(picture));
        EXPECT_EQ(PMRect(10, 10, 210, 60), Bounds(picture));
        EXPECT_TRUE(Label(picture).empty());
        EXPECT_TRUE(Copy(picture).empty());
        EXPECT_NE(std::string::npos,
                  LogText().find("frame copy of " + std::to_string(picture) + " refused (" + c.why +
                                 "): restoring from the record"))
            << LogText();
    }
}

TEST_F(HostileRestore, RecordMeasurementsNoFrameCanHaveLeaveThePicture) {
    struct Case {
        const char* name;
        const char* measurements;
    } cases[] = {
        {"width beyond any float", "width=1e308&height=50.000"},
        {"width not a number", "width=abc&height=50.000"},
        {"no height", "width=200.000"},
        {"negative height", "width=200.000&height=-5"},
        {"wider than a page item", "width=16385&height=50"},
        {"infinite", "width=inf&height=nan"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(testing::kStandardDocument);
        const UID picture = TriedAlpha();
        ASSERT_NE(kInvalidUID, picture);
        // A record alone (as another installation leaves it), tampered with.
        SetLabel(picture, kFrameCopyKey, "");
        const std::string label = std::string("id=5&text=Alpha&") + c.measurements;
        SetLabel(picture, kFrameLabelKey, label);
        const hostcore::DocModel before = doc->Model();
        const std::size_t steps = doc->UndoSteps().size();
        SelectUIDs({picture});
        EXPECT_TRUE(CanRestoreSelection());
        RestoreSelectedFrames();
        EXPECT_TRUE(before == doc->Model());
        EXPECT_EQ(steps, doc->UndoSteps().size());
        EXPECT_EQ(label, Label(picture));
        EXPECT_NE(std::string::npos,
                  LogText().find("restore refused: " + std::to_string(picture) + ": width "))
            << LogText();
    }
}

}  // namespace
}  // namespace glyphoria
