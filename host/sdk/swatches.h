// Swatches and colour. Every document has the swatches None (no colour data),
// Paper (white) and Black, plus its user colours. A colour has a colour-space
// code (kPMCsCalRGB, kPMCsCalCMYK or kPMCsLab) and components: RGB and CMYK
// in 0..1, Lab as L 0..100, a and b -128..127.
#pragma once

#include <vector>

#include "host/sdk/ids.h"
#include "host/sdk/strings.h"
#include "host/sdk/uidref.h"

typedef std::vector<PMReal> ColorArray;

class IDocument;

class ISwatch : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISWATCH };
    virtual PMString GetSwatchName() const = 0;
};

// Answered only by swatches that have a colour (not by None).
class IColorData : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ICOLORDATA };
    virtual int32 GetColorSpace() const = 0;
    virtual ColorArray GetColorData() const = 0;
};

class IColorUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ICOLORUTILS };
    // Converts components from one colour space to another (only kPMCsCalRGB
    // is a known target). Results are clamped to the target's range. kFailure
    // for an unknown space or too few components; out is then unchanged.
    virtual ErrorCode ConvertColor(const IDocument* doc, int32 fromSpace, const ColorArray& in,
                                   int32 toSpace, ColorArray* out) const = 0;
};

class ISwatchUtils : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISWATCHUTILS };
    virtual UID GetNoneSwatchUID(IDataBase* db) const = 0;
    virtual UID GetBlackSwatchUID(IDataBase* db) const = 0;
    virtual UID GetPaperSwatchUID(IDataBase* db) const = 0;
    // A swatch by name, kInvalidUID when the document has none of that name.
    virtual UID FindSwatch(IDataBase* db, const PMString& name) const = 0;
};
