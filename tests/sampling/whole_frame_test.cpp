// Trying and restoring frames that the record alone cannot keep: long text
// in several paragraphs and styles, rotated and sheared frames, named frames
// with labels of their own. Each comes back equal to the original as the
// host's model has it (hostapp::FrameDifferences), and undo and redo walk
// each step exactly.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "host/app/frame_compare.h"
#include "host/sdk/page_items.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_copy.h"
#include "sampling/frame_steps.h"
#include "sampling/page_items.h"
#include "sampling/percent_codec.h"
#include "tests/sampling/host_document.h"

namespace glyphoria {
namespace {

using nlohmann::json;

json Run(const std::string& text, const char* font, double size, const char* colour) {
    return json{{"text", text}, {"font", font}, {"size", size}, {"color", colour}};
}

// A few KB in paragraphs of several styles, with text beyond ASCII, a
// surrogate pair and an empty paragraph; the last paragraph (and so the end
// marker) is set larger than the rest.
json LongStory() {
    json runs = json::array();
    for (int i = 0; i < 12; ++i) {
        runs.push_back(
            Run("Paragraph " + std::to_string(i + 1) + ": ", "DejaVuSans-Bold", 14, "Red"));
        runs.push_back(
            Run("Ελληνικά, čeština, 12 € and a clef \xF0\x9D\x84\x9E in body text that "
                "runs on for a while, as body text does, ",
                "LiberationSerif", 11, "Black"));
        runs.push_back(Run("set in italic.\n", "LiberationSerif-Italic", 11.5, "Teal"));
    }
    runs.push_back(Run("\n", "LiberationSerif", 11, "Black"));
    runs.push_back(Run("The end, larger.", "DejaVuSans", 30, "Red"));
    return json{{"runs", runs}};
}

json Frame(const char* name, json bounds, json story) {
    return json{{"type", "text"}, {"name", name}, {"bounds", bounds}, {"story", story}};
}

std::string LosslessDocument() {
    json items = json::array();
    items.push_back(Frame("long", {10, 10, 300, 390}, LongStory()));
    json mixed = Frame("mixed", {320, 10, 590, 90},
                       {{"runs",
                         {Run("Bold lead-in", "DejaVuSans-Bold", 16, "Black"),
                          Run(" and body.\nSecond paragraph.", "LiberationSerif", 9, "Sand")}}});
    mixed["fill"] = "Teal";
    items.push_back(mixed);
    json rotated = Frame("rotated", {330, 110, 530, 160},
                         {{"runs", {Run("Turned", "DejaVuSerif", 12, "Red")}}});
    rotated["rotation"] = 30;
    rotated["labels"] = {{"script.id", "42"}, {"note", "a&b=c?d é"}};
    items.push_back(rotated);
    json sheared = Frame("sheared", {330, 200, 530, 260},
                         {{"runs", {Run("Slanted", "LiberationSans", 14, "Black")}}});
    sheared["rotation"] = -7.25;
    sheared["shear"] = 20;
    sheared["fill"] = "Sand";
    items.push_back(sheared);
    items.push_back(
        Frame("", {330, 300, 530, 340}, {{"runs", {Run("Unnamed", "DejaVuSans", 10, "Black")}}}));
    json doc{
        {"name", "Lossless"},
        {"swatches",
         {{{"name", "Red"}, {"space", "RGB"}, {"components", {1, 0, 0}}},
          {{"name", "Teal"}, {"space", "CMYK"}, {"components", {0.8, 0, 0.3, 0.2}}},
          {{"name", "Sand"}, {"space", "Lab"}, {"components", {80, 5, 25}}}}},
        {"spreads",
         {{{"bounds", {0, 0, 600, 400}}, {"layers", {{{"name", "Text"}, {"items", items}}}}}}}};
    return doc.dump();
}

class WholeFrameTest : public testing::HostDocumentTest {
  public:
    void SetUp() override {
        HostDocumentTest::SetUp();
        Open(LosslessDocument());
        original = doc->Model();
    }
    // The frame of that name in the original document.
    UID Original(const std::string& name) const {
        for (const auto& node : original.nodes)
            if (node.second.kind == hostcore::NodeKind::kFrame && node.second.name == name)
                return node.first;
        return kInvalidUID;
    }
    UID OriginalUnnamed() const {
        for (const auto& node : original.nodes)
            if (node.second.kind == hostcore::NodeKind::kFrame && node.second.name.empty())
                return node.first;
        return kInvalidUID;
    }
    // Tries argument on the frames; the pictures, in the order placed.
    std::vector<UID> Try(const std::vector<UID>& frames, const char* argument = "id=5") {
        SelectUIDs(frames);
        TryFontWith(argument, PictureDownload());
        std::vector<UID> pictures;
        for (const auto& node : doc->Model().nodes)
            if (!Label(node.first).empty()) pictures.push_back(node.first);
        return pictures;
    }
    std::string Copy(UID picture) const { return FrameLabel(UIDRef(doc, picture), kFrameCopyKey); }
    std::vector<std::string> AgainstOriginal(UID original_frame, UID frame) const {
        return hostapp::FrameDifferences(original, original_frame, doc->Model(), frame);
    }
    void SetCopy(UID picture, const std::string& text) {
        ASSERT_EQ(kSuccess, WriteFrameLabel(UIDRef(doc, picture), kFrameCopyKey, text.c_str()));
    }

    hostcore::DocModel original;
};

TEST_F(WholeFrameTest, EachFrameComesBackExactlyAndEveryStepUndoesAndRedoes) {
    const char* names[] = {"long", "mixed", "rotated", "sheared", ""};
    for (const char* name : names) {
        SCOPED_TRACE(*name ? name : "(unnamed)");
        Open(LosslessDocument());
        original = doc->Model();
        const UID frame = *name ? Original(name) : OriginalUnnamed();
        ASSERT_NE(kInvalidUID, frame);

        const std::vector<UID> pictures = Try({frame});
        ASSERT_EQ(1u, pictures.size());
        const UID picture = pictures[0];
        const hostcore::DocModel tried = doc->Model();
        // The picture takes the frame's place and keeps its name and labels.
        std::vector<std::string> place = AgainstOriginal(frame, picture);
        EXPECT_EQ("picture frame instead of text", place.front());
        place.erase(place.begin());
        // Its own fill stays None: the renderer drew the frame's into it.
        for (const std::string& d : place)
            EXPECT_TRUE(d.find("a label \"Glyphoria") == 0 || d.find("fill None instead") == 0)
                << d;
        EXPECT_FALSE(Copy(picture).empty());

        SelectUIDs({picture});
        RestoreSelectedFrames();
        EXPECT_TRUE(AgainstOriginal(frame, picture).empty())
            << ::testing::PrintToString(AgainstOriginal(frame, picture));
        const hostcore::DocModel restored = doc->Model();

        ASSERT_EQ(2u, doc->UndoSteps().size());
        ASSERT_EQ(kSuccess, doc->Undo());
        EXPECT_TRUE(tried == doc->Model());
        ASSERT_EQ(kSuccess, doc->Undo());
        EXPECT_TRUE(original == doc->Model());
        ASSERT_EQ(kSuccess, doc->Redo());
        EXPECT_TRUE(tried == doc->Model());
        ASSERT_EQ(kSuccess, doc->Redo());
        EXPECT_TRUE(restored == doc->Model());
    }
}

TEST_F(WholeFrameTest, TheRecordKeepsItsFormatAndTheBeginningOfALongText) {
    const std::vector<UID> pictures = Try({Original("long")});
    ASSERT_EQ(1u, pictures.size());
    ASSERT_EQ(1u, urls.size());
    const std::string label = Label(pictures[0]);
    TextData record(label.c_str());
    const char* keys[] = {"id", "fontsize", "textUID", "ps0", "text", "fillUID", "width", "height"};
    ASSERT_EQ(8u, record.PairCount());
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_STREQ(keys[i], record.KeyAt(i));
    // The first 255 bytes of whole characters: the renderer gets the same.
    const std::string text = record.DecodedText();
    EXPECT_LE(text.size(), 255u);
    EXPECT_GT(text.size(), 250u);
    EXPECT_EQ(0u, text.find("Paragraph 1: Ελληνικά"));
    EXPECT_EQ(record.GetString("text"), testing::UrlParam(urls[0], "RenderText"));
    EXPECT_STREQ("290.000", record.GetString("width"));
    EXPECT_STREQ("14.000", record.GetString("fontsize"));

    // The rotated frame is rendered upright at its own size.
    Try({Original("rotated")});
    EXPECT_EQ("200", testing::UrlParam(urls.back(), "Width"));
    EXPECT_EQ("50", testing::UrlParam(urls.back(), "Height"));
}

TEST_F(WholeFrameTest, ARetryKeepsTheFirstCopyAndStillRestoresTheOriginal) {
    const UID frame = Original("rotated");
    const std::vector<UID> first = Try({frame}, "id=5");
    ASSERT_EQ(1u, first.size());
    const std::string copy = Copy(first[0]);
    const std::string label = Label(first[0]);

    const std::vector<UID> second = Try(first, "id=6");
    ASSERT_EQ(1u, second.size());
    EXPECT_NE(first[0], second[0]);
    EXPECT_EQ(copy, Copy(second[0]));
    EXPECT_EQ("id=6" + label.substr(4), Label(second[0]));
    std::vector<std::string> place =
        hostapp::FrameDifferences(original, frame, doc->Model(), second[0]);
    EXPECT_EQ(3u, place.size()) << ::testing::PrintToString(place);  // kind and the two labels

    SelectUIDs(second);
    RevertFrames("");
    EXPECT_TRUE(AgainstOriginal(frame, second[0]).empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(WholeFrameTest, APictureWithOnlyTheRecordIsRestoredFromIt) {
    // As another installation leaves it: no copy beside the record.
    const UID frame = Original("mixed");
    const std::vector<UID> pictures = Try({frame});
    ASSERT_EQ(1u, pictures.size());
    SetCopy(pictures[0], "");
    const std::string label = Label(pictures[0]);

    SelectUIDs(pictures);
    RestoreSelectedFrames();
    EXPECT_EQ("Bold lead-in and body.\rSecond paragraph.\r", StoryText(pictures[0]));
    // The frame's box, name and fill; the text in one style, the first
    // character's size and colour in the family's regular face: what the
    // record holds.
    const std::vector<std::string> differences = AgainstOriginal(frame, pictures[0]);
    ASSERT_EQ(1u, differences.size()) << ::testing::PrintToString(differences);
    EXPECT_EQ("font DejaVu Sans Book instead of DejaVu Sans Bold at character 1", differences[0]);
    const auto& attrs = doc->Model().stories.at(GetStory(UIDRef(doc, pictures[0])).GetUID()).attrs;
    for (std::size_t i = 0; i + 1 < attrs.size(); ++i)
        EXPECT_EQ(16, attrs[i].pointSize) << i;
    EXPECT_TRUE(Label(pictures[0]).empty());
    EXPECT_EQ(std::string::npos, LogText().find("frame copy"));
}

}  // namespace
}  // namespace glyphoria
