// Geometry values: points, rectangles and the 2-D affine matrix that takes
// an item's inner coordinates to pasteboard coordinates. The y axis points
// down, as on a page. A PMRect keeps left <= right and top <= bottom.
#pragma once

#include <vector>

#include "host/sdk/types.h"

// The host's page limits: no page item is wider or taller than
// kMaxPageItemExtent points, and no edge of one lies further than
// kMaxPasteboardCoordinate points from the pasteboard's origin. Setting
// bounds beyond them, or bounds that are not finite, is refused.
constexpr PMReal kMaxPageItemExtent = 16384;
constexpr PMReal kMaxPasteboardCoordinate = 100000;

class PMPoint {
  public:
    PMPoint() = default;
    PMPoint(PMReal x, PMReal y) : fX(x), fY(y) {}
    PMReal X() const { return fX; }
    PMReal Y() const { return fY; }
    bool operator==(const PMPoint& o) const { return fX == o.fX && fY == o.fY; }

  private:
    PMReal fX = 0, fY = 0;
};
typedef std::vector<PMPoint> PMPointList;

class PMRect {
  public:
    PMRect() = default;
    PMRect(PMReal l, PMReal t, PMReal r, PMReal b);
    PMRect(const PMPoint& a, const PMPoint& b);

    PMReal Left() const { return fL; }
    PMReal Top() const { return fT; }
    PMReal Right() const { return fR; }
    PMReal Bottom() const { return fB; }
    PMReal Width() const { return fR - fL; }
    PMReal Height() const { return fB - fT; }
    PMPoint LeftTop() const { return PMPoint(fL, fT); }
    PMPoint RightBottom() const { return PMPoint(fR, fB); }
    PMPoint GetCenter() const { return PMPoint((fL + fR) / 2, (fT + fB) / 2); }
    bool IsEmpty() const { return fR <= fL || fB <= fT; }

    // Both keep the left and top edges; a negative size counts as 0.
    void SetWidth(PMReal w) { fR = fL + (w > 0 ? w : 0); }
    void SetHeight(PMReal h) { fB = fT + (h > 0 ? h : 0); }
    void MoveTo(const PMPoint& leftTop);

    bool operator==(const PMRect& o) const {
        return fL == o.fL && fT == o.fT && fR == o.fR && fB == o.fB;
    }
    bool operator!=(const PMRect& o) const { return !(*this == o); }

  private:
    PMReal fL = 0, fT = 0, fR = 0, fB = 0;
};
typedef std::vector<PMRect> PMRectCollection;

// Whether the box has finite edges and lies within the page limits.
bool IsWithinPageLimits(const PMRect& box);

// x' = a*x + c*y + tx, y' = b*x + d*y + ty
class PMMatrix {
  public:
    PMMatrix() = default;
    PMMatrix(PMReal a, PMReal b, PMReal c, PMReal d, PMReal tx, PMReal ty)
        : fA(a), fB(b), fC(c), fD(d), fTx(tx), fTy(ty) {}

    static PMMatrix Translation(PMReal tx, PMReal ty) { return PMMatrix(1, 0, 0, 1, tx, ty); }
    // Clockwise on the page (y down) by the given degrees.
    static PMMatrix Rotation(PMReal degrees);
    // Horizontal shear: x moves by tan(angle) * y.
    static PMMatrix Shear(PMReal degrees);

    PMPoint Transform(const PMPoint& p) const;
    // The axis-aligned box around the transformed corners of r.
    PMRect TransformBounds(const PMRect& r) const;
    // this applied after first: (this * first)(p) == this(first(p)).
    PMMatrix Concat(const PMMatrix& first) const;

    PMReal A() const { return fA; }
    PMReal B() const { return fB; }
    PMReal C() const { return fC; }
    PMReal D() const { return fD; }
    PMReal Tx() const { return fTx; }
    PMReal Ty() const { return fTy; }

  private:
    PMReal fA = 1, fB = 0, fC = 0, fD = 1, fTx = 0, fTy = 0;
};
