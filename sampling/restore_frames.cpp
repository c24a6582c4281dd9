// Restoring tried frames. A picture that carries the whole frame beside its
// record (frame_copy.h) becomes that frame again: its text and runs, name,
// labels, fill, box, rotation and shear. One that carries only the record
// (tried by another installation, or its copy damaged: the reason is logged)
// takes back the recorded size and becomes a text frame with the recorded
// text, point size, font, colour and fill. Both labels go. One undo step per
// frame, which undone brings back the picture frame with its labels.
#include <string>

#include "host/sdk/commands.h"
#include "host/sdk/fonts.h"
#include "host/sdk/session.h"
#include "host/sdk/swatches.h"
#include "host/sdk/text.h"
#include "host/sdk/utils.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_copy.h"
#include "sampling/frame_steps.h"
#include "sampling/host_frame_copy.h"
#include "sampling/page_items.h"
#include "sampling/selection_suite.h"
#include "support/log.h"
#include "support/string_table.h"

namespace glyphoria {

namespace {

// A swatch UID from a label: the label writes the UID's bits as "%d".
bool IsSwatch(IDataBase* db, int uid) {
    return uid > 0 && IsDocumentSwatch(db, static_cast<UID>(uid));
}

// The font attributes for a PostScript name: family and style, or nothing
// when the host has no such font (the text then keeps the story's font).
void AddFontAttributes(IDataBase* db, const char* postscript_name, AttributeBossList* list) {
    if (!postscript_name || !*postscript_name) return;
    InterfacePtr<IFontManager> fonts(GetExecutionContextSession(), IID_IFONTMANAGER);
    if (!fonts) return;
    InterfacePtr<IPMFont> font(
        fonts->QueryFontPlatformByPostScriptName(PMString(postscript_name), 0, 0x40000000, 0.7, 0));
    if (!font) return;
    InterfacePtr<IDocument> document(db, db->GetRootUID());
    if (!document) return;
    InterfacePtr<IDocFontList> document_fonts(document->GetDocWorkSpace());
    if (!document_fonts) return;
    const UID family_uid = document_fonts->GetFontFamilyUID(font, kTrue);
    if (family_uid == kInvalidUID) return;
    InterfacePtr<ITextAttrUID> family(CreateObject2<ITextAttrUID>(kTextAttrFontUIDBoss));
    InterfacePtr<ITextAttrFontStyle> style(
        CreateObject2<ITextAttrFontStyle>(kTextAttrFontStyleBoss));
    if (!family || !style) return;
    family->SetUIDData(family_uid);
    style->SetFontName(font->GetStyleName());
    list->ApplyAttribute(family);
    list->ApplyAttribute(style);
}

AttributeBossList RecordedAttributes(IDataBase* db, const TextData& record) {
    AttributeBossList list;
    InterfacePtr<ITextAttrRealNumber> size(
        CreateObject2<ITextAttrRealNumber>(kTextAttrPointSizeBoss));
    if (size) {
        size->SetRealNumber(record.FontSize());
        list.ApplyAttribute(size);
    }
    AddFontAttributes(db, record.GetString(kKeyPostScriptName), &list);
    const int colour_uid = record.GetInt(kKeyTextSwatch);
    if (IsSwatch(db, colour_uid)) {
        InterfacePtr<ITextAttrUID> colour(CreateObject2<ITextAttrUID>(kTextAttrColorBoss));
        if (colour) {
            colour->SetUIDData(static_cast<UID>(colour_uid));
            list.ApplyAttribute(colour);
        }
    }
    return list;
}

bool ClearTryLabels(const UIDRef& frame) {
    return WriteFrameLabel(frame, kFrameLabelKey, "") == kSuccess &&
           WriteFrameLabel(frame, kFrameCopyKey, "") == kSuccess;
}

// The text, its attributes, the fill and the cleared label, in a nested
// sequence named with the string table's "restore". false when any of it
// failed; the caller then abandons the whole step.
bool RestoreText(const UIDRef& frame, TextData& record) {
    IDataBase* db = frame.GetDataBase();
    InterfacePtr<ITextModel> model(GetStory(frame));
    if (!model) return false;

    char name[kValueBufferSize] = {};
    GetLocalizedText("restore", name, sizeof name);
    ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
    if (!sequence) return false;
    sequence->SetName(PMString(name));

    WideString text(record.DecodedText());
    bool ok = text.IsEmpty() || model->Insert(0, &text) == kSuccess;
    if (ok) {
        AttributeBossList attributes = RecordedAttributes(db, record);
        const int32 length = model->TotalLength() - 1;
        if (length > 0) {
            ok = model->ApplyAttributes(0, length, &attributes, kCharAttrStrandBoss) == kSuccess;
        }
    }
    const int fill_uid = record.GetInt(kKeyFillSwatch);
    if (ok && IsSwatch(db, fill_uid))
        ok = ApplyGraphicAttributes(frame, static_cast<UID>(fill_uid)) == kSuccess;
    if (ok) ok = ClearTryLabels(frame);

    if (!ok) {
        CmdUtils::AbortCommandSequence(sequence);
        return false;
    }
    CmdUtils::EndCommandSequence(sequence);
    return true;
}

// Runs steps as one undo step; abandoned, with the document as it was, when
// they fail.
template <class Steps>
bool AsOneStep(Steps steps) {
    ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
    if (!sequence) return false;
    sequence->SetName(PMString(kSequenceName));
    if (!steps()) {
        CmdUtils::AbortCommandSequence(sequence);
        return false;
    }
    CmdUtils::EndCommandSequence(sequence);
    return true;
}

// The picture frame at box (upright), its picture gone, an empty text frame.
// The box comes first: the text parts made after it keep the host's own.
bool EmptyTextFrameAt(const UIDRef& frame, const PMRect& box) {
    return SetFrameBounds(frame, box) == kSuccess && DeleteFrameContent(frame) == kSuccess &&
           Utils<IFrameContentUtils>()->ConvertToTextFrame(frame.GetDataBase(), frame.GetUID(), 1,
                                                           0, 1, 551) == kSuccess;
}

// The frame rebuilt from its whole copy.
bool RestoreFromCopy(const UIDRef& frame, const FrameCopy& copy) {
    IDataBase* db = frame.GetDataBase();
    return AsOneStep([&] {
        bool ok = EmptyTextFrameAt(frame, PMRect(copy.left, copy.top, copy.right, copy.bottom));
        ok = ok && ApplyStoryRuns(frame, copy) == kSuccess;
        if (ok && IsDocumentSwatch(db, copy.fill))
            ok = ApplyGraphicAttributes(frame, copy.fill) == kSuccess;
        ok = ok && ApplyFrameLook(frame, copy) == kSuccess;
        return ok && ClearTryLabels(frame);
    });
}

// The whole copy of a picture when it is there and can be restored from;
// every other case is logged with its reason.
bool RestoredFromCopy(const UIDRef& frame) {
    const std::string stored = FrameLabel(frame, kFrameCopyKey);
    if (stored.empty()) return false;
    const unsigned uid = static_cast<unsigned>(frame.GetUID());
    FrameCopy copy;
    std::string why;
    if (DecodeFrameCopy(stored, &copy, &why) &&
        !IsWithinPageLimits(PMRect(copy.left, copy.top, copy.right, copy.bottom)))
        why = "bounds beyond the page";
    if (!why.empty()) {
        LogMessage("frame copy of %u refused (%s): restoring from the record\r", uid, why.c_str());
        return false;
    }
    if (RestoreFromCopy(frame, copy)) return true;
    LogMessage("frame copy of %u could not be restored: restoring from the record\r", uid);
    return false;
}

// The record's size on the picture's left-top corner; false for a size that
// no frame can have (not a number, none, beyond the host's page limits), which
// a damaged or tampered label gives.
bool RecordedBox(const UIDRef& frame, const TextData& record, PMRect* box) {
    *box = GetFrameBounds(frame);
    const float width = record.GetReal(kKeyWidth);
    const float height = record.GetReal(kKeyHeight);
    if (!(width > 0) || !(height > 0)) return false;
    box->SetWidth(width);
    box->SetHeight(height);
    return IsWithinPageLimits(*box);
}

bool RestoreFromRecord(const UIDRef& frame, const std::string& label) {
    const unsigned uid = static_cast<unsigned>(frame.GetUID());
    // A label the record cannot hold whole would restore a cut text and then
    // lose the rest with the label.
    if (label.size() >= TextData::kQuerySize) return false;
    TextData record(label.c_str());
    PMRect box;
    if (!RecordedBox(frame, record, &box)) {
        LogMessage("restore refused: %u: width %s, height %s\r", uid,
                   record.GetString(kKeyWidth, "(none)"), record.GetString(kKeyHeight, "(none)"));
        return false;
    }

    return AsOneStep([&] { return EmptyTextFrameAt(frame, box) && RestoreText(frame, record); });
}

}  // namespace

int RestoreFrameIfLabelled(IDataBase* db, UID uid) {
    const UIDRef frame(db, uid);
    const std::string label = FrameLabel(frame, kFrameLabelKey);
    if (label.empty()) return 1;
    if (RestoredFromCopy(frame) || RestoreFromRecord(frame, label)) return 1;
    // The picture frame stays as it was, with the labels that hold its text,
    // so a later restore can try again.
    LogMessage("restore failed: %u\r", static_cast<unsigned>(uid));
    return 0;
}

void RevertFrames(const char* /*argument*/) {
    if (!Utils<ILayoutUtils>()->GetFrontDocument()) {
        ActionMessages()("noselection");
        return;
    }
    UIDList frames = QuerySelectedFrames();
    LogMessage("selectedFrames: %d", static_cast<int>(frames.Length()));
    int counted = 0;
    for (int32 i = 0; i < frames.Length(); ++i)
        counted += RestoreFrameIfLabelled(frames.GetDataBase(), frames[i]);
    if (counted == 0) ActionMessages()("noselection");
}

bool CanRestoreSelection() {
    UIDList frames = QuerySelectedFrames();
    for (int32 i = 0; i < frames.Length(); ++i)
        if (!FrameLabel(frames.GetRef(i), kFrameLabelKey).empty()) return true;
    return false;
}

void RestoreSelectedFrames() {
    UIDList frames = QuerySelectedFrames();
    for (int32 i = 0; i < frames.Length(); ++i)
        if (!RestoreFrameIfLabelled(frames.GetDataBase(), frames[i])) return;
}

}  // namespace glyphoria
