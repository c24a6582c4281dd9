#include "host/sdk/geometry.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr PMReal kPi = 3.14159265358979323846;
}

PMRect::PMRect(PMReal l, PMReal t, PMReal r, PMReal b)
    : fL(std::min(l, r)), fT(std::min(t, b)), fR(std::max(l, r)), fB(std::max(t, b)) {}

PMRect::PMRect(const PMPoint& a, const PMPoint& b) : PMRect(a.X(), a.Y(), b.X(), b.Y()) {}

bool IsWithinPageLimits(const PMRect& box) {
    const PMReal edges[4] = {box.Left(), box.Top(), box.Right(), box.Bottom()};
    for (PMReal edge : edges)
        if (!std::isfinite(edge) || std::fabs(edge) > kMaxPasteboardCoordinate) return false;
    return box.Width() <= kMaxPageItemExtent && box.Height() <= kMaxPageItemExtent;
}

void PMRect::MoveTo(const PMPoint& leftTop) {
    PMReal w = Width(), h = Height();
    fL = leftTop.X();
    fT = leftTop.Y();
    fR = fL + w;
    fB = fT + h;
}

PMMatrix PMMatrix::Rotation(PMReal degrees) {
    PMReal r = degrees * kPi / 180;
    PMReal c = std::cos(r), s = std::sin(r);
    return PMMatrix(c, s, -s, c, 0, 0);
}

PMMatrix PMMatrix::Shear(PMReal degrees) {
    return PMMatrix(1, 0, std::tan(degrees * kPi / 180), 1, 0, 0);
}

PMPoint PMMatrix::Transform(const PMPoint& p) const {
    return PMPoint(fA * p.X() + fC * p.Y() + fTx, fB * p.X() + fD * p.Y() + fTy);
}

PMRect PMMatrix::TransformBounds(const PMRect& r) const {
    PMPoint corners[4] = {Transform(r.LeftTop()), Transform(PMPoint(r.Right(), r.Top())),
                          Transform(r.RightBottom()), Transform(PMPoint(r.Left(), r.Bottom()))};
    PMReal l = corners[0].X(), t = corners[0].Y(), rr = l, b = t;
    for (const PMPoint& p : corners) {
        l = std::min(l, p.X());
        rr = std::max(rr, p.X());
        t = std::min(t, p.Y());
        b = std::max(b, p.Y());
    }
    return PMRect(l, t, rr, b);
}

PMMatrix PMMatrix::Concat(const PMMatrix& f) const {
    // this(f(p)): apply f first, then this.
    return PMMatrix(fA * f.fA + fC * f.fB, fB * f.fA + fD * f.fB, fA * f.fC + fC * f.fD,
                    fB * f.fC + fD * f.fD, fA * f.fTx + fC * f.fTy + fTx,
                    fB * f.fTx + fD * f.fTy + fTy);
}
