// The document model as plain values. Everything a document holds lives in
// one DocModel, so a copy is a complete snapshot: undo steps keep the model as
// it was, and undoing puts that copy back (UID counter included, so redone
// commands give out the same UIDs again).
//
// Objects and their UIDs: 1 is the document root, 2 its workspace; spreads,
// layers, frames, text containers and columns, images, stories, swatches,
// font families and links each have a UID from nextUID.
//
// Page-item tree: spread -> layer -> frame -> content. A text frame's
// content is a text container whose child is the text column listed in the
// story's frame list; a graphic frame's content is an image.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/sdk/geometry.h"
#include "host/sdk/ids.h"

namespace hostcore {

constexpr UID kRootUID = 1;
constexpr UID kWorkspaceUID = 2;

enum class NodeKind { kSpread, kLayer, kFrame, kTextContainer, kTextColumn, kImage };

struct Node {
    NodeKind kind = NodeKind::kFrame;
    UID parent = kInvalidUID;
    std::vector<UID> children;
    std::string name;
    // Untransformed box in pasteboard coordinates; rotation and shear (in
    // degrees) turn it about its centre.
    PMRect box;
    PMReal rotation = 0;
    PMReal shear = 0;
    std::map<std::string, std::string> labels;
    UID fill = kInvalidUID;   // frames: fill swatch (kInvalidUID: None)
    UID story = kInvalidUID;  // text containers and columns
    UID link = kInvalidUID;   // images
    int32 pixelWidth = 0;     // images
    int32 pixelHeight = 0;

    bool operator==(const Node& o) const;
};

struct CharAttrs {
    PMReal pointSize = 12;
    UID fontFamily = kInvalidUID;
    std::string fontStyle;
    UID color = kInvalidUID;

    bool operator==(const CharAttrs& o) const {
        return pointSize == o.pointSize && fontFamily == o.fontFamily && fontStyle == o.fontStyle &&
               color == o.color;
    }
    bool operator!=(const CharAttrs& o) const { return !(*this == o); }
};

// text always ends with the end marker; attrs has one entry per code unit.
struct Story {
    std::u16string text;
    std::vector<CharAttrs> attrs;
    std::vector<UID> frames;

    bool operator==(const Story& o) const {
        return text == o.text && attrs == o.attrs && frames == o.frames;
    }
};

enum class SwatchKind { kNone, kPaper, kBlack, kColor };

struct Swatch {
    std::string name;
    SwatchKind kind = SwatchKind::kColor;
    int32 space = 0;
    std::vector<PMReal> components;

    bool operator==(const Swatch& o) const {
        return name == o.name && kind == o.kind && space == o.space && components == o.components;
    }
};

struct Link {
    std::string uri;
    UID object = kInvalidUID;
    bool embedded = false;
    std::string bytes;  // the file's bytes once embedded

    bool operator==(const Link& o) const {
        return uri == o.uri && object == o.object && embedded == o.embedded && bytes == o.bytes;
    }
};

struct DocModel {
    std::string name;
    UID nextUID = 3;
    std::vector<UID> spreads;
    std::map<UID, Node> nodes;
    std::map<UID, Story> stories;
    std::map<UID, Swatch> swatches;
    std::map<UID, std::string> fontFamilies;
    std::map<UID, Link> links;
    UID noneSwatch = kInvalidUID;
    UID paperSwatch = kInvalidUID;
    UID blackSwatch = kInvalidUID;

    bool operator==(const DocModel& o) const;
    bool operator!=(const DocModel& o) const { return !(*this == o); }

    UID NewUID() { return nextUID++; }
    Node* FindNode(UID uid);
    const Node* FindNode(UID uid) const;
    bool Exists(UID uid) const;

    // The frame's inner box (centred on the origin) and its matrix.
    static PMRect InnerBox(const Node& n);
    static PMMatrix InnerToPasteboard(const Node& n);
    // Axis-aligned box of the node in pasteboard coordinates.
    static PMRect PasteboardBounds(const Node& n);

    // Removes the node, its descendants, their stories and links, and its
    // place in its parent's children.
    void DeleteSubtree(UID uid);
    // The layer above the node (the node itself for a layer).
    UID LayerOf(UID uid) const;
    // Page items below the spreads in drawing order (depth first).
    std::vector<UID> LayoutOrder() const;
};

// A new document: None, Paper and Black swatches, no spreads.
DocModel MakeEmptyModel(const std::string& name);
// Adds a spread with one layer; returns the layer.
UID AddSpreadWithLayer(DocModel* m, const PMRect& box, const std::string& layerName);
// Adds a text container and column and an empty story to the frame.
UID AttachEmptyStory(DocModel* m, UID frame, const CharAttrs& attrs);

}  // namespace hostcore
