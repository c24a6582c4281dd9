#include "sampling/selection_suite.h"

#include <boost/bind/bind.hpp>
#include <boost/ref.hpp>
#include <memory>

#include "host/sdk/commands.h"
#include "host/sdk/page_items.h"
#include "host/sdk/text.h"
#include "host/sdk/utils.h"
#include "sampling/host_frame_source.h"

namespace glyphoria {

ErrorCode FanOutToSuites(const IIntegratorTarget::TargetSuiteCollection& suites,
                         const SuiteCall& call) {
    if (suites.empty()) return kSuccess;
    CmdUtils::SequenceContext sequence;
    ErrorCode result = kSuccess;
    for (auto it = suites.rbegin(); it != suites.rend(); ++it) {
        sequence.State();
        result = call(static_cast<IMySuite*>(*it));
        ErrorUtils::PMSetGlobalErrorCode(result, nullptr, nullptr, nullptr);
        if (result != kSuccess) break;
    }
    return result;
}

ErrorCode MySuiteASB::FanOut(const SuiteCall& call) {
    InterfacePtr<IIntegratorTarget> target(this, IID_IINTEGRATORTARGET);
    if (!target) return kSuccess;
    std::unique_ptr<IIntegratorTarget::TargetSuiteCollection> suites(
        target->GetTarget(IID_IMYSUITE));
    if (!suites) return kSuccess;
    return FanOutToSuites(*suites, call);
}

ErrorCode MySuiteASB::GetSelectedFrames(UIDList& frames) {
    using boost::placeholders::_1;
    SuiteCall call = boost::bind(&IMySuite::GetSelectedFrames, _1, boost::ref(frames));
    return FanOut(call);
}

ErrorCode MySuiteASB::GetStoryFrame(TextData& data) {
    using boost::placeholders::_1;
    SuiteCall call = boost::bind(&IMySuite::GetStoryFrame, _1, boost::ref(data));
    return FanOut(call);
}

UIDRef StoryFrameOfTextTarget(const ITextTarget* target) {
    if (!target) return UIDRef::gNull;
    InterfacePtr<ITextModel> model(target->QueryTextModel());
    if (!model) return UIDRef::gNull;
    InterfacePtr<IFrameList> columns(model->QueryFrameList());
    if (!columns || columns->GetFrameCount() < 1) return UIDRef::gNull;
    IDataBase* db = ::GetDataBase(model);
    InterfacePtr<IHierarchy> column(db, columns->GetNthFrameUID(0));
    if (!column) return UIDRef::gNull;
    InterfacePtr<IHierarchy> container(column->QueryParent());
    if (!container) return UIDRef::gNull;
    UIDRef frame(db, container->GetParentUID());
    return frame.IsValid() ? frame : UIDRef::gNull;
}

ErrorCode MySuiteCSB::GetSelectedFrames(UIDList& frames) {
    UIDList result;
    InterfacePtr<ILayoutTarget> layout(this, IID_ILAYOUTTARGET);
    if (layout) {
        result = layout->GetUIDList(1, 0);
    } else {
        InterfacePtr<ITextTarget> text(this, IID_ITEXTTARGET);
        if (text) result = UIDList(StoryFrameOfTextTarget(text));
    }
    frames = result;
    return kSuccess;
}

ErrorCode MySuiteCSB::GetStoryFrame(TextData& data) {
    InterfacePtr<ITextTarget> text(this, IID_ITEXTTARGET);
    if (text) data.set_frame(ToFrameRef(StoryFrameOfTextTarget(text)));
    return kSuccess;
}

UIDList QuerySelectedFrames() {
    UIDList frames;
    ISelectionManager* selection = Utils<ISelectionUtils>()->GetActiveSelection();
    if (!selection) return frames;
    InterfacePtr<IMySuite> suite(selection, IID_IMYSUITE);
    if (suite) suite->GetSelectedFrames(frames);
    return frames;
}

}  // namespace glyphoria
