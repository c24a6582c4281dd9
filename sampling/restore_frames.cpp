// Restoring tried frames: the picture frame takes back the recorded size and
// becomes a text frame with the recorded text, point size, font, colour and
// fill; the label goes. One undo step per frame, which undone brings back the
// picture frame with its label.
#include <string>

#include "host/sdk/commands.h"
#include "host/sdk/fonts.h"
#include "host/sdk/session.h"
#include "host/sdk/swatches.h"
#include "host/sdk/text.h"
#include "host/sdk/utils.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_steps.h"
#include "sampling/page_items.h"
#include "sampling/selection_suite.h"
#include "support/log.h"
#include "support/messages.h"
#include "support/string_table.h"

namespace glyphoria {

namespace {

// A swatch UID from a label names a swatch only while the document still has
// it; anything else would colour the text or frame with nothing.
bool IsSwatch(IDataBase* db, int uid) {
    if (uid <= 0) return false;
    InterfacePtr<ISwatch> swatch(db, static_cast<UID>(uid));
    return swatch != nullptr;
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
    if (ok) ok = WriteFrameLabel(frame, kFrameLabelKey, "") == kSuccess;

    if (!ok) {
        CmdUtils::AbortCommandSequence(sequence);
        return false;
    }
    CmdUtils::EndCommandSequence(sequence);
    return true;
}

}  // namespace

int RestoreFrameIfLabelled(IDataBase* db, UID uid) {
    const UIDRef frame(db, uid);
    const std::string label = FrameLabel(frame, kFrameLabelKey);
    if (label.empty()) return 1;
    // A label the record cannot hold whole would restore a cut text and then
    // lose the rest with the label.
    if (label.size() >= TextData::kQuerySize) return 0;
    TextData record(label.c_str());

    ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
    if (!sequence) return 0;
    sequence->SetName(PMString(kSequenceName));
    PMRect box = GetFrameBounds(frame);
    box.SetWidth(record.GetReal(kKeyWidth));
    box.SetHeight(record.GetReal(kKeyHeight));
    bool ok = SetFrameBounds(frame, box) == kSuccess;
    ok = ok && DeleteFrameContent(frame) == kSuccess;
    ok = ok && Utils<IFrameContentUtils>()->ConvertToTextFrame(db, uid, 1, 0, 1, 551) == kSuccess;
    ok = ok && RestoreText(frame, record);
    if (!ok) {
        // The picture frame stays as it was, with the label that holds its
        // text, so a later restore can try again.
        CmdUtils::AbortCommandSequence(sequence);
        LogMessage("restore failed: %u\r", static_cast<unsigned>(uid));
        return 0;
    }
    CmdUtils::EndCommandSequence(sequence);
    return 1;
}

void RevertFrames(const char* /*argument*/) {
    if (!Utils<ILayoutUtils>()->GetFrontDocument()) {
        ShowMessage("noselection");
        return;
    }
    UIDList frames = QuerySelectedFrames();
    LogMessage("selectedFrames: %d", static_cast<int>(frames.Length()));
    int counted = 0;
    for (int32 i = 0; i < frames.Length(); ++i)
        counted += RestoreFrameIfLabelled(frames.GetDataBase(), frames[i]);
    if (counted == 0) ShowMessage("noselection");
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
