#include "sampling/place_preview.h"

#include <cstdio>

#include "host/sdk/commands.h"
#include "host/sdk/files.h"
#include "host/sdk/utils.h"
#include "sampling/page_items.h"
#include "support/file_utils.h"

namespace glyphoria {

namespace {

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

}  // namespace

bool IsPlaceablePicture(const char* path) {
    if (!path || !*path || !FileExists(path)) return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    // Signature, then the header chunk: length, "IHDR", width, height.
    unsigned char head[24] = {};
    const bool complete = std::fread(head, 1, sizeof head, file) == sizeof head;
    std::fclose(file);
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!complete) return false;
    for (int i = 0; i < 8; ++i)
        if (head[i] != kSignature[i]) return false;
    if (head[12] != 'I' || head[13] != 'H' || head[14] != 'D' || head[15] != 'R') return false;
    return BigEndian32(head + 16) > 0 && BigEndian32(head + 20) > 0;
}

UIDRef PlaceFile(ILayer* layer, const char* path, const PMRect& bounds, bool fit) {
    if (!layer || !path || !FileExists(path)) return UIDRef();
    UIDRef parent = ::GetUIDRef(layer);
    URI uri;
    if (Utils<IFileURIUtils>()->IDFileToURI(IDFile(path), uri) != kSuccess) return UIDRef();

    InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kImportAndPlaceCmdBoss));
    if (!command) return UIDRef();
    InterfacePtr<IPlaceData> place(command, IID_IPLACEDATA);
    InterfacePtr<IImportData> import(command, IID_IIMPORTDATA);
    if (!place || !import) return UIDRef();
    PMPointList corners{bounds.LeftTop(), bounds.RightBottom()};
    place->Set(parent, &corners, 0);
    import->Set(parent.GetDataBase(), uri, 0, 0, 0, 0, 0);
    if (CmdUtils::ProcessCommand(command) != kSuccess) return UIDRef();

    const UIDList* placed = command->GetItemList();
    if (!placed || placed->IsEmpty()) return UIDRef();
    UIDRef frame = placed->GetRef(0);
    // A frame that keeps the old box still shows the picture; only logged.
    if (fit) FitFrameToContent(frame);
    return frame;
}

void UpdatePlacedLink(const UIDRef& frame) {
    UIDRef image = GetFirstChild(frame);
    if (!image.IsValid()) return;
    IDataBase* db = image.GetDataBase();
    InterfacePtr<ILinkManager> links(db, db->GetRootUID());
    if (!links) return;
    UIDList found(db);
    links->QueryLinksByObjectUID(image.GetUID(), found);
    if (found.IsEmpty()) return;
    InterfacePtr<ILink> link(db, found[0]);
    if (link) Utils<ILinkUtils>()->UpdateLinks(UIDList(UIDRef(db, found[0])));
}

UIDRef PlacePreview(IDocument* document, const UIDRef& frame, const char* preview_path) {
    if (!document || !frame.IsValid()) return UIDRef::gNull;
    IDataBase* db = document->GetDocumentDataBase();
    // The layer is looked up by UID in the document's database: a frame of
    // another document would name a layer that is not its own.
    if (frame.GetDataBase() != db) return UIDRef::gNull;
    InterfacePtr<IHierarchy> hierarchy(frame);
    if (!hierarchy) return UIDRef::gNull;
    InterfacePtr<ILayer> layer(db, hierarchy->GetLayerUID());
    if (!layer) return UIDRef::gNull;
    if (!IsPlaceablePicture(preview_path)) return UIDRef::gNull;
    const PMRect bounds = GetFrameBounds(frame);

    ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
    if (!sequence) return UIDRef::gNull;
    // A frame that stays would end up beside its own picture.
    if (DeletePageItem(frame) != kSuccess) {
        CmdUtils::AbortCommandSequence(sequence);
        return UIDRef::gNull;
    }
    UIDRef placed = PlaceFile(layer, preview_path, bounds, true);
    if (!placed.IsValid()) {
        CmdUtils::AbortCommandSequence(sequence);
        return UIDRef::gNull;
    }
    UpdatePlacedLink(placed);
    SelectPageItem(placed);
    CmdUtils::EndCommandSequence(sequence);
    return placed;
}

}  // namespace glyphoria
