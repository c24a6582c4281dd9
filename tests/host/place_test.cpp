// Placing pictures, fitting, links, frame content and colours: the host
// operations a try and a restore go through.
#include <cstdio>

#include "host/app/render.h"
#include "host/core/file_uri.h"
#include "host/sdk/commands.h"
#include "host/sdk/document.h"
#include "host/sdk/page_items.h"
#include "host/sdk/swatches.h"
#include "host/sdk/text.h"
#include "host/sdk/utils.h"
#include "host_fixture.h"
#include "tests/common/test_env.h"

namespace hosttest {
namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

class PlaceTest : public HostTest {
  public:
    // The plug-in's way: layer from the hierarchy, place on it at the
    // frame's box, fit.
    UIDRef PlaceOver(UID frame, const std::string& path, ErrorCode* err) {
        InterfacePtr<IHierarchy> hier(UIDRef(doc, frame));
        InterfacePtr<IGeometry> geo(UIDRef(doc, frame));
        PMRect box = geo->GetBoundingBox(InnerToPasteboardMatrix(geo));
        InterfacePtr<ILayer> layer(UIDRef(doc, hier->GetLayerUID()));
        InterfacePtr<ICommand> cmd(CmdUtils::CreateCommand(kImportAndPlaceCmdBoss));
        InterfacePtr<IPlaceData> place(cmd, IID_IPLACEDATA);
        PMPointList corners{box.LeftTop(), box.RightBottom()};
        place->Set(::GetUIDRef(layer), &corners, kFalse);
        URI uri;
        Utils<IFileURIUtils>()->IDFileToURI(IDFile(path.c_str()), uri);
        InterfacePtr<IImportData> import(cmd, IID_IIMPORTDATA);
        import->Set(doc, uri, 0, 0, 0, 0, 0);
        *err = CmdUtils::ProcessCommand(cmd);
        return *err == kSuccess ? cmd->GetItemList()->GetRef(0) : UIDRef::gNull;
    }
    PMRect Bounds(UID uid) {
        InterfacePtr<IGeometry> geo(UIDRef(doc, uid));
        return geo ? geo->GetBoundingBox(InnerToPasteboardMatrix(geo)) : PMRect();
    }
    UID FirstChild(UID uid) {
        InterfacePtr<IHierarchy> h(UIDRef(doc, uid));
        return h ? h->GetChildUID(0) : kInvalidUID;
    }

    TempDir tmp;
};

TEST_F(PlaceTest, PlacedPictureSpansTheBoxThenFitsToItsPixels) {
    ErrorCode err;
    UIDRef placed = PlaceOver(Frame("tilted"), WritePng(tmp.file("p.png"), 40, 30), &err);
    ASSERT_EQ(kSuccess, err);
    // The rotated frame's axis-aligned box: 100x50 turned a quarter.
    EXPECT_EQ(PMRect(325, 175, 375, 275), Bounds(placed.GetUID()));
    EXPECT_EQ(doc->Model().LayerOf(Frame("tilted")), doc->Model().LayerOf(placed.GetUID()));
    ASSERT_EQ(kSuccess, Utils<IFitFrameUtils>()->FitFrameToContent(UIDList(placed)));
    EXPECT_EQ(PMRect(325, 175, 365, 205), Bounds(placed.GetUID()));
    EXPECT_EQ(PMRect(325, 175, 365, 205), Bounds(FirstChild(placed.GetUID())));
}

TEST_F(PlaceTest, MissingOrForeignFilesPlaceNothing) {
    WriteFileBytes(tmp.file("fake.png"), "GIF89a not a png at all");
    WriteFileBytes(tmp.file("short.png"), std::string("\x89PNG\r\n\x1a\n", 8));
    struct Case {
        const char* name;
        std::string path;
        ErrorCode expected;
    };
    const Case cases[] = {
        {"missing", tmp.file("missing.png"), kFileNotFoundError},
        {"not a png", tmp.file("fake.png"), kUnsupportedFileError},
        {"cut short", tmp.file("short.png"), kUnsupportedFileError},
        {"a folder", tmp.path(), kFileNotFoundError},
    };
    hostcore::DocModel before = doc->Model();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ErrorCode err;
        EXPECT_EQ(UIDRef::gNull, PlaceOver(Frame("alpha"), c.path, &err));
        EXPECT_EQ(c.expected, err);
        EXPECT_EQ(before, doc->Model());
    }
}

TEST_F(PlaceTest, LinkOperationKeepsThePictureWhenTheFileGoesAway) {
    std::string path = WritePng(tmp.file("preview.png"), 8, 6);
    ErrorCode err;
    UIDRef placed = PlaceOver(Frame("alpha"), path, &err);
    ASSERT_EQ(kSuccess, err);
    UID image = FirstChild(placed.GetUID());
    InterfacePtr<ILinkManager> links(UIDRef(doc, doc->GetRootUID()));
    UIDList found;
    links->QueryLinksByObjectUID(image, found);
    ASSERT_EQ(1, found.Length());
    InterfacePtr<ILink> link(UIDRef(doc, found[0]));
    ASSERT_TRUE(link);
    EXPECT_FALSE(link->IsEmbedded());
    UIDList list(UIDRef(doc, found[0]));
    ASSERT_EQ(kSuccess, Utils<ILinkUtils>()->UpdateLinks(list));
    EXPECT_TRUE(link->IsEmbedded());
    std::string original = ReadFileBytes(path);

    // The next try overwrites the preview, a later one removes it.
    WritePng(path, 50, 50);
    EXPECT_EQ(original, doc->Model().links.at(found[0]).bytes);
    std::remove(path.c_str());
    EXPECT_NE(kSuccess, Utils<ILinkUtils>()->UpdateLinks(list));
    EXPECT_EQ(original, doc->Model().links.at(found[0]).bytes);
    std::string error;
    EXPECT_TRUE(hostapp::RenderSpreadToPng(doc->Model(), {}, tmp.file("out.png"), &error)) << error;
}

TEST_F(PlaceTest, EmptiedFrameBecomesATextFrameWithAnEmptyStory) {
    ErrorCode err;
    UIDRef placed = PlaceOver(Frame("alpha"), WritePng(tmp.file("p.png"), 4, 4), &err);
    ASSERT_EQ(kSuccess, err);
    auto* frameContent = Utils<IFrameContentUtils>().operator IFrameContentUtils*();
    // Still holding its picture.
    EXPECT_NE(kSuccess, frameContent->ConvertToTextFrame(doc, placed.GetUID(), 1, 0, 1, 551));
    InterfacePtr<ICommand> del(CmdUtils::CreateCommand(kDeleteCmdBoss));
    del->SetItemList(UIDList(UIDRef(doc, FirstChild(placed.GetUID()))));
    ASSERT_EQ(kSuccess, CmdUtils::ProcessCommand(del));
    ASSERT_EQ(kSuccess, frameContent->ConvertToTextFrame(doc, placed.GetUID(), 1, 0, 1, 551));

    InterfacePtr<ITextContent> content(placed);
    ASSERT_TRUE(content);
    InterfacePtr<IStoryRef> storyRef(UIDRef(doc, content->GetTextContentUID()));
    ASSERT_TRUE(storyRef);
    InterfacePtr<ITextModel> model(UIDRef(doc, storyRef->GetStoryUID()));
    ASSERT_TRUE(model);
    EXPECT_EQ(1, model->TotalLength());
    // From the story's frame list back up to the frame, two parents up.
    InterfacePtr<IFrameList> frames(model->QueryFrameList());
    InterfacePtr<IHierarchy> column(UIDRef(doc, frames->GetNthFrameUID(0)));
    InterfacePtr<IHierarchy> container(column->QueryParent());
    EXPECT_EQ(placed.GetUID(), container->GetParentUID());
}

TEST_F(PlaceTest, FillSwatchAndSwatchUtilities) {
    UID teal = SwatchNamed(doc->Model(), "Teal");
    InterfacePtr<IGraphicAttributes> attrs(UIDRef(doc, Frame("beta")));
    ASSERT_TRUE(attrs);
    EXPECT_EQ(doc->Model().noneSwatch, Utils<IGraphicAttributeUtils>()->GetFillSwatchUID(attrs));
    UIDList items(UIDRef(doc, Frame("beta")));
    InterfacePtr<ICommand> fill(
        Utils<IGraphicAttributeUtils>()->CreateFillSwatchCommand(teal, &items, 1, 1));
    ASSERT_EQ(kSuccess, CmdUtils::ProcessCommand(fill));
    InterfacePtr<ISwatch> swatch(Utils<IGraphicAttributeUtils>()->QueryFillSwatch(attrs));
    ASSERT_TRUE(swatch);
    EXPECT_EQ(teal, ::GetUID(swatch));
    EXPECT_EQ(PMString("Teal"), swatch->GetSwatchName());

    Utils<ISwatchUtils> swatches;
    InterfacePtr<IColorData> none(UIDRef(doc, swatches->GetNoneSwatchUID(doc)));
    EXPECT_FALSE(none);  // None has no colour
    InterfacePtr<IColorData> black(UIDRef(doc, swatches->GetBlackSwatchUID(doc)));
    ASSERT_TRUE(black);
    EXPECT_EQ(kPMCsCalCMYK, black->GetColorSpace());
    EXPECT_EQ(teal, swatches->FindSwatch(doc, "Teal"));
}

TEST(ColorConversionTest, ToRGB) {
    struct Case {
        const char* name;
        int32 space;
        ColorArray in;
        ColorArray rgb;
    };
    const Case cases[] = {
        {"rgb stays", kPMCsCalRGB, {1, 0.5, 0}, {1, 0.5, 0}},
        {"rgb clamps", kPMCsCalRGB, {1.5, -1, 0.25}, {1, 0, 0.25}},
        {"cmyk black", kPMCsCalCMYK, {0, 0, 0, 1}, {0, 0, 0}},
        {"cmyk paper", kPMCsCalCMYK, {0, 0, 0, 0}, {1, 1, 1}},
        {"cmyk cyan", kPMCsCalCMYK, {1, 0, 0, 0}, {0, 1, 1}},
        {"lab white", kPMCsLab, {100, 0, 0}, {1, 1, 1}},
        {"lab black", kPMCsLab, {0, 0, 0}, {0, 0, 0}},
        {"lab mid grey", kPMCsLab, {53.389, 0, 0}, {0.5, 0.5, 0.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ColorArray out;
        ASSERT_EQ(kSuccess,
                  Utils<IColorUtils>()->ConvertColor(nullptr, c.space, c.in, kPMCsCalRGB, &out));
        ASSERT_EQ(3u, out.size());
        for (size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(c.rgb[i], out[i], 0.002);
    }
    ColorArray out{7};
    EXPECT_NE(kSuccess, Utils<IColorUtils>()->ConvertColor(nullptr, 42, {1, 1, 1}, 5, &out));
    EXPECT_NE(kSuccess, Utils<IColorUtils>()->ConvertColor(nullptr, kPMCsCalCMYK, {1, 1}, 5, &out));
    EXPECT_EQ(ColorArray{7}, out);
}

TEST(FileURITest, RoundTripsPathsWithAnyCharacters) {
    for (const char* path : {"/tmp/a b/ü%#?.png", "/plain/file.png", "/x/100%.png"}) {
        SCOPED_TRACE(path);
        URI uri;
        ASSERT_EQ(kSuccess, Utils<IFileURIUtils>()->IDFileToURI(IDFile(path), uri));
        EXPECT_EQ(std::string::npos, uri.GetURI().find(' '));
        IDFile back;
        ASSERT_EQ(kSuccess, Utils<IFileURIUtils>()->URIToIDFile(uri, back));
        EXPECT_EQ(path, back.GetPath());
    }
    IDFile f;
    for (const char* bad : {"http://x/y.png", "file://", "file:///a%2", "file:///a%00b"}) {
        SCOPED_TRACE(bad);
        EXPECT_NE(kSuccess, Utils<IFileURIUtils>()->URIToIDFile(URI(bad), f));
    }
}

TEST_F(PlaceTest, LabelsOfMissingItemsAreNeitherReadNorWritten) {
    InterfacePtr<ILabelData> gone(UIDRef(doc, 99999));
    EXPECT_FALSE(gone);
    InterfacePtr<ILabelData> nothing(UIDRef::gNull);
    EXPECT_FALSE(nothing);
    InterfacePtr<ILabelData> alpha(UIDRef(doc, Frame("alpha")));
    InterfacePtr<ICommand> del(CmdUtils::CreateCommand(kDeleteCmdBoss));
    del->SetItemList(UIDList(UIDRef(doc, Frame("alpha"))));
    UID alphaUID = Frame("alpha");
    ASSERT_EQ(kSuccess, CmdUtils::ProcessCommand(del));
    // An interface held across the delete answers empty and refuses changes.
    EXPECT_NE(kSuccess, alpha->SetLabel("k", "v"));
    EXPECT_TRUE(alpha->GetLabel("k").IsEmpty());
    EXPECT_FALSE(doc->IsValidUID(alphaUID));
}

}  // namespace
}  // namespace hosttest
