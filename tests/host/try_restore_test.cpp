// A try and a restore made of exactly the host calls the plug-in makes: the
// text frame becomes a fitted, selected picture frame carrying a label in one
// undo step, and comes back as text with its size, font, colour and fill.
#include "host/core/selection.h"
#include "host/sdk/commands.h"
#include "host/sdk/document.h"
#include "host/sdk/fonts.h"
#include "host/sdk/page_items.h"
#include "host/sdk/selection.h"
#include "host/sdk/session.h"
#include "host/sdk/swatches.h"
#include "host/sdk/text.h"
#include "host/sdk/utils.h"
#include "host_fixture.h"
#include "tests/common/test_env.h"

namespace hosttest {
namespace {

using glyphoria::testing::TempDir;

PMRect FrameBounds(const UIDRef& frame) {
    InterfacePtr<IGeometry> geo(frame);
    return geo ? geo->GetBoundingBox(InnerToPasteboardMatrix(geo)) : PMRect();
}

UIDRef GetStory(const UIDRef& frame) {
    InterfacePtr<ITextContent> content(frame);
    if (!content) return UIDRef::gNull;
    InterfacePtr<IStoryRef> story(frame.GetDataBase(), content->GetTextContentUID());
    return story ? UIDRef(frame.GetDataBase(), story->GetStoryUID()) : UIDRef::gNull;
}

void DeletePageItem(const UIDRef& item) {
    InterfacePtr<ICommand> cmd(CmdUtils::CreateCommand(kDeleteCmdBoss));
    cmd->SetItemList(UIDList(item));
    CmdUtils::ProcessCommand(cmd);
}

UIDRef FirstChild(const UIDRef& item) {
    InterfacePtr<IHierarchy> h(item);
    return h ? UIDRef(item.GetDataBase(), h->GetChildUID(0)) : UIDRef();
}

// PlacePreview as the plug-in does it, with the sequence abandoned when the
// placement fails, so the text frame is not lost.
UIDRef PlacePreview(IDocument* document, const UIDRef& frame, const std::string& path) {
    InterfacePtr<IHierarchy> hier(frame);
    if (!hier) return UIDRef::gNull;
    UID layerUID = hier->GetLayerUID();
    PMRect bounds = FrameBounds(frame);
    DeletePageItem(frame);
    IDataBase* db = document->GetDocumentDataBase();
    InterfacePtr<ILayer> layer(db, layerUID);
    if (!layer) return UIDRef::gNull;
    URI uri;
    Utils<IFileURIUtils>()->IDFileToURI(IDFile(path.c_str()), uri);
    InterfacePtr<ICommand> cmd(CmdUtils::CreateCommand(kImportAndPlaceCmdBoss));
    InterfacePtr<IPlaceData> place(cmd, IID_IPLACEDATA);
    PMPointList points{bounds.LeftTop(), bounds.RightBottom()};
    place->Set(::GetUIDRef(layer), &points, 0);
    InterfacePtr<IImportData> import(cmd, IID_IIMPORTDATA);
    import->Set(db, uri, 0, 0, 0, 0, 0);
    if (CmdUtils::ProcessCommand(cmd) != kSuccess) return UIDRef::gNull;
    UIDRef placed = cmd->GetItemList()->GetRef(0);
    Utils<IFitFrameUtils>()->FitFrameToContent(UIDList(placed));
    UIDRef image = FirstChild(placed);
    InterfacePtr<ILinkManager> links(db, db->GetRootUID());
    UIDList found;
    links->QueryLinksByObjectUID(image.GetUID(), found);
    if (!found.IsEmpty()) {
        InterfacePtr<ILink> link(db, found[0]);
        if (link) Utils<ILinkUtils>()->UpdateLinks(UIDList(UIDRef(db, found[0])));
    }
    InterfacePtr<ILayoutSelectionSuite> select(Utils<ISelectionUtils>()->GetActiveSelection(),
                                               IID_ILAYOUTSELECTIONSUITE);
    select->SelectPageItems(UIDList(placed), 1, 1);
    return placed;
}

bool TryFrame(IDocument* document, const UIDRef& frame, const std::string& path,
              const char* label) {
    ICommandSequence* seq = CmdUtils::BeginCommandSequence();
    seq->SetName("Glyphoria");
    UIDRef placed = PlacePreview(document, frame, path);
    if (!placed.IsValid()) {
        CmdUtils::AbortCommandSequence(seq);
        return false;
    }
    InterfacePtr<ILabelData> labels(placed);
    labels->SetLabel("Glyphoria", label);
    CmdUtils::EndCommandSequence(seq);
    return true;
}

void Restore(const UIDRef& frame, const char* text, PMReal size, const char* ps, UID color,
             UID fill, PMReal w, PMReal h) {
    IDataBase* db = frame.GetDataBase();
    ICommandSequence* seq = CmdUtils::BeginCommandSequence();
    seq->SetName("Glyphoria");
    PMRect box = FrameBounds(frame);
    box.SetWidth(w);
    box.SetHeight(h);
    Utils<IBoundsUtils>()->SetBounds(UIDList(frame), 0, 1, {box});
    DeletePageItem(FirstChild(frame));
    ASSERT_EQ(kSuccess,
              Utils<IFrameContentUtils>()->ConvertToTextFrame(db, frame.GetUID(), 1, 0, 1, 551));
    InterfacePtr<ITextModel> model(GetStory(frame));
    ASSERT_TRUE(model);
    ICommandSequence* inner = CmdUtils::BeginCommandSequence();
    inner->SetName("Restore text frame");
    WideString wide(text);
    model->Insert(0, &wide);
    AttributeBossList list;
    InterfacePtr<ITextAttrRealNumber> pt(
        CreateObject2<ITextAttrRealNumber>(kTextAttrPointSizeBoss));
    pt->SetRealNumber(size);
    list.ApplyAttribute(pt);
    InterfacePtr<IFontManager> fonts(GetExecutionContextSession(), IID_IFONTMANAGER);
    InterfacePtr<IPMFont> font(fonts->QueryFontPlatformByPostScriptName(ps, 0, 0x40000000, 0.7, 0));
    if (font) {
        InterfacePtr<IDocument> document(db, db->GetRootUID());
        InterfacePtr<IDocFontList> docFonts(document->GetDocWorkSpace());
        InterfacePtr<ITextAttrUID> family(CreateObject2<ITextAttrUID>(kTextAttrFontUIDBoss));
        family->SetUIDData(docFonts->GetFontFamilyUID(font, kTrue));
        list.ApplyAttribute(family);
        InterfacePtr<ITextAttrFontStyle> style(
            CreateObject2<ITextAttrFontStyle>(kTextAttrFontStyleBoss));
        style->SetFontName(font->GetStyleName());
        list.ApplyAttribute(style);
    }
    InterfacePtr<ITextAttrUID> colour(CreateObject2<ITextAttrUID>(kTextAttrColorBoss));
    colour->SetUIDData(color);
    list.ApplyAttribute(colour);
    model->ApplyAttributes(0, model->TotalLength() - 1, &list, kCharAttrStrandBoss);
    UIDList items(frame);
    InterfacePtr<ICommand> fillCmd(
        Utils<IGraphicAttributeUtils>()->CreateFillSwatchCommand(fill, &items, 1, 1));
    CmdUtils::ProcessCommand(fillCmd);
    InterfacePtr<ILabelData> labels(frame);
    labels->SetLabel("Glyphoria", "");
    CmdUtils::EndCommandSequence(inner);
    CmdUtils::EndCommandSequence(seq);
}

class TryRestoreTest : public HostTest {
  public:
    IDocument* Front() { return Utils<ILayoutUtils>()->GetFrontDocument(); }
    TempDir tmp;
};

TEST_F(TryRestoreTest, TryIsOneStepAndRestoreBringsTheTextBack) {
    IDocument* document = Front();
    ASSERT_TRUE(document);
    UIDRef alpha(doc, Frame("alpha"));
    PMRect before = FrameBounds(alpha);
    std::string png = WritePng(tmp.file("preview.png"), 120, 30);
    ASSERT_TRUE(TryFrame(document, alpha, png, "id=5&text=Hi"));
    EXPECT_FALSE(alpha.ExistsInDB());
    ASSERT_EQ(1u, doc->UndoSteps().size());

    std::vector<UID> selected = hostcore::SelectedItems();
    ASSERT_EQ(1u, selected.size());
    UIDRef picture(doc, selected[0]);
    EXPECT_EQ(PMRect(before.Left(), before.Top(), before.Left() + 120, before.Top() + 30),
              FrameBounds(picture));
    InterfacePtr<ILabelData> labels(picture);
    EXPECT_EQ(PMString("id=5&text=Hi"), labels->GetLabel("Glyphoria"));

    UID red = Utils<ISwatchUtils>()->FindSwatch(doc, "Red");
    Restore(picture, "Hi \xC3\xA9", 9, "DejaVuSerif-Bold", red, red, 200, 50);
    ASSERT_EQ(2u, doc->UndoSteps().size());
    EXPECT_EQ(PMRect(before.Left(), before.Top(), before.Left() + 200, before.Top() + 50),
              FrameBounds(picture));
    EXPECT_EQ("Hi \xC3\xA9\r", StoryText(doc->Model(), picture.GetUID()));
    const hostcore::CharAttrs& a = doc->Model().stories.at(GetStory(picture).GetUID()).attrs.at(0);
    EXPECT_EQ(9, a.pointSize);
    EXPECT_EQ("DejaVu Serif", doc->Model().fontFamilies.at(a.fontFamily));
    EXPECT_EQ("Bold", a.fontStyle);
    EXPECT_EQ(red, a.color);
    EXPECT_EQ(red, doc->Model().FindNode(picture.GetUID())->fill);
    EXPECT_TRUE(labels->GetLabel("Glyphoria").IsEmpty());

    // Undoing the restore brings back the picture frame with its label.
    ASSERT_EQ(kSuccess, doc->Undo());
    EXPECT_EQ(PMString("id=5&text=Hi"), labels->GetLabel("Glyphoria"));
    EXPECT_EQ(kInvalidUID, GetStory(picture).GetUID());
    ASSERT_EQ(kSuccess, doc->Undo());
    EXPECT_TRUE(alpha.ExistsInDB());
    EXPECT_EQ("Alpha text\r", StoryText(doc->Model(), alpha.GetUID()));
}

TEST_F(TryRestoreTest, FailedPlacementKeepsTheTextFrame) {
    UIDRef alpha(doc, Frame("alpha"));
    hostcore::DocModel before = doc->Model();
    EXPECT_FALSE(TryFrame(Front(), alpha, tmp.file("never-downloaded.png"), "id=5"));
    EXPECT_EQ(before, doc->Model());
    EXPECT_TRUE(doc->UndoSteps().empty());
}

}  // namespace
}  // namespace hosttest
