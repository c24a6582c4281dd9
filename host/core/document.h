// An open document: its model, its database face (IDataBase) and its undo
// history. The host owns documents (host_state.h); plug-ins see them only
// through IDataBase and the interfaces of its objects.
//
// The model changes only through Edit(), which must be called from inside a
// command (commands.h in this folder); Edit() records the model as it was for
// every open sequence level, which is what undo and abandoning rely on.
#pragma once

#include <string>
#include <vector>

#include "host/core/model.h"
#include "host/sdk/document.h"

namespace hostcore {

class HostBoss;

class Document : public IDataBase {
  public:
    explicit Document(DocModel model);
    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // IDataBase
    UID GetRootUID() const override { return kRootUID; }
    bool IsValidUID(UID uid) const override { return fModel.Exists(uid); }
    IPMUnknown* Instantiate(UID uid) override;

    const DocModel& Model() const { return fModel; }
    DocModel& Edit();
    // Moves whenever the model may have changed (Edit, Reset, Undo, Redo,
    // RestoreModel): a picture of an equal revision is still true.
    unsigned long long Revision() const { return fRevision; }
    // Replaces the whole model and forgets the undo history (loading).
    void Reset(DocModel model);

    struct Step {
        std::string name;
        DocModel model;
    };
    void PushUndoStep(const std::string& name, DocModel before);
    ErrorCode Undo();
    ErrorCode Redo();
    const std::vector<Step>& UndoSteps() const { return fUndo; }
    const std::vector<Step>& RedoSteps() const { return fRedo; }

    // Used by the sequence levels to put a snapshot back.
    void RestoreModel(const DocModel& model);

    // The document's root object (IDocument); not a new reference.
    IPMUnknown* Root();

    // The Document behind a database pointer, nil for anything else.
    static Document* From(IDataBase* db) { return dynamic_cast<Document*>(db); }

  private:
    DocModel fModel;
    std::vector<Step> fUndo;
    std::vector<Step> fRedo;
    HostBoss* fRoot = nullptr;
    unsigned long long fRevision = 0;

    void Moved();
};

}  // namespace hostcore
