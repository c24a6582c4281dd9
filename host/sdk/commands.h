// Commands and command sequences: the only way the document changes.
//
// A command is created by class (CmdUtils::CreateCommand), given its item
// list and data, and processed. A command either does all of its work or, on
// a non-zero result, none of it. Processing outside any sequence makes the
// command one undo step of its own.
//
// A sequence groups everything processed between Begin and End into one undo
// step. Sequences nest; only the outermost one makes a step and names it
// (nested names are ignored). A sequence in which nothing changed leaves no
// step. AbortCommandSequence puts every document back as it was when that
// sequence began and ends it; for a nested sequence only its own changes are
// undone. Sequences must end in the reverse order of their beginning.
#pragma once

#include "host/sdk/files.h"
#include "host/sdk/geometry.h"
#include "host/sdk/ids.h"
#include "host/sdk/strings.h"
#include "host/sdk/uidref.h"

class ICommand : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ICOMMAND };
    virtual ClassID GetCommandClass() const = 0;
    virtual void SetItemList(const UIDList& items) = 0;
    // For an import-and-place: the placed items, once processed.
    virtual const UIDList* GetItemList() const = 0;
    virtual void SetName(const PMString& name) = 0;
    virtual PMString GetName() const = 0;
};

// Placement of the import-and-place command.
class IPlaceData : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IPLACEDATA };
    // parent: the layer (or other item) that receives the new frame. points:
    // the frame's two corners (left-top, right-bottom); nil or fewer than two
    // points place the picture at its own size at the parent's origin.
    virtual void Set(const UIDRef& parent, const PMPointList* points, bool16 showPreview) = 0;
};

// File of the import-and-place command. The command accepts PNG pictures
// only; the frame gets the picture's size in pixels as points.
class IImportData : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IIMPORTDATA };
    virtual void Set(IDataBase* db, const URI& uri, int32 uiFlags, bool16 useClippingFrame,
                     bool16 retainFormat, bool16 convertQuotes, int32 importFormat) = 0;
};

class ICommandSequence : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ICOMMANDSEQUENCE };
    virtual void SetName(const PMString& name) = 0;
    virtual PMString GetName() const = 0;
    // The first error of a command processed inside, kSuccess if none.
    virtual ErrorCode GetState() const = 0;
};

namespace CmdUtils {
// New command of the class, nil for a class the host does not know.
ICommand* CreateCommand(ClassID commandClass);
// kSuccess, or the command's error (the document is then unchanged).
ErrorCode ProcessCommand(ICommand* cmd);
// The returned sequence belongs to the caller until End or Abort takes it.
ICommandSequence* BeginCommandSequence();
ErrorCode EndCommandSequence(ICommandSequence* seq);
ErrorCode AbortCommandSequence(ICommandSequence* seq);
// Depth of open sequences (0 outside any).
int32 SequenceDepth();

// A sequence for the lifetime of the object. State() is the sequence's
// first command error.
class SequenceContext {
  public:
    explicit SequenceContext(const PMString* name = nullptr);
    ~SequenceContext();
    SequenceContext(const SequenceContext&) = delete;
    SequenceContext& operator=(const SequenceContext&) = delete;
    ErrorCode State() const;

  private:
    ICommandSequence* fSeq;
};
}  // namespace CmdUtils

namespace ErrorUtils {
void PMSetGlobalErrorCode(ErrorCode code, const PMString* message = nullptr,
                          IPMUnknown* object = nullptr, void* data = nullptr);
ErrorCode PMGetGlobalErrorCode();
}  // namespace ErrorUtils
