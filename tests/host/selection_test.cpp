// The selection architecture as a plug-in uses it: an abstract suite on the
// active selection fanning out to concrete suites on the layout and text
// selections, and the extension's notifications. The plug-in here is
// installed in-process; plugin_test.cpp loads a real module.
#include <vector>

#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/page_items.h"
#include "host/sdk/plugin.h"
#include "host/sdk/selection.h"
#include "host/sdk/text.h"
#include "host/sdk/utils.h"
#include "host_fixture.h"

namespace hosttest {
namespace {

constexpr PMIID kSuiteIID = 0x5e1000;

class ISuite : public IPMUnknown {
  public:
    enum { kDefaultIID = kSuiteIID };
    virtual ErrorCode GetSelectedFrames(UIDList& frames) = 0;
    virtual ErrorCode GetStoryFrame(UIDRef& frame) = 0;
};

struct Calls {
    int asbCalls = 0;
    std::vector<int> concreteOrder;  // 1 layout, 2 text
    int startups = 0, shutdowns = 0, changes = 0, modelChanges = 0, protocols = 0;
    ErrorCode layoutResult = kSuccess;
};
Calls gCalls;

class SuiteASB : public CPMUnknown<ISuite> {
  public:
    using CPMUnknown<ISuite>::CPMUnknown;
    template <class F>
    ErrorCode FanOut(F call) {
        ++gCalls.asbCalls;
        InterfacePtr<IIntegratorTarget> target(this, IID_IINTEGRATORTARGET);
        auto suites = target->GetTarget(kSuiteIID);
        if (suites->empty()) return kSuccess;
        CmdUtils::SequenceContext seq;
        ErrorCode err = kSuccess;
        for (auto it = suites->rbegin(); it != suites->rend(); ++it) {
            seq.State();
            err = call(static_cast<ISuite*>(*it));
            ErrorUtils::PMSetGlobalErrorCode(err);
            if (err != kSuccess) break;
        }
        return err;
    }
    ErrorCode GetSelectedFrames(UIDList& f) override {
        return FanOut([&](ISuite* s) { return s->GetSelectedFrames(f); });
    }
    ErrorCode GetStoryFrame(UIDRef& r) override {
        return FanOut([&](ISuite* s) { return s->GetStoryFrame(r); });
    }
};

class SuiteCSB : public CPMUnknown<ISuite> {
  public:
    using CPMUnknown<ISuite>::CPMUnknown;
    ErrorCode GetSelectedFrames(UIDList& frames) override {
        InterfacePtr<ILayoutTarget> layout(this, IID_ILAYOUTTARGET);
        if (layout) {
            gCalls.concreteOrder.push_back(1);
            frames = layout->GetUIDList(1, 0);
            return gCalls.layoutResult;
        }
        UIDRef story = StoryFrame();
        gCalls.concreteOrder.push_back(2);
        frames = story.IsValid() ? UIDList(story) : UIDList();
        return kSuccess;
    }
    ErrorCode GetStoryFrame(UIDRef& frame) override {
        InterfacePtr<ITextTarget> text(this, IID_ITEXTTARGET);
        if (text) frame = StoryFrame();
        return kSuccess;
    }

    // Hooks the host's extension adapter calls.
    void Startup() { ++gCalls.startups; }
    void Shutdown() { ++gCalls.shutdowns; }
    void SelectionChanged(int32, PMIID, void*) { ++gCalls.changes; }
    void HandleIntegratorSuiteMessage(void*, ClassID, PMIID) {}
    void SelectionAttributeChanged(ClassID, PMIID, void*, const UIDList*, int32) {
        ++gCalls.modelChanges;
    }
    ISelectionExtension::ProtocolCollection* CreateObserverProtocolCollection() {
        ++gCalls.protocols;
        return new ISelectionExtension::ProtocolCollection;
    }

  private:
    UIDRef StoryFrame() {
        InterfacePtr<ITextTarget> text(this, IID_ITEXTTARGET);
        if (!text) return UIDRef::gNull;
        InterfacePtr<ITextModel> model(text->QueryTextModel());
        if (!model) return UIDRef::gNull;
        InterfacePtr<IFrameList> frames(model->QueryFrameList());
        IDataBase* db = ::GetDataBase(model);
        InterfacePtr<IHierarchy> column(UIDRef(db, frames->GetNthFrameUID(0)));
        if (!column) return UIDRef::gNull;
        InterfacePtr<IHierarchy> container(column->QueryParent());
        if (!container) return UIDRef::gNull;
        return UIDRef(db, container->GetParentUID());
    }
};

class PlugIn : public IPlugIn {
  public:
    void SetPluginID(PluginID id) override { fID = id; }
    PluginID GetPluginID() const override { return fID; }
    ErrorCode RegisterImplementations(IImplementationRegistry* r) override {
        return RegisterImplementationOf<SuiteASB>(r, 0x5e1001) |
               RegisterImplementationOf<SuiteCSB>(r, 0x5e1002) |
               RegisterImplementationOf<SelectionExt<SuiteCSB>>(r, 0x5e1003);
    }

  private:
    PluginID fID = 0;
};

const char kResources[] = R"({"plugin": {"id": "0x5e1000"}, "addins": [
  {"to": "abstract-selection", "interfaces": [{"iid": "0x5e1000", "impl": "0x5e1001"}]},
  {"to": "layout-selection", "interfaces": [
    {"iid": "0x5e1000", "impl": "0x5e1002"},
    {"iid": "IID_ISELECTIONEXTENSION", "impl": "0x5e1003"}]},
  {"to": "text-selection", "interfaces": [{"iid": "0x5e1000", "impl": "0x5e1002"}]}]})";

class SelectionTest : public HostTest {
  public:
    void SetUp() override {
        HostTest::SetUp();
        gCalls = Calls();
        std::string error;
        ASSERT_TRUE(hostcore::InstallPlugIn(&plugin, kResources, &error)) << error;
    }
    UIDList Selected() {
        UIDList frames;
        ISelectionManager* selection = Utils<ISelectionUtils>()->GetActiveSelection();
        InterfacePtr<ISuite> suite(selection, kSuiteIID);
        if (suite) suite->GetSelectedFrames(frames);
        return frames;
    }

    PlugIn plugin;
};

TEST_F(SelectionTest, SelectedFramesComeInTheLayoutsOrder) {
    hostcore::SelectItems({Frame("tilted"), Frame("alpha"), Frame("empty")});
    UIDList frames = Selected();
    ASSERT_EQ(3, frames.Length());
    EXPECT_EQ(Frame("alpha"), frames[0]);
    EXPECT_EQ(Frame("empty"), frames[1]);  // not a text frame, still listed
    EXPECT_EQ(Frame("tilted"), frames[2]);
    EXPECT_EQ(doc, frames.GetDataBase());
}

TEST_F(SelectionTest, NothingSelectedOrNoDocumentGivesAnEmptyList) {
    EXPECT_TRUE(Selected().IsEmpty());
    hostcore::CloseAllDocuments();
    EXPECT_EQ(nullptr, Utils<ISelectionUtils>()->GetActiveSelection());
    EXPECT_EQ(nullptr, Utils<ILayoutUtils>()->GetFrontDocument());
    EXPECT_TRUE(Selected().IsEmpty());
}

TEST_F(SelectionTest, UndoneItemsDropOutOfTheSelection) {
    hostcore::SelectItems({Frame("alpha")});
    InterfacePtr<ILayoutSelectionSuite> layout(Utils<ISelectionUtils>()->GetActiveSelection(),
                                               IID_ILAYOUTSELECTIONSUITE);
    InterfacePtr<ICommand> del(CmdUtils::CreateCommand(kDeleteCmdBoss));
    del->SetItemList(UIDList(UIDRef(doc, Frame("beta"))));
    UID beta = Frame("beta");
    ASSERT_EQ(kSuccess, CmdUtils::ProcessCommand(del));
    doc->Undo();
    UIDList both(doc);
    both.Append(beta);
    layout->SelectPageItems(both, ILayoutSelectionSuite::kAddTo, 0);
    EXPECT_EQ(2, Selected().Length());
    doc->Redo();  // beta is deleted again
    UIDList frames = Selected();
    ASSERT_EQ(1, frames.Length());
    EXPECT_EQ(Frame("alpha"), frames[0]);
}

TEST_F(SelectionTest, TextSelectionGivesTheStorysFrame) {
    hostcore::SelectText(StoryOf(doc->Model(), Frame("beta")), 0, 2);
    UIDList frames = Selected();
    ASSERT_EQ(1, frames.Length());
    EXPECT_EQ(Frame("beta"), frames[0]);
    EXPECT_EQ(std::vector<int>{2}, gCalls.concreteOrder);

    ISelectionManager* selection = Utils<ISelectionUtils>()->GetActiveSelection();
    InterfacePtr<ISuite> suite(selection, kSuiteIID);
    UIDRef frame;
    suite->GetStoryFrame(frame);
    EXPECT_EQ(UIDRef(doc, Frame("beta")), frame);

    // On a layout selection the story frame stays as it was.
    hostcore::SelectItems({Frame("alpha")});
    UIDRef untouched(doc, 12345);
    suite->GetStoryFrame(untouched);
    EXPECT_EQ(UIDRef(doc, 12345), untouched);
}

TEST_F(SelectionTest, ConcreteErrorReachesTheGlobalErrorCode) {
    gCalls.layoutResult = kFailure;
    hostcore::SelectItems({Frame("alpha")});
    Selected();
    EXPECT_EQ(kFailure, ErrorUtils::PMGetGlobalErrorCode());
    gCalls.layoutResult = kSuccess;
    Selected();
    EXPECT_EQ(kSuccess, ErrorUtils::PMGetGlobalErrorCode());
}

TEST_F(SelectionTest, ExtensionHearsStartupChangesAndShutdownOnce) {
    hostcore::SelectItems({Frame("alpha")});
    EXPECT_EQ(1, gCalls.startups);
    EXPECT_EQ(1, gCalls.protocols);
    hostcore::SelectItems({Frame("beta")});
    EXPECT_GE(gCalls.changes, 1);
    InterfacePtr<ILabelData> labels(UIDRef(doc, Frame("beta")));
    labels->SetLabel("k", "v");
    EXPECT_EQ(1, gCalls.modelChanges);
    doc->Undo();
    EXPECT_EQ(2, gCalls.modelChanges);
    hostcore::ShutdownPlugIns();
    hostcore::ShutdownPlugIns();
    EXPECT_EQ(1, gCalls.shutdowns);
}

}  // namespace
}  // namespace hosttest
