#include "sampling/page_items.h"

#include <cstdio>
#include <cstring>

#include "host/sdk/commands.h"
#include "host/sdk/selection.h"
#include "host/sdk/utils.h"
#include "support/log.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace glyphoria {

namespace {

void SystemBeep() {
#ifdef _WIN32
    MessageBeep(0xFFFFFFFF);
#else
    std::fputc('\a', stderr);
    std::fflush(stderr);
#endif
}

}  // namespace

std::string FrameLabel(const UIDRef& item, const char* key) {
    if (!item.IsValid() || !key) return std::string();
    InterfacePtr<ILabelData> labels(item);
    if (!labels) return std::string();
    return labels->GetLabel(PMString(key)).GetUTF8String();
}

const char* ReadFrameLabel(TextData& record, const UIDRef& item, const char* key) {
    const std::string label = FrameLabel(item, key);
    if (label.empty() || label.size() >= TextData::kQuerySize) return nullptr;
    std::memcpy(record.mutable_query(), label.c_str(), label.size() + 1);
    return record.query();
}

ErrorCode WriteFrameLabel(const UIDRef& item, const char* key, const char* value) {
    if (!item.IsValid() || !key) return kFailure;
    InterfacePtr<ILabelData> labels(item);
    if (!labels) return kFailure;
    return labels->SetLabel(PMString(key), PMString(value ? value : ""));
}

PMRect GetFrameBounds(const UIDRef& item) {
    if (!item.IsValid()) return PMRect();
    InterfacePtr<IGeometry> geometry(item);
    if (!geometry) return PMRect();
    return geometry->GetBoundingBox(InnerToPasteboardMatrix(geometry));
}

ErrorCode SetFrameBounds(const UIDRef& item, const PMRect& bounds) {
    if (!item.IsValid()) return kFailure;
    PMRectCollection boxes(1, bounds);
    return Utils<IBoundsUtils>()->SetBounds(UIDList(item), 0, 1, boxes);
}

UIDRef GetStory(const UIDRef& frame) {
    if (!frame.IsValid()) return UIDRef::gNull;
    InterfacePtr<ITextContent> content(frame);
    if (!content) return UIDRef::gNull;
    IDataBase* db = frame.GetDataBase();
    InterfacePtr<IStoryRef> story(db, content->GetTextContentUID());
    if (!story) return UIDRef::gNull;
    UIDRef ref(db, story->GetStoryUID());
    return ref.IsValid() ? ref : UIDRef::gNull;
}

bool IsDocumentSwatch(IDataBase* db, UID uid) {
    if (!db || uid == kInvalidUID) return false;
    InterfacePtr<ISwatch> swatch(db, uid);
    return swatch != nullptr;
}

ISwatch* GetFillSwatch(const UIDRef& item) {
    if (!item.IsValid()) return nullptr;
    InterfacePtr<IGraphicAttributes> attributes(item);
    if (!attributes) return nullptr;
    return Utils<IGraphicAttributeUtils>()->QueryFillSwatch(attributes);
}

ErrorCode ApplyGraphicAttributes(const UIDRef& item, UID fill_swatch) {
    if (!item.IsValid()) return kFailure;
    UIDList items(item);
    InterfacePtr<ICommand> command(
        Utils<IGraphicAttributeUtils>()->CreateFillSwatchCommand(fill_swatch, &items, 1, 1));
    if (!command) return kFailure;
    return CmdUtils::ProcessCommand(command);
}

UIDRef GetFirstChild(const UIDRef& item) {
    if (!item.IsValid()) return UIDRef();
    InterfacePtr<IHierarchy> hierarchy(item);
    if (!hierarchy || hierarchy->GetChildCount() < 1) return UIDRef();
    return UIDRef(item.GetDataBase(), hierarchy->GetChildUID(0));
}

UIDRef GetParent(const UIDRef& item) {
    if (!item.IsValid()) return UIDRef::gNull;
    InterfacePtr<IHierarchy> hierarchy(item);
    if (!hierarchy) return UIDRef::gNull;
    UIDRef parent(item.GetDataBase(), hierarchy->GetParentUID());
    return parent.IsValid() ? parent : UIDRef::gNull;
}

ErrorCode DeletePageItem(const UIDRef& item) {
    if (!item.IsValid()) return kFailure;
    InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kDeleteCmdBoss));
    if (!command) return kFailure;
    command->SetItemList(UIDList(item));
    ErrorCode result = CmdUtils::ProcessCommand(command);
    if (result != kSuccess) SystemBeep();
    return result;
}

ErrorCode DeleteFrameContent(const UIDRef& item) {
    UIDRef content = GetFirstChild(item);
    return content.IsValid() ? DeletePageItem(content) : kSuccess;
}

void SelectPageItem(const UIDRef& item) {
    if (!item.IsValid()) return;
    ISelectionManager* selection = Utils<ISelectionUtils>()->GetActiveSelection();
    InterfacePtr<ILayoutSelectionSuite> layout(selection, IID_ILAYOUTSELECTIONSUITE);
    if (layout) layout->SelectPageItems(UIDList(item), 1, 1);
}

ErrorCode FitFrameToContent(const UIDRef& frame) {
    ErrorCode result = Utils<IFitFrameUtils>()->FitFrameToContent(UIDList(frame));
    if (result != kSuccess) LogMessage("\t####\tfitFrameToContent: %d", static_cast<int>(result));
    return result;
}

}  // namespace glyphoria
