// Installed fonts. The font manager (IFontManager, on the session) knows the
// fonts installed on the machine by PostScript name; a font answers with its
// family and style names. Documents refer to fonts by family UID and style
// name (IDocFontList, document.h).
#pragma once

#include "host/sdk/ids.h"
#include "host/sdk/strings.h"
#include "host/sdk/unknown.h"

class IPMFont : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IPMFONT };
    virtual PMString GetPostScriptName() const = 0;
    virtual PMString GetFamilyName() const = 0;
    virtual PMString GetStyleName() const = 0;
    // The font file, for drawing.
    virtual PMString GetFilePath() const = 0;
};

class IFontManager : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IFONTMANAGER };
    // The installed font of that PostScript name (exact, case-sensitive), or
    // nil. The other arguments select among the host's font technologies and
    // writing directions; the stand-in has one of each and ignores them.
    virtual IPMFont* QueryFontPlatformByPostScriptName(const PMString& name, int32 technology,
                                                       int32 flags, PMReal hint,
                                                       int32 direction) const = 0;
    virtual int32 GetFontCount() const = 0;
};
