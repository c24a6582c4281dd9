// Command sequences and the undo snapshots they take; CmdUtils and
// ErrorUtils entry points.
#include "host/core/sequences.h"

#include <map>
#include <vector>

#include "host/core/boss.h"
#include "host/core/document.h"

namespace hostcore {

namespace {

int& StateReads() {
    static int reads = 0;
    return reads;
}

class SequenceImpl : public CPMUnknown<ICommandSequence> {
  public:
    explicit SequenceImpl(IPMUnknown* boss) : CPMUnknown<ICommandSequence>(boss) {}
    void SetName(const PMString& name) override { fName = name; }
    PMString GetName() const override { return fName; }
    ErrorCode GetState() const override {
        ++StateReads();
        return fState;
    }
    void NoteError(ErrorCode e) {
        if (fState == kSuccess) fState = e;
    }

  private:
    PMString fName;
    ErrorCode fState = kSuccess;
};

struct Level {
    std::string name;
    SequenceImpl* seq = nullptr;  // nil for a command's own level
    std::map<Document*, DocModel> before;
};

std::vector<Level>& Levels() {
    static std::vector<Level> levels;
    return levels;
}

std::function<void(Document*)>& Observer() {
    static std::function<void(Document*)> observer;
    return observer;
}

ErrorCode& GlobalError() {
    static ErrorCode code = kSuccess;
    return code;
}

// Closes the innermost level, keeping or abandoning its changes.
void PopLevel(bool commit) {
    std::vector<Level>& levels = Levels();
    Level level = std::move(levels.back());
    levels.pop_back();
    if (!commit) {
        for (auto& entry : level.before)
            entry.first->RestoreModel(entry.second);
        return;
    }
    if (!levels.empty()) return;  // the outer levels hold their own snapshots
    std::string name = level.seq ? level.seq->GetName().GetUTF8String() : level.name;
    for (auto& entry : level.before) {
        Document* doc = entry.first;
        // A sequence whose commands changed nothing in the end leaves no step.
        if (doc->Model() == entry.second) continue;
        doc->PushUndoStep(name, std::move(entry.second));
        TellDocumentChanged(doc);
    }
}

// Index of the level of an explicit sequence, -1 if it is not open.
int FindLevel(const ICommandSequence* seq) {
    std::vector<Level>& levels = Levels();
    for (int i = static_cast<int>(levels.size()) - 1; i >= 0; --i)
        if (levels[i].seq && static_cast<const ICommandSequence*>(levels[i].seq) == seq) return i;
    return -1;
}

ErrorCode CloseSequence(ICommandSequence* seq, bool commit) {
    if (!seq) return kInvalidParameterError;
    int index = FindLevel(seq);
    if (index < 0) return kInvalidParameterError;
    // Sequences left open inside this one close with it, the way it closes.
    while (static_cast<int>(Levels().size()) > index + 1)
        PopLevel(commit);
    ErrorCode state = seq->GetState();
    PopLevel(commit);
    seq->Release();
    return commit ? state : kSuccess;
}

}  // namespace

ErrorCode RunCommand(const std::string& name, const std::function<ErrorCode()>& fn) {
    Levels().push_back(Level{name, nullptr, {}});
    ErrorCode err = fn();
    PopLevel(err == kSuccess);
    if (err != kSuccess) {
        for (auto it = Levels().rbegin(); it != Levels().rend(); ++it) {
            if (it->seq) {
                it->seq->NoteError(err);
                break;
            }
        }
    }
    ErrorUtils::PMSetGlobalErrorCode(err);
    return err;
}

void WillChange(Document* doc) {
    std::vector<Level>& levels = Levels();
    if (levels.empty()) {
        // A change outside any command still becomes a step of its own, so
        // it can be undone; it cannot happen through the public interfaces.
        doc->PushUndoStep("Change", doc->Model());
        return;
    }
    for (Level& level : levels)
        if (!level.before.count(doc)) level.before.emplace(doc, doc->Model());
}

void ForgetDocument(Document* doc) {
    for (Level& level : Levels())
        level.before.erase(doc);
}

int SequenceDepth() {
    return static_cast<int>(Levels().size());
}

int SequenceStateReads() {
    return StateReads();
}

void SetDocumentChangedObserver(std::function<void(Document*)> observer) {
    Observer() = std::move(observer);
}

void TellDocumentChanged(Document* doc) {
    if (Observer()) Observer()(doc);
}

}  // namespace hostcore

using hostcore::Levels;

namespace CmdUtils {

ICommandSequence* BeginCommandSequence() {
    hostcore::HostBoss* boss = hostcore::HostBoss::Create(nullptr, kInvalidUID, 0);
    auto* impl = new hostcore::SequenceImpl(boss);
    boss->AddOwned(IID_ICOMMANDSEQUENCE, impl);
    Levels().push_back(hostcore::Level{"", impl, {}});
    return impl;  // carries the reference Create made
}

ErrorCode EndCommandSequence(ICommandSequence* seq) {
    return hostcore::CloseSequence(seq, true);
}

ErrorCode AbortCommandSequence(ICommandSequence* seq) {
    return hostcore::CloseSequence(seq, false);
}

int32 SequenceDepth() {
    int32 n = 0;
    for (const hostcore::Level& l : Levels())
        if (l.seq) ++n;
    return n;
}

SequenceContext::SequenceContext(const PMString* name) : fSeq(BeginCommandSequence()) {
    if (name) fSeq->SetName(*name);
}

SequenceContext::~SequenceContext() {
    EndCommandSequence(fSeq);
}

ErrorCode SequenceContext::State() const {
    return fSeq->GetState();
}

}  // namespace CmdUtils

namespace ErrorUtils {

void PMSetGlobalErrorCode(ErrorCode code, const PMString*, IPMUnknown*, void*) {
    hostcore::GlobalError() = code;
}

ErrorCode PMGetGlobalErrorCode() {
    return hostcore::GlobalError();
}

}  // namespace ErrorUtils
