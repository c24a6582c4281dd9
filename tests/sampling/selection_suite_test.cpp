// The selection suite: the fan-out over concrete suites and what the
// installed suite answers for layout and text selections.
#include <gtest/gtest.h>

#include <boost/bind/bind.hpp>
#include <boost/ref.hpp>
#include <string>
#include <vector>

#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/core/sequences.h"
#include "host/sdk/commands.h"
#include "host/sdk/utils.h"
#include "sampling/host_frame_source.h"
#include "sampling/page_items.h"
#include "sampling/selection_suite.h"
#include "sampling/suite_registration.h"
#include "tests/sampling/host_document.h"

namespace glyphoria {
namespace {

// A concrete suite that puts its own UID list in place of the caller's and
// reports a given result.
class FakeSuite : public IMySuite {
  public:
    FakeSuite(UID uid, ErrorCode result, std::vector<UID>* calls)
        : uid_(uid), result_(result), calls_(calls) {}
    IPMUnknown* QueryInterface(PMIID) const override { return nullptr; }
    void AddRef() const override {}
    void Release() const override {}
    ErrorCode GetSelectedFrames(UIDList& frames) override {
        calls_->push_back(uid_);
        UIDList mine;
        mine.Append(uid_);
        frames = mine;
        return result_;
    }
    ErrorCode GetStoryFrame(TextData&) override { return result_; }

  private:
    UID uid_;
    ErrorCode result_;
    std::vector<UID>* calls_;
};

struct FanOutCase {
    const char* name;
    std::vector<ErrorCode> results;  // per suite, in the collection's order
    std::vector<UID> expected_calls;
    UID expected_winner;
    ErrorCode expected_result;
};

TEST(SuiteFanOut, WalksFromTheLastSuiteAndStopsAtTheFirstError) {
    const FanOutCase cases[] = {
        {"one suite", {kSuccess}, {1}, 1, kSuccess},
        {"first of three wins", {kSuccess, kSuccess, kSuccess}, {3, 2, 1}, 1, kSuccess},
        {"error in the last stops at once", {kSuccess, kSuccess, 7}, {3}, 3, 7},
        {"error in the middle", {kSuccess, 9, kSuccess}, {3, 2}, 2, 9},
    };
    for (const FanOutCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<UID> calls;
        std::vector<FakeSuite> suites;
        for (std::size_t i = 0; i < c.results.size(); ++i)
            suites.emplace_back(static_cast<UID>(i + 1), c.results[i], &calls);
        IIntegratorTarget::TargetSuiteCollection collection;
        for (FakeSuite& s : suites)
            collection.push_back(&s);

        UIDList frames;
        SuiteCall bound =
            boost::bind(&IMySuite::GetSelectedFrames, boost::placeholders::_1, boost::ref(frames));
        // What each call sees around it: the one sequence context open, and
        // its state read once before every call.
        std::vector<int> depths, reads;
        const int reads_before = hostcore::SequenceStateReads();
        SuiteCall call = [&](IMySuite* suite) {
            depths.push_back(CmdUtils::SequenceDepth());
            reads.push_back(hostcore::SequenceStateReads() - reads_before);
            return bound(suite);
        };
        ErrorUtils::PMSetGlobalErrorCode(kSuccess);
        EXPECT_EQ(c.expected_result, FanOutToSuites(collection, call));
        EXPECT_EQ(c.expected_calls, calls);
        EXPECT_EQ(std::vector<int>(calls.size(), 1), depths);
        std::vector<int> one_read_each;
        for (int i = 1; i <= static_cast<int>(calls.size()); ++i)
            one_read_each.push_back(i);
        EXPECT_EQ(one_read_each, reads);
        ASSERT_EQ(1, frames.Length());
        EXPECT_EQ(c.expected_winner, frames[0]);
        EXPECT_EQ(c.expected_result, ErrorUtils::PMGetGlobalErrorCode());
        EXPECT_EQ(0, CmdUtils::SequenceDepth());
    }
}

TEST(SuiteFanOut, AnEmptyCollectionCallsNothing) {
    IIntegratorTarget::TargetSuiteCollection none;
    int calls = 0;
    SuiteCall call = [&calls](IMySuite*) {
        ++calls;
        return kFailure;
    };
    const int reads_before = hostcore::SequenceStateReads();
    EXPECT_EQ(kSuccess, FanOutToSuites(none, call));
    EXPECT_EQ(0, calls);
    // Nothing to walk: no state was read either.
    EXPECT_EQ(reads_before, hostcore::SequenceStateReads());
}

class SelectionSuiteTest : public testing::HostDocumentTest {};

TEST_F(SelectionSuiteTest, LayoutSelectionGivesEveryItemInLayoutOrder) {
    Select({"frame", "alpha", "empty"});
    UIDList frames = QuerySelectedFrames();
    ASSERT_EQ(3, frames.Length());
    EXPECT_EQ(Frame("alpha"), frames[0]);
    EXPECT_EQ(Frame("empty"), frames[1]);
    EXPECT_EQ(Frame("frame"), frames[2]);  // not a text frame, still listed
    EXPECT_EQ(static_cast<IDataBase*>(doc), frames.GetDataBase());
}

TEST_F(SelectionSuiteTest, NothingSelectedOrNoDocumentGivesAnEmptyList) {
    EXPECT_TRUE(QuerySelectedFrames().IsEmpty());
    hostcore::CloseAllDocuments();
    EXPECT_TRUE(QuerySelectedFrames().IsEmpty());
}

TEST_F(SelectionSuiteTest, TextSelectionCarriesNoLayoutSuite) {
    UIDRef story = GetStory(Ref("beta"));
    hostcore::SelectText(story.GetUID(), 0, 2);
    EXPECT_TRUE(QuerySelectedFrames().IsEmpty());
}

TEST_F(SelectionSuiteTest, StoryFrameOfATextTargetIsTheFrameShowingTheStory) {
    // The layout suite carried on the text selection too, as a module could
    // declare it.
    hostcore::ShutdownPlugIns();
    class PlugIn : public IPlugIn {
      public:
        void SetPluginID(PluginID) override {}
        PluginID GetPluginID() const override { return 0x159800; }
        ErrorCode RegisterImplementations(IImplementationRegistry* r) override {
            return RegisterSamplingImplementations(r);
        }
    } plugin;
    std::string resources = std::string(R"({"plugin": {"id": "0x159800"}, "addins": [)") +
                            SamplingResourceAddIns() +
                            R"(, {"to": "text-selection", "interfaces": [
                               {"iid": "0x159840", "impl": "0x159847"}]}]})";
    std::string error;
    ASSERT_TRUE(hostcore::InstallPlugIn(&plugin, resources, &error)) << error;

    UIDRef story = GetStory(Ref("beta"));
    hostcore::SelectText(story.GetUID(), 1, 3);
    UIDList frames = QuerySelectedFrames();
    ASSERT_EQ(1, frames.Length());
    EXPECT_EQ(Frame("beta"), frames[0]);

    InterfacePtr<IMySuite> suite(Utils<ISelectionUtils>()->GetActiveSelection(), IID_IMYSUITE);
    ASSERT_TRUE(suite);
    TextData record;
    EXPECT_EQ(kSuccess, suite->GetStoryFrame(record));
    EXPECT_EQ(Frame("beta"), record.frame().uid);

    // A layout selection leaves the record's frame as it was.
    Select({"alpha"});
    TextData untouched;
    untouched.set_frame(ToFrameRef(Ref("empty")));
    EXPECT_EQ(kSuccess, suite->GetStoryFrame(untouched));
    EXPECT_EQ(Frame("empty"), untouched.frame().uid);
    hostcore::ShutdownPlugIns();
}

}  // namespace
}  // namespace glyphoria
