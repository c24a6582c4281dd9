// Utility interfaces: stateless services reached through Utils<T>, which
// yields the host's single instance (never nil while the host library is
// loaded). Results are as each interface states; no utility shows a message.
#pragma once

#include <vector>

#include "host/sdk/commands.h"
#include "host/sdk/files.h"
#include "host/sdk/geometry.h"
#include "host/sdk/ids.h"
#include "host/sdk/uidref.h"

class IDocument;
class ISelectionManager;
class IGraphicAttributes;
class ISwatch;

// The utility object of an interface ID; nil for IDs that are not utilities.
IPMUnknown* GetUtilityInterface(PMIID iid);

template <class T>
class Utils {
  public:
    Utils() : fPtr(static_cast<T*>(GetUtilityInterface(T::kDefaultIID))) {}
    T* operator->() const { return fPtr; }
    operator T*() const { return fPtr; }

  private:
    T* fPtr;
};

class ILayoutUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ILAYOUTUTILS };
    // The front layout document, nil when none is open. Not a new reference.
    virtual IDocument* GetFrontDocument() const = 0;
};

class ISelectionUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISELECTIONUTILS };
    // The active selection of the front document, nil without one. Not a new
    // reference.
    virtual ISelectionManager* GetActiveSelection() const = 0;
};

class IFileURIUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IFILEURIUTILS };
    virtual ErrorCode IDFileToURI(const IDFile& file, URI& uri) const = 0;
    // kFailure for an address that is not a file:// address.
    virtual ErrorCode URIToIDFile(const URI& uri, IDFile& file) const = 0;
};

class IFitFrameUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IFITFRAMEUTILS };
    // Sizes each frame to its picture (1 pixel = 1 point), keeping the
    // frame's left-top corner. kFailure when an item has no picture.
    virtual ErrorCode FitFrameToContent(const UIDList& items) = 0;
};

class IBoundsUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IBOUNDSUTILS };
    // Gives each item the box of the same index (pasteboard coordinates);
    // a rotated or sheared item becomes upright. Content moves with the
    // frame. kInvalidParameterError when the counts differ.
    virtual ErrorCode SetBounds(const UIDList& items, int32 coordinateSpace, bool16 boundsKind,
                                const PMRectCollection& bounds) = 0;
};

class IGraphicAttributeUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IGRAPHICATTRIBUTEUTILS };
    // The item's fill swatch as a new reference; nil for nil attributes.
    virtual ISwatch* QueryFillSwatch(const IGraphicAttributes* attributes) const = 0;
    virtual UID GetFillSwatchUID(const IGraphicAttributes* attributes) const = 0;
    // A command that fills the items with the swatch; the caller processes
    // and releases it. nil for a nil list.
    virtual ICommand* CreateFillSwatchCommand(UID swatch, const UIDList* items, bool16 applyToText,
                                              bool16 applyToFrame) const = 0;
};

class ILinkUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ILINKUTILS };
    // Reads each linked file into the document, so the picture no longer
    // depends on the file. Links whose file is gone keep what they had;
    // kFailure if any could not be read.
    virtual ErrorCode UpdateLinks(const UIDList& links) = 0;
};

class IUndoManager;

class IUndoUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IUNDOUTILS };
    // The undo history of the document of that database (a new reference),
    // nil for anything else.
    virtual IUndoManager* QueryUndoManager(IDataBase* db) const = 0;
};

class IFrameContentUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IFRAMECONTENTUTILS };
    // Makes an empty graphic frame a text frame with an empty story. The
    // frame must exist and have no content (kFailure otherwise). The option
    // values are the host's and ignored by the stand-in.
    virtual ErrorCode ConvertToTextFrame(IDataBase* db, UID frame, int32 option1, int32 option2,
                                         int32 option3, int32 option4) = 0;
};
