// Trying and restoring frames of a host document, with previews made
// locally: the undo steps, the labels, the menu's test and action, and the
// frames that must stay as they were.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/sdk/utils.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_steps.h"
#include "sampling/page_items.h"
#include "tests/sampling/host_document.h"

namespace glyphoria {
namespace {

class TryRestoreTest : public testing::HostDocumentTest {
  public:
    // Tries id on the named frames; the UIDs of the pictures that took their
    // places, in the order tried.
    std::vector<UID> Try(const std::vector<std::string>& names, const char* argument = "id=5") {
        Select(names);
        TryFontWith(argument, PictureDownload());
        return Pictures();
    }
    std::vector<UID> Pictures() const {
        std::vector<UID> found;
        for (UID uid : doc->Model().LayoutOrder())
            if (!Label(uid).empty()) found.push_back(uid);
        return found;
    }
};

TEST_F(TryRestoreTest, ARetryKeepsTheFirstRecordAndUndoesToTheEarlierPicture) {
    std::vector<UID> first = Try({"alpha"}, "id=5");
    ASSERT_EQ(1u, first.size());
    const std::string first_label = Label(first[0]);
    EXPECT_EQ(0u, first_label.find("id=5&fontsize=9.000&"));

    SelectUIDs(first);
    TryFontWith("id=6", PictureDownload());
    std::vector<UID> second = Pictures();
    ASSERT_EQ(1u, second.size());
    EXPECT_NE(first[0], second[0]);
    EXPECT_EQ("id=6" + first_label.substr(4), Label(second[0]));
    ASSERT_EQ(kSuccess, doc->Undo());
    EXPECT_TRUE(doc->IsValidUID(first[0]));
    EXPECT_EQ(first_label, Label(first[0]));
}

TEST_F(TryRestoreTest, EachPictureLinksAFileOfItsOwnThatLaterTriesLeaveAlone) {
    testing::ScopedEnv tmpdir("TMPDIR", folder.path().c_str());
    const std::vector<UID> texts = {Frame("alpha"), Frame("beta"), Frame("gamma")};
    std::vector<std::string> paths;
    for (UID text : texts)
        paths.push_back(PreviewPathOf(text));
    const std::vector<UID> pictures = Try({"alpha", "beta", "gamma"});
    ASSERT_EQ(3u, pictures.size());
    std::set<std::string> links;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string link = LinkOf(pictures[i]);
        links.insert(link);
        // The picture's link is its own frame's file, holding that picture.
        EXPECT_NE(std::string::npos, link.find(paths[i].substr(paths[i].find_last_of("/\\") + 1)))
            << link;
        const hostcore::Node* image =
            doc->Model().FindNode(doc->Model().FindNode(pictures[i])->children[0]);
        EXPECT_EQ(std::to_string(image->pixelWidth), testing::UrlParam(urls[i], "Width"));
        EXPECT_EQ(doc->Model().links.at(image->link).bytes, testing::ReadFileBytes(paths[i]));
    }
    EXPECT_EQ(3u, links.size());

    // A re-try of a picture fetches into the picture's own name; the first
    // try's file, which the undo brings back into use, is not touched.
    const std::string first_bytes = testing::ReadFileBytes(paths[0]);
    SelectUIDs({pictures[0]});
    TryFontWith("id=5", PictureDownload());
    EXPECT_EQ(first_bytes, testing::ReadFileBytes(paths[0]));
    EXPECT_TRUE(testing::PathExists(PreviewPathOf(pictures[0])));
    ASSERT_EQ(kSuccess, doc->Undo());
    EXPECT_TRUE(doc->IsValidUID(pictures[0]));
}

TEST_F(TryRestoreTest, APreviewThatIsNotPlacedIsRemoved) {
    testing::ScopedEnv tmpdir("TMPDIR", folder.path().c_str());
    const std::string path = PreviewPathOf(Frame("alpha"));
    Select({"alpha"});
    TryFontWith("id=5", [](const char*, const char* to) { testing::WriteFileBytes(to, "no PNG"); });
    EXPECT_EQ("Alpha text\r", StoryText(Frame("alpha")));
    EXPECT_FALSE(testing::PathExists(path));
    EXPECT_TRUE(doc->UndoSteps().empty());
}

TEST_F(TryRestoreTest, AFrameWhosePreviewFailsStaysAndLeavesNoStep) {
    Select({"alpha", "beta"});
    const hostcore::DocModel before = doc->Model();
    int calls = 0;
    TryFontWith("id=5", [&calls](const char*, const char*) { ++calls; });
    EXPECT_EQ(2, calls);
    EXPECT_TRUE(before == doc->Model());
    EXPECT_TRUE(doc->UndoSteps().empty());
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("noselection", messages[0].text);
    EXPECT_EQ("ok", messages[0].button_keys[0]);
}

TEST_F(TryRestoreTest, AFrameTooLongToKeepWholeStaysAndTheUserIsToldWhy) {
    // One character per run: a few thousand characters whose copy needs more
    // than the copy's limit.
    std::string runs;
    for (int i = 0; i < 16000; ++i)
        runs += std::string(i ? "," : "") + R"({"text": "x", "font": "DejaVuSans", "size": )" +
                (i % 2 ? "9" : "10") + "}";
    Open(R"({"spreads": [{"bounds": [0, 0, 600, 400], "layers": [{"items": [
      {"type": "text", "name": "short", "bounds": [0, 0, 100, 100],
       "story": {"runs": [{"text": "Short"}]}},
      {"type": "text", "name": "long", "bounds": [0, 200, 100, 300],
       "story": {"runs": [)" +
         runs + R"(]}}]}]}]})");
    const UID long_frame = Frame("long");
    const std::string long_text = StoryText(long_frame);
    ASSERT_EQ(16001u, long_text.size());
    Select({"short", "long"});
    TryFontWith("id=5", PictureDownload());
    // The short frame was tried; the long one keeps its whole text.
    EXPECT_EQ(1u, Pictures().size());
    EXPECT_EQ(1u, urls.size());
    ASSERT_TRUE(doc->IsValidUID(long_frame));
    EXPECT_EQ(long_text, StoryText(long_frame));
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("textTooLong", messages[0].text);
}

TEST_F(TryRestoreTest, ATryWithoutAUsableIdIsLoggedAndChangesNothing) {
    // The page, not the user, is at fault: no message asks for a selection.
    for (const char* argument : {"", "psname=Foo", "id=", "id=../x"}) {
        SCOPED_TRACE(argument);
        Select({"alpha"});
        TryFontWith(argument, PictureDownload());
        EXPECT_TRUE(doc->UndoSteps().empty());
        EXPECT_NE(std::string::npos,
                  LogText().find(std::string("try refused, no usable id: \"") + argument + "\"\r"));
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(urls.empty());
}

TEST_F(TryRestoreTest, RestoreUndoesToThePictureWithItsLabel) {
    std::vector<UID> pictures = Try({"alpha"});
    ASSERT_EQ(1u, pictures.size());
    const std::string label = Label(pictures[0]);
    SelectUIDs(pictures);
    EXPECT_TRUE(CanRestoreSelection());
    RestoreSelectedFrames();
    EXPECT_EQ("Alpha text\r", StoryText(pictures[0]));
    EXPECT_EQ("", Label(pictures[0]));
    ASSERT_EQ(2u, doc->UndoSteps().size());
    EXPECT_EQ("Glyphoria", doc->UndoSteps().back().name);
    EXPECT_FALSE(CanRestoreSelection());

    ASSERT_EQ(kSuccess, doc->Undo());
    EXPECT_EQ(label, Label(pictures[0]));
    EXPECT_EQ("", StoryText(pictures[0]));
    EXPECT_TRUE(GetFirstChild(UIDRef(doc, pictures[0])).IsValid());  // the picture
}

TEST_F(TryRestoreTest, AFrameThatCannotBecomeTextStopsTheMenuActionAndKeepsItsLabel) {
    std::vector<UID> pictures = Try({"alpha", "beta", "gamma"});
    ASSERT_EQ(3u, pictures.size());

    // The picture inside the second frame, labelled: it is no frame and
    // cannot become a text frame, so the action stops there.
    const UID inner = GetFirstChild(UIDRef(doc, pictures[1])).GetUID();
    const std::string label = Label(pictures[1]);
    ASSERT_EQ(kSuccess, WriteFrameLabel(UIDRef(doc, inner), "Glyphoria", label.c_str()));
    SelectUIDs({pictures[0], inner, pictures[2]});
    ASSERT_EQ(3u, Selected().size());
    const std::size_t steps = doc->UndoSteps().size();
    RestoreSelectedFrames();
    EXPECT_EQ("Alpha text\r", StoryText(pictures[0]));
    EXPECT_EQ(label, Label(inner));
    EXPECT_TRUE(doc->IsValidUID(inner));
    EXPECT_EQ("", StoryText(pictures[2]));
    EXPECT_FALSE(Label(pictures[2]).empty());
    EXPECT_EQ(steps + 1, doc->UndoSteps().size());
    EXPECT_TRUE(messages.empty());

    // Revert goes on past it and counts the others; alone it is reported.
    SelectUIDs({inner, pictures[2]});
    RevertFrames("");
    EXPECT_EQ("Gamma\r", StoryText(pictures[2]));
    EXPECT_TRUE(messages.empty());
    SelectUIDs({inner});
    RevertFrames("");
    EXPECT_EQ(1u, messages.size());
    EXPECT_EQ(label, Label(inner));
}

TEST_F(TryRestoreTest, RevertCountsUnlabelledFramesAndReportsNothingSelected) {
    Select({"alpha", "beta"});
    RevertFrames("ignored");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(doc->UndoSteps().empty());

    SelectUIDs({});
    RevertFrames(nullptr);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("noselection", messages[0].text);
    EXPECT_NE(std::string::npos, LogText().find("selectedFrames: 0"));
}

}  // namespace
}  // namespace glyphoria
