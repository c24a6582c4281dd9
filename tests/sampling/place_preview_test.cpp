// Replacing a frame by its preview picture: where the picture lands, and
// that a placement that cannot be done leaves the text frame untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/core/host_state.h"
#include "host/sdk/utils.h"
#include "platform/fs.h"
#include "sampling/page_items.h"
#include "sampling/place_preview.h"
#include "tests/sampling/host_document.h"

namespace glyphoria {
namespace {

class PlacePreviewTest : public testing::HostDocumentTest {
  public:
    IDocument* Front() { return Utils<ILayoutUtils>()->GetFrontDocument(); }
};

TEST_F(PlacePreviewTest, PictureSpansTheOldBoxFromItsTopLeftCornerAndIsSelected) {
    const struct {
        const char* name;
        const char* transform;
    } cases[] = {
        {"upright", ""},
        {"quarter turn", R"("rotation": 90,)"},
        {"tilted", R"("rotation": -30,)"},
        {"sheared", R"("shear": 20,)"},
    };
    const std::string png = testing::WriteTestPng(folder.file("p.png"), 120, 30);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(std::string(R"({"spreads": [{"bounds": [0, 0, 600, 400], "layers": [{"items": [
          {"type": "text", "name": "t", "bounds": [100, 100, 300, 150], )") +
             c.transform + R"( "story": {"runs": [{"text": "x"}]}}]}]}]})");
        const PMRect before = Bounds(Frame("t"));
        UIDRef placed = PlacePreview(Front(), Ref("t"), png.c_str());
        ASSERT_TRUE(placed.IsValid());
        EXPECT_FALSE(doc->IsValidUID(Frame("t")));
        const PMRect after = Bounds(placed.GetUID());
        EXPECT_NEAR(before.Left(), after.Left(), 0.01);
        EXPECT_NEAR(before.Top(), after.Top(), 0.01);
        EXPECT_NEAR(120, after.Width(), 0.01);
        EXPECT_NEAR(30, after.Height(), 0.01);
        EXPECT_EQ(std::vector<UID>{placed.GetUID()}, Selected());
        EXPECT_EQ(1u, doc->UndoSteps().size());
    }
}

TEST_F(PlacePreviewTest, NothingChangesWhenThePictureCannotBePlaced) {
    const std::string not_png = folder.file("text.png");
    testing::WriteFileBytes(not_png, "<html>error</html>");
    const std::string empty = folder.file("empty.png");
    testing::WriteFileBytes(empty, "");
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"missing file", folder.file("never.png")},
        {"error page", not_png},
        {"empty file", empty},
        {"no path", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const hostcore::DocModel before = doc->Model();
        EXPECT_EQ(UIDRef::gNull, PlacePreview(Front(), Ref("alpha"), c.path.c_str()));
        EXPECT_TRUE(before == doc->Model());
        EXPECT_TRUE(doc->UndoSteps().empty());
    }
}

TEST_F(PlacePreviewTest, AFrameOutsideALayerOrTheDocumentStays) {
    const std::string png = testing::WriteTestPng(folder.file("p.png"), 10, 10);
    // The frame hangs straight from the spread: there is no layer to put
    // the picture on.
    hostcore::DocModel model = doc->Model();
    const UID alpha = Frame("alpha");
    hostcore::Node* frame = model.FindNode(alpha);
    hostcore::Node* layer = model.FindNode(frame->parent);
    const UID spread = layer->parent;
    auto& siblings = layer->children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), alpha));
    frame->parent = spread;
    model.FindNode(spread)->children.push_back(alpha);
    doc->Reset(model);

    EXPECT_EQ(UIDRef::gNull, PlacePreview(Front(), UIDRef(doc, alpha), png.c_str()));
    EXPECT_TRUE(model == doc->Model());

    // A frame of another document than the front one.
    hostcore::Document* front = doc;
    hostcore::Document* other = hostcore::OpenDocument(front->Model());
    hostcore::SetFrontDocument(front);
    EXPECT_EQ(UIDRef::gNull, PlacePreview(Front(), UIDRef(other, Frame("beta")), png.c_str()));
    EXPECT_TRUE(other->IsValidUID(Frame("beta")));
    EXPECT_EQ(UIDRef::gNull, PlacePreview(nullptr, Ref("beta"), png.c_str()));
    EXPECT_EQ(UIDRef::gNull, PlacePreview(Front(), UIDRef::gNull, png.c_str()));
}

TEST_F(PlacePreviewTest, ThePictureSurvivesItsFileBeingRemovedOrOverwritten) {
    const std::string png = testing::WriteTestPng(folder.file("GL_5.png"), 40, 20);
    UIDRef placed = PlacePreview(Front(), Ref("alpha"), png.c_str());
    ASSERT_TRUE(placed.IsValid());
    testing::WriteTestPng(png, 7, 7);  // the next frame's preview
    ASSERT_TRUE(platform::RemoveFile(png.c_str()));

    const UIDRef image = GetFirstChild(placed);
    ASSERT_TRUE(image.IsValid());
    const hostcore::Node* node = doc->Model().FindNode(image.GetUID());
    ASSERT_NE(nullptr, node);
    const hostcore::Link& link = doc->Model().links.at(node->link);
    EXPECT_TRUE(link.embedded);
    EXPECT_EQ(40, node->pixelWidth);
    EXPECT_NE(std::string::npos, link.bytes.find("IHDR"));
    EXPECT_GT(link.bytes.size(), 40u);
}

}  // namespace
}  // namespace glyphoria
