#include "host/core/host_state.h"

#include <algorithm>
#include <memory>

#include "host/core/document.h"
#include "host/core/selection.h"
#include "host/core/sequences.h"

namespace hostcore {

namespace {

struct State {
    std::vector<std::unique_ptr<Document>> docs;
    Document* front = nullptr;
    std::function<void()> viewObserver;
};

State& S() {
    static State state;
    return state;
}

}  // namespace

Document* OpenDocument(DocModel model) {
    static bool observing = false;
    if (!observing) {
        SetDocumentChangedObserver(NotifyDocumentChanged);
        observing = true;
    }
    S().docs.push_back(std::make_unique<Document>(std::move(model)));
    SetFrontDocument(S().docs.back().get());
    return S().front;
}

void CloseDocument(Document* doc) {
    auto& docs = S().docs;
    auto it = std::find_if(docs.begin(), docs.end(), [&](const auto& d) { return d.get() == doc; });
    if (it == docs.end()) return;
    std::unique_ptr<Document> closing = std::move(*it);
    docs.erase(it);
    if (S().front == doc) SetFrontDocument(docs.empty() ? nullptr : docs.back().get());
}

void CloseAllDocuments() {
    while (!S().docs.empty())
        CloseDocument(S().docs.back().get());
}

Document* FrontDocument() {
    return S().front;
}

void SetFrontDocument(Document* doc) {
    if (doc == S().front) return;
    S().front = doc;
    ResetSelection();
    NoteViewChange();
}

std::vector<Document*> OpenDocuments() {
    std::vector<Document*> out;
    for (const auto& d : S().docs)
        out.push_back(d.get());
    return out;
}

void SetViewObserver(std::function<void()> observer) {
    S().viewObserver = std::move(observer);
}

void NoteViewChange() {
    if (S().viewObserver) S().viewObserver();
}

}  // namespace hostcore
