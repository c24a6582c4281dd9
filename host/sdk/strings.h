// Host strings. PMString holds UTF-8 text; WideString holds UTF-16 code
// units, which is also how stories store their text. Conversions replace
// malformed input (stray continuation bytes, lone surrogates, overlong forms)
// by U+FFFD instead of failing, so no conversion ever loses the rest of a
// text.
#pragma once

#include <string>

#include "host/sdk/types.h"

class WideString;

class PMString {
  public:
    PMString() = default;
    PMString(const char* utf8) : fText(utf8 ? utf8 : "") {}
    PMString(const std::string& utf8) : fText(utf8) {}
    explicit PMString(const WideString& wide);

    // The translation switch of the host's string tables; the stand-in keeps
    // every text as given.
    void SetTranslatable(bool16) {}
    void SetString(const std::string& utf8) { fText = utf8; }
    void Append(const PMString& s) { fText += s.fText; }
    void AppendW(UTF32TextChar c);
    void Clear() { fText.clear(); }

    bool IsEmpty() const { return fText.empty(); }
    // Characters (code points), not bytes.
    int32 CharCount() const;
    const char* GrabCString() const { return fText.c_str(); }
    const std::string& GetUTF8String() const { return fText; }
    WideString GetWString() const;

    bool operator==(const PMString& o) const { return fText == o.fText; }
    bool operator!=(const PMString& o) const { return fText != o.fText; }
    bool operator<(const PMString& o) const { return fText < o.fText; }

  private:
    std::string fText;
};

class WideString {
  public:
    WideString() = default;
    explicit WideString(const std::u16string& units) : fUnits(units) {}
    explicit WideString(const PMString& s);
    explicit WideString(const char* utf8);

    void Append(UTF32TextChar c);
    void Append(const WideString& w) { fUnits += w.fUnits; }
    void Clear() { fUnits.clear(); }

    // UTF-16 code units, as story indices count them.
    int32 Length() const { return static_cast<int32>(fUnits.size()); }
    int32 CharCount() const { return Length(); }
    bool IsEmpty() const { return fUnits.empty(); }
    const std::u16string& Units() const { return fUnits; }
    std::string GetUTF8String() const;

    bool operator==(const WideString& o) const { return fUnits == o.fUnits; }

  private:
    std::u16string fUnits;
};

namespace StringUtils {
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);
void AppendUtf8(std::string* out, UTF32TextChar c);
void AppendUtf16(std::u16string* out, UTF32TextChar c);
}  // namespace StringUtils
