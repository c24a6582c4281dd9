// The selection suite: how the try and the restore learn what the user has
// selected. IMySuite sits on the host's abstract selection as MySuiteASB,
// which hands every call to the concrete suites the current selection
// carries (MySuiteLayoutCSB on the layout selection), walking them from the
// last to the first inside one command sequence context. Each concrete
// suite replaces the caller's list, so the first suite of the host's
// collection decides the result; a concrete error is passed to the host's
// global error code and ends the walk.
//
// The suites keep no state: every call starts from the current selection.
#pragma once

#include <boost/function.hpp>

#include "host/sdk/selection.h"
#include "host/sdk/uidref.h"
#include "host/sdk/unknown.h"
#include "sampling/text_data.h"

namespace glyphoria {

constexpr PMIID IID_IMYSUITE = 0x159840;
constexpr ImplementationID kMySuiteASBImpl = 0x159845;
constexpr ImplementationID kMySuiteLayoutCSBImpl = 0x159847;
constexpr ImplementationID kMySuiteLayoutExtImpl = 0x159848;

class IMySuite : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IMYSUITE };
    // Replaces frames by the selected page items (layout order), or by the
    // frame of the selected story.
    virtual ErrorCode GetSelectedFrames(UIDList& frames) = 0;
    // Sets the record's frame reference to the frame of the selected story;
    // leaves it alone for a layout selection.
    virtual ErrorCode GetStoryFrame(TextData& data) = 0;
};

// One concrete suite's part of a fan-out.
typedef boost::function<ErrorCode(IMySuite*)> SuiteCall;

// Calls each suite of the collection from the last to the first inside one
// command sequence context, hands every result to the global error code and
// stops after the first non-zero one. 0 for an empty collection, else the
// result of the last call made.
ErrorCode FanOutToSuites(const IIntegratorTarget::TargetSuiteCollection& suites,
                         const SuiteCall& call);

class MySuiteASB : public CPMUnknown<IMySuite> {
  public:
    explicit MySuiteASB(IPMUnknown* boss) : CPMUnknown<IMySuite>(boss) {}
    ErrorCode GetSelectedFrames(UIDList& frames) override;
    ErrorCode GetStoryFrame(TextData& data) override;

  private:
    ErrorCode FanOut(const SuiteCall& call);
};

class MySuiteCSB : public CPMUnknown<IMySuite> {
  public:
    explicit MySuiteCSB(IPMUnknown* boss) : CPMUnknown<IMySuite>(boss) {}
    ErrorCode GetSelectedFrames(UIDList& frames) override;
    ErrorCode GetStoryFrame(TextData& data) override;
    virtual ~MySuiteCSB() = default;

    // The selection extension's hooks (SelectionExt); the suite needs none
    // of them, but the host calls them all.
    virtual void Startup() {}
    virtual void Shutdown() {}
    virtual void SelectionChanged(int32, PMIID, void*) {}
    virtual void HandleIntegratorSuiteMessage(void*, ClassID, PMIID) {}
    virtual void SelectionAttributeChanged(ClassID, PMIID, void*, const UIDList*, int32) {}
    // The host owns and deletes the collection.
    virtual ISelectionExtension::ProtocolCollection* CreateObserverProtocolCollection() {
        return new ISelectionExtension::ProtocolCollection;
    }
    virtual int32 HandleSuiteProtocol(PMIID) { return 0; }
};

class MySuiteLayoutCSB : public MySuiteCSB {
  public:
    explicit MySuiteLayoutCSB(IPMUnknown* boss) : MySuiteCSB(boss) {}
    ~MySuiteLayoutCSB() override = default;
};

// The frame that shows the story selected in a text target: the first text
// column's parent's parent, with the story's database; UIDRef::gNull when a
// step is missing.
UIDRef StoryFrameOfTextTarget(const ITextTarget* target);

// The selected page items of the front document's active selection; empty
// without a selection or without the suite.
UIDList QuerySelectedFrames();

}  // namespace glyphoria
