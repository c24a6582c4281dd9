#include "sampling/host_frame_copy.h"

#include <vector>

#include "host/sdk/document.h"
#include "host/sdk/fonts.h"
#include "host/sdk/page_items.h"
#include "host/sdk/swatches.h"
#include "host/sdk/text.h"
#include "sampling/page_items.h"

namespace glyphoria {

namespace {

// The character attributes the host models, as a run keeps them.
struct Attributes {
    double point_size = 0;
    UID family = kInvalidUID;
    std::string style;
    UID colour = kInvalidUID;

    bool operator==(const Attributes& o) const {
        return point_size == o.point_size && family == o.family && style == o.style &&
               colour == o.colour;
    }
};

template <class T>
InterfacePtr<T> AttributeAt(const ITextModel* model, TextIndex index, ClassID attribute) {
    return InterfacePtr<T>(
        static_cast<T*>(model->QueryAttributeAt(index, attribute, T::kDefaultIID)));
}

Attributes AttributesAt(const ITextModel* model, TextIndex index) {
    Attributes a;
    if (auto size = AttributeAt<ITextAttrRealNumber>(model, index, kTextAttrPointSizeBoss))
        a.point_size = size->GetRealNumber();
    if (auto family = AttributeAt<ITextAttrUID>(model, index, kTextAttrFontUIDBoss))
        a.family = family->GetUIDData();
    if (auto style = AttributeAt<ITextAttrFontStyle>(model, index, kTextAttrFontStyleBoss))
        a.style = style->GetFontName().GetUTF8String();
    if (auto colour = AttributeAt<ITextAttrUID>(model, index, kTextAttrColorBoss))
        a.colour = colour->GetUIDData();
    return a;
}

std::string FamilyName(IDataBase* db, UID family) {
    if (family == kInvalidUID) return std::string();
    InterfacePtr<IFontFamily> font(db, family);
    return font ? font->GetFamilyName().GetUTF8String() : std::string();
}

// The story as runs; a run ends where the attributes change, so two runs of
// equal attributes never meet.
bool ReadRuns(const UIDRef& frame, std::vector<TextRun>* runs) {
    UIDRef story = GetStory(frame);
    InterfacePtr<ITextModel> model(story);
    if (!model) return false;
    const std::u16string text = model->GetText().Units();
    if (text.empty()) return false;
    std::size_t start = 0;
    Attributes current = AttributesAt(model, 0);
    for (std::size_t i = 1; i <= text.size(); ++i) {
        Attributes next;
        if (i < text.size()) {
            // A surrogate pair is one character, in one run.
            if (text[i] >= 0xDC00 && text[i] <= 0xDFFF && text[i - 1] >= 0xD800 &&
                text[i - 1] <= 0xDBFF)
                continue;
            next = AttributesAt(model, static_cast<TextIndex>(i));
            if (next == current) continue;
        }
        TextRun run;
        run.text = StringUtils::Utf16ToUtf8(text.substr(start, i - start));
        run.point_size = current.point_size;
        run.font_family = FamilyName(story.GetDataBase(), current.family);
        run.font_style = current.style;
        run.colour = current.colour;
        runs->push_back(std::move(run));
        start = i;
        current = next;
    }
    return true;
}

// The list that sets every attribute of the run; the family is looked up in
// (and if need be added to) the document's font list.
bool RunAttributes(IDataBase* db, const TextRun& run, AttributeBossList* list) {
    InterfacePtr<ITextAttrRealNumber> size(
        CreateObject2<ITextAttrRealNumber>(kTextAttrPointSizeBoss));
    InterfacePtr<ITextAttrUID> family(CreateObject2<ITextAttrUID>(kTextAttrFontUIDBoss));
    InterfacePtr<ITextAttrFontStyle> style(
        CreateObject2<ITextAttrFontStyle>(kTextAttrFontStyleBoss));
    if (!size || !family || !style) return false;
    size->SetRealNumber(run.point_size);
    UID family_uid = kInvalidUID;
    if (!run.font_family.empty()) {
        InterfacePtr<IDocument> document(db, db->GetRootUID());
        InterfacePtr<IDocFontList> fonts(document ? document->GetDocWorkSpace() : UIDRef::gNull);
        if (!fonts) return false;
        family_uid = fonts->GetFontFamilyUIDByName(PMString(run.font_family), kTrue);
        if (family_uid == kInvalidUID) return false;
    }
    family->SetUIDData(family_uid);
    style->SetFontName(PMString(run.font_style));
    list->ApplyAttribute(size);
    list->ApplyAttribute(family);
    list->ApplyAttribute(style);
    if (IsDocumentSwatch(db, run.colour)) {
        InterfacePtr<ITextAttrUID> colour(CreateObject2<ITextAttrUID>(kTextAttrColorBoss));
        if (!colour) return false;
        colour->SetUIDData(run.colour);
        list->ApplyAttribute(colour);
    }
    return true;
}

}  // namespace

bool ReadFramePlace(const UIDRef& frame, FrameCopy* place) {
    InterfacePtr<ITransform> transform(frame);
    InterfacePtr<IPageItemName> name(frame);
    InterfacePtr<ILabelData> labels(frame);
    if (!transform || !name || !labels) return false;
    const PMRect box = transform->GetUntransformedBounds();
    place->left = box.Left();
    place->top = box.Top();
    place->right = box.Right();
    place->bottom = box.Bottom();
    place->rotation = transform->GetRotationAngle();
    place->shear = transform->GetShearAngle();
    place->name = name->GetName().GetUTF8String();
    place->labels.clear();
    for (int32 i = 0; i < labels->GetLabelCount(); ++i) {
        const PMString key = labels->GetNthLabelKey(i);
        if (key.IsEmpty() || IsTryLabelKey(key.GetUTF8String())) continue;
        place->labels[key.GetUTF8String()] = labels->GetLabel(key).GetUTF8String();
    }
    return true;
}

bool ReadFrameCopy(const UIDRef& frame, FrameCopy* copy) {
    if (!ReadFramePlace(frame, copy)) return false;
    InterfacePtr<IGraphicAttributes> attributes(frame);
    copy->fill = attributes ? attributes->GetFillSwatchUID() : kInvalidUID;
    copy->runs.clear();
    return ReadRuns(frame, &copy->runs);
}

ErrorCode ApplyFrameBounds(const UIDRef& frame, const FrameCopy& place) {
    return SetFrameBounds(frame, PMRect(place.left, place.top, place.right, place.bottom));
}

ErrorCode ApplyFrameLook(const UIDRef& frame, const FrameCopy& place) {
    InterfacePtr<ITransform> transform(frame);
    InterfacePtr<IPageItemName> name(frame);
    InterfacePtr<ILabelData> labels(frame);
    if (!transform || !name || !labels) return kFailure;
    ErrorCode result = transform->SetRotationAndShear(place.rotation, place.shear);
    if (result == kSuccess) result = name->SetName(PMString(place.name));
    for (auto it = place.labels.begin(); result == kSuccess && it != place.labels.end(); ++it)
        result = labels->SetLabel(PMString(it->first), PMString(it->second));
    return result;
}

ErrorCode ApplyStoryRuns(const UIDRef& frame, const FrameCopy& copy) {
    IDataBase* db = frame.GetDataBase();
    InterfacePtr<ITextModel> model(GetStory(frame));
    if (!model || copy.runs.empty()) return kFailure;
    std::vector<std::u16string> units;
    std::u16string text;
    for (const TextRun& run : copy.runs) {
        units.push_back(StringUtils::Utf8ToUtf16(run.text));
        text += units.back();
    }
    // The story has its own end marker; the copy's last character is that.
    text.pop_back();
    if (!text.empty()) {
        WideString wide(text);
        if (ErrorCode result = model->Insert(0, &wide)) return result;
    }
    TextIndex at = 0;
    for (std::size_t i = 0; i < copy.runs.size(); ++i) {
        AttributeBossList list;
        if (!RunAttributes(db, copy.runs[i], &list)) return kFailure;
        const int32 length = static_cast<int32>(units[i].size());
        if (ErrorCode result = model->ApplyAttributes(at, length, &list, kCharAttrStrandBoss))
            return result;
        at += length;
    }
    return kSuccess;
}

}  // namespace glyphoria
