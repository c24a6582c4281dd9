#include "sampling/host_frame_source.h"

#include <algorithm>

#include "host/sdk/document.h"
#include "host/sdk/page_items.h"
#include "host/sdk/swatches.h"
#include "host/sdk/text.h"
#include "host/sdk/utils.h"
#include "sampling/frame_fill.h"
#include "sampling/page_items.h"

namespace glyphoria {

namespace {

// Enough UTF-16 units for the 256 characters the record keeps.
constexpr std::size_t kStoryUnits = 512;

template <class T>
InterfacePtr<T> AttributeAtStart(const ITextModel* model, ClassID attribute) {
    return InterfacePtr<T>(static_cast<T*>(model->QueryAttributeAt(0, attribute, T::kDefaultIID)));
}

}  // namespace

FrameRef ToFrameRef(const UIDRef& ref) {
    FrameRef frame;
    frame.database = ref.GetDataBase();
    frame.uid = ref.GetUID();
    return frame;
}

UIDRef FrameOf(const TextData& record) {
    return UIDRef(static_cast<IDataBase*>(record.frame().database), record.frame().uid);
}

FrameRef HostFrameSource::Ref() const {
    return ToFrameRef(frame_);
}

std::string HostFrameSource::Label() const {
    return FrameLabel(frame_, kFrameLabelKey);
}

StoryAccess HostFrameSource::ReadStory(StoryFacts* facts) const {
    UIDRef story = GetStory(frame_);
    if (!story.IsValid()) return StoryAccess::kNoStory;
    InterfacePtr<ITextModel> model(story);
    if (!model) return StoryAccess::kUnreachable;

    facts->length = model->TotalLength();
    facts->text.clear();
    const TextIndex end = std::max<TextIndex>(0, facts->length - 1);
    for (TextIterator it(model, 0); !it.IsNull() && it.Position() < end; ++it) {
        if (facts->text.size() + 2 > kStoryUnits) break;
        StringUtils::AppendUtf16(&facts->text, *it);
    }

    if (auto size = AttributeAtStart<ITextAttrRealNumber>(model, kTextAttrPointSizeBoss))
        facts->point_size = size->GetRealNumber();
    if (auto colour = AttributeAtStart<ITextAttrUID>(model, kTextAttrColorBoss))
        facts->colour_swatch = static_cast<int>(colour->GetUIDData());
    if (auto family = AttributeAtStart<ITextAttrUID>(model, kTextAttrFontUIDBoss)) {
        InterfacePtr<IFontFamily> font(story.GetDataBase(), family->GetUIDData());
        if (font) facts->postscript_name = font->GetPostScriptName(PMString()).GetUTF8String();
    }
    return StoryAccess::kRead;
}

int HostFrameSource::FillSwatch() const {
    InterfacePtr<ISwatch> swatch(GetFillSwatch(frame_));
    return swatch ? static_cast<int>(::GetUID(swatch)) : 0;
}

FrameSize HostFrameSource::Bounds() const {
    InterfacePtr<ITransform> transform(frame_);
    const PMRect box = transform ? transform->GetUntransformedBounds() : GetFrameBounds(frame_);
    return FrameSize{box.Width(), box.Height()};
}

bool HostSwatchSource::Describe(int uid, SwatchFacts* facts) const {
    if (!db_ || uid == 0) return false;
    const UID swatch_uid = static_cast<UID>(uid);
    InterfacePtr<ISwatch> swatch(db_, swatch_uid);
    if (!swatch) return false;
    *facts = SwatchFacts();
    Utils<ISwatchUtils> swatches;
    facts->is_none = swatches->GetNoneSwatchUID(db_) == swatch_uid;
    facts->is_black = swatches->GetBlackSwatchUID(db_) == swatch_uid;

    InterfacePtr<IColorData> colour(swatch, IID_ICOLORDATA);
    if (!colour) return true;
    facts->colour_space = colour->GetColorSpace();
    ColorArray rgb = colour->GetColorData();
    if (NeedsRgbConversion(facts->colour_space)) {
        InterfacePtr<IDocument> document(db_, db_->GetRootUID());
        ColorArray converted;
        if (!document ||
            Utils<IColorUtils>()->ConvertColor(document, facts->colour_space, rgb, kColourSpaceRgb,
                                               &converted) != kSuccess) {
            return true;  // no colour the renderer could use: the default stays
        }
        rgb = converted;
    }
    if (rgb.size() < 3) return true;
    facts->has_colour = true;
    for (int i = 0; i < 3; ++i)
        facts->rgb[i] = static_cast<float>(rgb[i]);
    return true;
}

int FillFromSelection(TextData& record, const UIDList& frames, int32 index) {
    if (index < 0 || index >= frames.Length()) return 0;
    HostFrameSource frame(frames.GetRef(index));
    return FillFromFrame(record, frame);
}

}  // namespace glyphoria
