// Four-character codes: four characters in a 32-bit number, the first in the
// most significant byte ("prog" is 0x70726F67). They name the toolkit's
// control types, the command codes of controls and the codes of window
// properties.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyphoria {

using FourCC = std::uint32_t;

constexpr FourCC MakeFourCC(const char (&chars)[5]) {
    return (FourCC(static_cast<unsigned char>(chars[0])) << 24) |
           (FourCC(static_cast<unsigned char>(chars[1])) << 16) |
           (FourCC(static_cast<unsigned char>(chars[2])) << 8) |
           FourCC(static_cast<unsigned char>(chars[3]));
}

// The code of a text: its first four bytes, missing ones 0; null or empty
// text is 0 (no code).
FourCC FourCCFromText(const char* text);
// The four characters of a code, in reading order, and a NUL.
void FourCCToText(FourCC code, char (&out)[5]);

// Control types, as descriptions name them and as run-time typing reports them.
constexpr FourCC kTypePush = MakeFourCC("push");
constexpr FourCC kTypeCheckBox = MakeFourCC("cbox");
constexpr FourCC kTypeRadio = MakeFourCC("rdio");
constexpr FourCC kTypeCombo = MakeFourCC("comb");
constexpr FourCC kTypePopup = MakeFourCC("popb");
constexpr FourCC kTypeEdit = MakeFourCC("eutx");  // "etxt" in descriptions too
constexpr FourCC kTypeGroup = MakeFourCC("grpb");
constexpr FourCC kTypeList = MakeFourCC("lbox");
constexpr FourCC kTypeProgress = MakeFourCC("prgb");
constexpr FourCC kTypeRadioGroup = MakeFourCC("radg");  // "rgrp" in descriptions
constexpr FourCC kTypeSeparator = MakeFourCC("sepa");
constexpr FourCC kTypeStatic = MakeFourCC("stxt");
constexpr FourCC kTypeTabs = MakeFourCC("tabs");
constexpr FourCC kTypeUserPane = MakeFourCC("upan");
// Closes the current container.
constexpr FourCC kTypeEndContainer = MakeFourCC("####");

// Window property codes used by the runtime.
constexpr FourCC kPropCommand = MakeFourCC("ccmd");
constexpr FourCC kPropCommandProc = MakeFourCC("cprc");
constexpr FourCC kPropUser = MakeFourCC("user");
constexpr FourCC kPropDrawItem = MakeFourCC("draw");
constexpr FourCC kPropOldWndProc = MakeFourCC("wprc");
constexpr FourCC kPropTimerProc = MakeFourCC("timp");
constexpr FourCC kPropDialogObject = MakeFourCC("dlgp");
constexpr FourCC kPropClose = MakeFourCC("clos");
constexpr FourCC kPropDestroy = MakeFourCC("dstr");
constexpr FourCC kPropMoved = MakeFourCC("movd");
constexpr FourCC kPropRequired = MakeFourCC("empt");

// The string properties a description may attach to a control; the same
// codes are freed when a dialog goes away.
constexpr FourCC kStringPropertyCodes[] = {
    MakeFourCC("sap "), MakeFourCC("empt"), MakeFourCC("amnt"), MakeFourCC("date"),
    MakeFourCC("data"), MakeFourCC("pref"), MakeFourCC("dval"),
};
constexpr std::size_t kStringPropertyCount =
    sizeof kStringPropertyCodes / sizeof kStringPropertyCodes[0];

}  // namespace glyphoria
