// Documents and their database. A document's database holds every object of
// the document by UID; the root object (GetRootUID) carries IDocument and the
// link manager. Front-document access is the layout utilities' (utils.h).
// Undo and Redo act on whole steps: the outermost command sequence, or one
// command processed outside any sequence, is one step.
#pragma once

#include <vector>

#include "host/sdk/files.h"
#include "host/sdk/ids.h"
#include "host/sdk/strings.h"
#include "host/sdk/uidref.h"

class IDataBase {
  public:
    virtual UID GetRootUID() const = 0;
    virtual bool IsValidUID(UID uid) const = 0;
    // The object with a reference added, nil when the UID names nothing.
    virtual IPMUnknown* Instantiate(UID uid) = 0;

  protected:
    ~IDataBase() = default;
};

class IDocument : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IDOCUMENT };
    virtual IDataBase* GetDocumentDataBase() const = 0;
    virtual PMString GetDocumentName() const = 0;
    // The object carrying the document's font list (IDocFontList).
    virtual UIDRef GetDocWorkSpace() const = 0;
    virtual int32 GetSpreadCount() const = 0;
    virtual UID GetSpreadUID(int32 index) const = 0;

    virtual bool16 CanUndo() const = 0;
    virtual bool16 CanRedo() const = 0;
    virtual PMString GetUndoName() const = 0;
    virtual PMString GetRedoName() const = 0;
    // kCommandNotAllowedError inside an open command sequence; kFailure when
    // there is nothing to undo or redo.
    virtual ErrorCode Undo() = 0;
    virtual ErrorCode Redo() = 0;
};

// The document's undo history, for code that holds only the database (such
// as a window that forwards the undo key). Same rules as IDocument::Undo.
class IUndoManager : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IUNDOMANAGER };
    virtual bool16 CanUndo() const = 0;
    virtual ErrorCode UndoLastStep() = 0;
    virtual ErrorCode RedoLastStep() = 0;
};

class ILink : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ILINK };
    virtual URI GetURI() const = 0;
    // True once the file's bytes are kept in the document.
    virtual bool16 IsEmbedded() const = 0;
    virtual UID GetLinkedObjectUID() const = 0;
};

class ILinkManager : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ILINKMANAGER };
    // Replaces links by the document's links whose linked object is the item.
    virtual void QueryLinksByObjectUID(UID object, UIDList& links) const = 0;
    virtual int32 GetLinkCount() const = 0;
};

class IPMFont;

// The font families the document uses, each an object of the document.
class IDocFontList : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IDOCFONTLIST };
    // The family's UID; with create, a missing family is added (undoable).
    // kInvalidUID for a nil font or a missing family without create.
    virtual UID GetFontFamilyUID(const IPMFont* font, bool16 create) = 0;
    virtual UID GetFontFamilyUIDByName(const PMString& family, bool16 create) = 0;
};

class IFontFamily : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IFONTFAMILY };
    virtual PMString GetFamilyName() const = 0;
    // PostScript name of the installed face with that style name; an empty
    // face name means the family's regular face (or its first face). Empty
    // when the family is not installed.
    virtual PMString GetPostScriptName(const PMString& faceName) const = 0;
};
