// Interfaces of page items (spreads, layers, frames, their content). Every
// call reads the document's current state; an item that was deleted (or
// undone away) answers with empty values (kInvalidUID, empty rectangles,
// empty texts) and setters return an error instead of touching anything.
// Changing calls run as undoable commands.
#pragma once

#include "host/sdk/geometry.h"
#include "host/sdk/ids.h"
#include "host/sdk/strings.h"
#include "host/sdk/uidref.h"

// Where an object lives; answered by every stored object.
class IPersistUIDData : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IPERSISTUIDDATA };
    virtual IDataBase* GetDataBase() const = 0;
    virtual UID GetUID() const = 0;
};

class IHierarchy : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IHIERARCHY };
    // The layer that holds the item (the item itself for a layer).
    virtual UID GetLayerUID() const = 0;
    virtual UID GetParentUID() const = 0;
    virtual int32 GetChildCount() const = 0;
    virtual UID GetChildUID(int32 index) const = 0;
    // New references, nil when there is no such object.
    virtual IHierarchy* QueryParent() const = 0;
    virtual IHierarchy* QueryChild(int32 index) const = 0;
};

class IGeometry : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IGEOMETRY };
    // The item's box in its own (inner) coordinates.
    virtual PMRect GetPathBoundingBox() const = 0;
    // The axis-aligned box of the inner box under the matrix.
    virtual PMRect GetBoundingBox(const PMMatrix& m) const = 0;
    virtual PMMatrix GetInnerToPasteboardMatrix() const = 0;
};

// Convenience of the geometry interface: inner to pasteboard.
PMMatrix InnerToPasteboardMatrix(const IGeometry* geometry);

// Labels: key to text, stored with the item.
class ILabelData : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ILABELDATA };
    // Empty when the key is not set.
    virtual PMString GetLabel(const PMString& key) const = 0;
    // An empty value removes the key. Undoable.
    virtual ErrorCode SetLabel(const PMString& key, const PMString& value) = 0;
    virtual int32 GetLabelCount() const = 0;
    // The key at an index (0..GetLabelCount()-1), keys in byte order; empty
    // outside that range.
    virtual PMString GetNthLabelKey(int32 index) const = 0;
};

// A frame's name, as scripts and the layers panel know it.
class IPageItemName : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IPAGEITEMNAME };
    // Empty for an unnamed frame.
    virtual PMString GetName() const = 0;
    // Any text, the empty one included. Undoable.
    virtual ErrorCode SetName(const PMString& name) = 0;
};

// A frame's rotation and shear. Both turn the frame's box about its centre:
// the shear first (x moves by tan(shear) * y), then the rotation, clockwise on
// the page. IGeometry's matrix is the result; these are the values it is made
// of, so what is read can be set again exactly.
class ITransform : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ITRANSFORM };
    // The frame's box in pasteboard coordinates before rotation and shear.
    virtual PMRect GetUntransformedBounds() const = 0;
    // Degrees.
    virtual PMReal GetRotationAngle() const = 0;
    virtual PMReal GetShearAngle() const = 0;
    // Keeps the box and its centre; content turns with the frame.
    // kInvalidParameterError for a value that is not finite, a rotation
    // beyond one full turn either way or a shear outside (-89, 89) degrees.
    // Undoable.
    virtual ErrorCode SetRotationAndShear(PMReal rotation, PMReal shear) = 0;
};

// First step from a text frame to its story: names the frame's text content.
class ITextContent : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ITEXTCONTENT };
    virtual UID GetTextContentUID() const = 0;
};

// Second step: the text content's story.
class IStoryRef : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISTORYREF };
    virtual UID GetStoryUID() const = 0;
};

class IGraphicAttributes : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IGRAPHICATTRIBUTES };
    // The fill swatch; the document's None swatch when the item has no fill.
    virtual UID GetFillSwatchUID() const = 0;
};

class ILayer : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ILAYER };
    virtual PMString GetName() const = 0;
};
