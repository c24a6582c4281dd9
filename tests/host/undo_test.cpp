// Undo, redo and command sequences over every kind of command.
#include <functional>

#include "host/core/document.h"
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

using glyphoria::testing::TempDir;

class UndoTest : public HostTest {
  public:
    UIDList One(UID uid) const {
        UIDList list(doc);
        list.Append(uid);
        return list;
    }
    ErrorCode Delete(UID uid) {
        InterfacePtr<ICommand> cmd(CmdUtils::CreateCommand(kDeleteCmdBoss));
        cmd->SetItemList(One(uid));
        return CmdUtils::ProcessCommand(cmd);
    }
    ErrorCode Place(UID layer, const std::string& path, const PMRect& box, UID* placed) {
        InterfacePtr<ICommand> cmd(CmdUtils::CreateCommand(kImportAndPlaceCmdBoss));
        InterfacePtr<IPlaceData> place(cmd, IID_IPLACEDATA);
        PMPointList corners{box.LeftTop(), box.RightBottom()};
        place->Set(UIDRef(doc, layer), &corners, kFalse);
        URI uri;
        Utils<IFileURIUtils>()->IDFileToURI(IDFile(path.c_str()), uri);
        InterfacePtr<IImportData> import(cmd, IID_IIMPORTDATA);
        import->Set(doc, uri, 0, 0, 0, 0, 0);
        ErrorCode err = CmdUtils::ProcessCommand(cmd);
        if (placed) *placed = cmd->GetItemList()->At(0);
        return err;
    }
    ErrorCode SetLabel(UID uid, const char* key, const char* value) {
        InterfacePtr<ILabelData> labels(UIDRef(doc, uid));
        return labels->SetLabel(key, value);
    }
    UID Layer() const { return doc->Model().LayerOf(Frame("alpha")); }

    TempDir tmp;
};

struct Case {
    const char* name;
    std::function<ErrorCode(UndoTest&)> change;
};

TEST_F(UndoTest, EveryCommandKindUndoesToTheExactEarlierDocumentAndRedoes) {
    const Case cases[] = {
        {"delete", [](UndoTest& t) { return t.Delete(t.Frame("alpha")); }},
        {"import and place",
         [](UndoTest& t) {
             return t.Place(t.Layer(), WritePng(t.tmp.file("a.png"), 30, 20), PMRect(5, 5, 50, 50),
                            nullptr);
         }},
        {"fit frame to content",
         [](UndoTest& t) {
             UID placed;
             t.Place(t.Layer(), WritePng(t.tmp.file("b.png"), 30, 20), PMRect(5, 5, 90, 90),
                     &placed);
             return Utils<IFitFrameUtils>()->FitFrameToContent(t.One(placed));
         }},
        {"set bounds",
         [](UndoTest& t) {
             return Utils<IBoundsUtils>()->SetBounds(t.One(t.Frame("tilted")), 0, 1,
                                                     {PMRect(1, 2, 3, 4)});
         }},
        {"apply fill",
         [](UndoTest& t) {
             UIDList items = t.One(t.Frame("beta"));
             InterfacePtr<ICommand> cmd(Utils<IGraphicAttributeUtils>()->CreateFillSwatchCommand(
                 SwatchNamed(t.doc->Model(), "Red"), &items, 1, 1));
             return CmdUtils::ProcessCommand(cmd);
         }},
        {"make text frame",
         [](UndoTest& t) {
             return Utils<IFrameContentUtils>()->ConvertToTextFrame(t.doc, t.Frame("empty"), 1, 0,
                                                                    1, 551);
         }},
        {"insert text",
         [](UndoTest& t) {
             InterfacePtr<ITextModel> model(
                 UIDRef(t.doc, StoryOf(t.doc->Model(), t.Frame("beta"))));
             WideString w("Zeta ");
             return model->Insert(0, &w);
         }},
        {"apply character attributes",
         [](UndoTest& t) {
             InterfacePtr<ITextModel> model(
                 UIDRef(t.doc, StoryOf(t.doc->Model(), t.Frame("beta"))));
             InterfacePtr<ITextAttrRealNumber> size(
                 CreateObject2<ITextAttrRealNumber>(kTextAttrPointSizeBoss));
             size->SetRealNumber(30);
             AttributeBossList list;
             list.ApplyAttribute(size);
             return model->ApplyAttributes(0, model->TotalLength() - 1, &list, kCharAttrStrandBoss);
         }},
        {"set label",
         [](UndoTest& t) { return t.SetLabel(t.Frame("alpha"), "Glyphoria", "id=5"); }},
        {"set name",
         [](UndoTest& t) {
             InterfacePtr<IPageItemName> name(UIDRef(t.doc, t.Frame("alpha")));
             return name->SetName("renamed");
         }},
        {"rotate and shear",
         [](UndoTest& t) {
             InterfacePtr<ITransform> transform(UIDRef(t.doc, t.Frame("beta")));
             return transform->SetRotationAndShear(30, -15);
         }},
        {"update link",
         [](UndoTest& t) {
             UID placed;
             t.Place(t.Layer(), WritePng(t.tmp.file("c.png"), 3, 2), PMRect(5, 5, 9, 9), &placed);
             UIDList links;
             InterfacePtr<ILinkManager> mgr(UIDRef(t.doc, t.doc->GetRootUID()));
             mgr->QueryLinksByObjectUID(t.doc->Model().FindNode(placed)->children[0], links);
             return Utils<ILinkUtils>()->UpdateLinks(links);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hostcore::DocModel before = doc->Model();
        size_t steps = doc->UndoSteps().size();
        ASSERT_EQ(kSuccess, c.change(*this));
        hostcore::DocModel after = doc->Model();
        EXPECT_NE(before, after);
        // Commands run outside a sequence step by step; undo all of this case.
        while (doc->UndoSteps().size() > steps)
            ASSERT_EQ(kSuccess, doc->Undo());
        EXPECT_EQ(before, doc->Model());
        while (!doc->RedoSteps().empty())
            ASSERT_EQ(kSuccess, doc->Redo());
        EXPECT_EQ(after, doc->Model());
        while (doc->UndoSteps().size() > steps)
            doc->Undo();
        // The next case starts from the untouched document again.
    }
}

TEST_F(UndoTest, NestedSequencesMakeOneNamedStep) {
    hostcore::DocModel before = doc->Model();
    ICommandSequence* outer = CmdUtils::BeginCommandSequence();
    outer->SetName("Glyphoria");
    ASSERT_EQ(kSuccess, SetLabel(Frame("alpha"), "k", "v"));
    ICommandSequence* inner = CmdUtils::BeginCommandSequence();
    inner->SetName("Restore text frame");
    ASSERT_EQ(kSuccess, Delete(Frame("beta")));
    EXPECT_EQ(kSuccess, CmdUtils::EndCommandSequence(inner));
    ASSERT_EQ(kSuccess, SetLabel(Frame("alpha"), "k2", "v2"));
    EXPECT_EQ(kSuccess, CmdUtils::EndCommandSequence(outer));

    ASSERT_EQ(1u, doc->UndoSteps().size());
    EXPECT_EQ("Glyphoria", doc->UndoSteps().back().name);
    ASSERT_EQ(kSuccess, doc->Undo());
    EXPECT_EQ(before, doc->Model());
}

TEST_F(UndoTest, EmptySequenceLeavesNoStep) {
    {
        CmdUtils::SequenceContext seq;
        EXPECT_EQ(kSuccess, seq.State());
    }
    EXPECT_EQ(0, CmdUtils::SequenceDepth());
    EXPECT_TRUE(doc->UndoSteps().empty());
}

TEST_F(UndoTest, SequenceThatEndsWhereItBeganLeavesNoStep) {
    ICommandSequence* seq = CmdUtils::BeginCommandSequence();
    SetLabel(Frame("alpha"), "k", "v");
    SetLabel(Frame("alpha"), "k", "");
    CmdUtils::EndCommandSequence(seq);
    EXPECT_TRUE(doc->UndoSteps().empty());
}

TEST_F(UndoTest, AbandonedSequenceBringsADeletedFrameBack) {
    // A try deletes the text frame before placing; a failed placement must
    // not lose the frame.
    hostcore::DocModel before = doc->Model();
    ICommandSequence* seq = CmdUtils::BeginCommandSequence();
    ASSERT_EQ(kSuccess, Delete(Frame("alpha")));
    EXPECT_NE(kSuccess, Place(Layer(), tmp.file("missing.png"), PMRect(0, 0, 9, 9), nullptr));
    EXPECT_NE(kSuccess, seq->GetState());
    EXPECT_EQ(kSuccess, CmdUtils::AbortCommandSequence(seq));
    EXPECT_EQ(before, doc->Model());
    EXPECT_TRUE(doc->UndoSteps().empty());
    EXPECT_EQ("Alpha text\r", StoryText(doc->Model(), Frame("alpha")));
}

TEST_F(UndoTest, AbandoningANestedSequenceKeepsTheOuterChanges) {
    ICommandSequence* outer = CmdUtils::BeginCommandSequence();
    SetLabel(Frame("alpha"), "outer", "1");
    hostcore::DocModel middle = doc->Model();
    ICommandSequence* inner = CmdUtils::BeginCommandSequence();
    Delete(Frame("beta"));
    CmdUtils::AbortCommandSequence(inner);
    EXPECT_EQ(middle, doc->Model());
    CmdUtils::EndCommandSequence(outer);
    EXPECT_EQ(1u, doc->UndoSteps().size());
}

TEST_F(UndoTest, FailedCommandChangesNothingAndIsNoStep) {
    hostcore::DocModel before = doc->Model();
    // The empty frame has no picture to fit to.
    EXPECT_NE(kSuccess, Utils<IFitFrameUtils>()->FitFrameToContent(One(Frame("empty"))));
    EXPECT_NE(kSuccess,
              Utils<IFrameContentUtils>()->ConvertToTextFrame(doc, Frame("alpha"), 1, 0, 1, 551));
    EXPECT_NE(kSuccess, Delete(Layer()));
    // A text column alone would leave its story pointing at nothing.
    UID column = doc->Model().stories.at(StoryOf(doc->Model(), Frame("alpha"))).frames[0];
    EXPECT_NE(kSuccess, Delete(column));
    EXPECT_EQ(before, doc->Model());
    EXPECT_TRUE(doc->UndoSteps().empty());
}

TEST_F(UndoTest, UndoIsRefusedInsideAnOpenSequence) {
    SetLabel(Frame("alpha"), "k", "v");
    ICommandSequence* seq = CmdUtils::BeginCommandSequence();
    EXPECT_EQ(kCommandNotAllowedError, doc->Undo());
    CmdUtils::EndCommandSequence(seq);
    EXPECT_EQ(kSuccess, doc->Undo());
    EXPECT_EQ(kFailure, doc->Undo());
}

TEST_F(UndoTest, UndoThroughTheUtilityThatTakesOnlyTheDatabase) {
    SetLabel(Frame("alpha"), "k", "v");
    InterfacePtr<IUndoManager> undo(Utils<IUndoUtils>()->QueryUndoManager(doc));
    ASSERT_TRUE(undo);
    EXPECT_TRUE(undo->CanUndo());
    EXPECT_EQ(kSuccess, undo->UndoLastStep());
    EXPECT_TRUE(doc->Model().FindNode(Frame("alpha"))->labels.empty());
    EXPECT_FALSE(undo->CanUndo());
    EXPECT_EQ(nullptr, Utils<IUndoUtils>()->QueryUndoManager(nullptr));
}

TEST_F(UndoTest, NewChangeDropsTheRedoSteps) {
    SetLabel(Frame("alpha"), "k", "1");
    doc->Undo();
    ASSERT_EQ(1u, doc->RedoSteps().size());
    SetLabel(Frame("alpha"), "k", "2");
    EXPECT_TRUE(doc->RedoSteps().empty());
}

TEST_F(UndoTest, UndoneUIDsAreGivenOutAgainOnRedo) {
    UID placed1, placed2;
    std::string png = WritePng(tmp.file("p.png"), 4, 4);
    ASSERT_EQ(kSuccess, Place(Layer(), png, PMRect(0, 0, 4, 4), &placed1));
    doc->Undo();
    EXPECT_FALSE(doc->IsValidUID(placed1));
    doc->Redo();
    EXPECT_TRUE(doc->IsValidUID(placed1));
    doc->Undo();
    ASSERT_EQ(kSuccess, Place(Layer(), png, PMRect(0, 0, 4, 4), &placed2));
    EXPECT_EQ(placed1, placed2);
}

}  // namespace
}  // namespace hosttest
