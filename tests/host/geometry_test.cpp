// Rectangles, matrices and the bounds page items report.
#include <cmath>

#include "host/sdk/geometry.h"
#include "host/sdk/page_items.h"
#include "host/sdk/utils.h"
#include "host_fixture.h"

namespace hosttest {
namespace {

void ExpectNear(const PMRect& want, const PMRect& got) {
    EXPECT_NEAR(want.Left(), got.Left(), 1e-9);
    EXPECT_NEAR(want.Top(), got.Top(), 1e-9);
    EXPECT_NEAR(want.Right(), got.Right(), 1e-9);
    EXPECT_NEAR(want.Bottom(), got.Bottom(), 1e-9);
}

TEST(PMRectTest, SetWidthAndHeightKeepLeftAndTop) {
    PMRect r(10, 20, 110, 70);
    r.SetWidth(40);
    r.SetHeight(5);
    EXPECT_EQ(PMRect(10, 20, 50, 25), r);
    r.SetWidth(-3);  // no negative sizes
    EXPECT_EQ(0, r.Width());
    EXPECT_EQ(PMPoint(10, 20), r.LeftTop());
}

TEST(PMRectTest, CornersAreNormalised) {
    PMRect r(PMPoint(50, 60), PMPoint(10, 20));
    EXPECT_EQ(PMPoint(10, 20), r.LeftTop());
    EXPECT_EQ(PMPoint(50, 60), r.RightBottom());
}

TEST(PMMatrixTest, ConcatAppliesTheArgumentFirst) {
    PMMatrix m = PMMatrix::Translation(100, 0).Concat(PMMatrix::Rotation(90));
    PMPoint p = m.Transform(PMPoint(1, 0));
    EXPECT_NEAR(100, p.X(), 1e-9);
    EXPECT_NEAR(1, p.Y(), 1e-9);
}

struct BoundsCase {
    const char* name;
    PMRect box;
    PMReal rotation, shear;
    PMRect expected;
};

TEST_F(HostTest, BoundsOfRotatedAndShearedFramesAreTheAxisAlignedBoxOfTheShape) {
    const PMReal s = std::sqrt(2.0) * 10;  // half diagonal of a 20x20 square
    const BoundsCase cases[] = {
        {"upright", PMRect(0, 0, 100, 50), 0, 0, PMRect(0, 0, 100, 50)},
        {"quarter turn", PMRect(0, 0, 100, 50), 90, 0, PMRect(25, -25, 75, 75)},
        {"half turn", PMRect(0, 0, 100, 50), 180, 0, PMRect(0, 0, 100, 50)},
        {"square at 45", PMRect(0, 0, 20, 20), 45, 0, PMRect(10 - s, 10 - s, 10 + s, 10 + s)},
        {"shear 45", PMRect(0, 0, 100, 50), 0, 45, PMRect(-25, 0, 125, 50)},
    };
    UID frame = Frame("empty");
    for (const BoundsCase& c : cases) {
        SCOPED_TRACE(c.name);
        hostcore::DocModel m = doc->Model();
        hostcore::Node* n = m.FindNode(frame);
        n->box = c.box;
        n->rotation = c.rotation;
        n->shear = c.shear;
        doc->Reset(m);
        InterfacePtr<IGeometry> geo(UIDRef(doc, frame));
        ASSERT_TRUE(geo);
        ExpectNear(c.expected, geo->GetBoundingBox(InnerToPasteboardMatrix(geo)));
    }
}

TEST_F(HostTest, TransformReadsWhatItSetsAndRefusesWhatNoPageCanHold) {
    InterfacePtr<ITransform> tilted(UIDRef(doc, Frame("tilted")));
    ASSERT_TRUE(tilted);
    EXPECT_EQ(PMRect(300, 200, 400, 250), tilted->GetUntransformedBounds());
    EXPECT_EQ(90, tilted->GetRotationAngle());
    EXPECT_EQ(0, tilted->GetShearAngle());

    ASSERT_EQ(kSuccess, tilted->SetRotationAndShear(-12.5, 20));
    EXPECT_EQ(-12.5, tilted->GetRotationAngle());
    EXPECT_EQ(20, tilted->GetShearAngle());
    EXPECT_EQ(PMRect(300, 200, 400, 250), tilted->GetUntransformedBounds());
    InterfacePtr<IGeometry> geo(tilted, IID_IGEOMETRY);
    const PMMatrix m = InnerToPasteboardMatrix(geo);
    EXPECT_NEAR(350, m.Tx(), 1e-9);  // turned about the box's centre
    EXPECT_NEAR(225, m.Ty(), 1e-9);

    const hostcore::DocModel before = doc->Model();
    const PMReal nan = std::nan("");
    const PMReal refused[][2] = {{nan, 0}, {0, nan}, {INFINITY, 0}, {361, 0}, {0, 89}, {0, -89}};
    for (const auto& r : refused) {
        SCOPED_TRACE(std::to_string(r[0]) + " " + std::to_string(r[1]));
        EXPECT_EQ(kInvalidParameterError, tilted->SetRotationAndShear(r[0], r[1]));
    }
    const PMRect boxes[] = {PMRect(0, 0, 16385, 10), PMRect(0, 0, 10, 1e308),
                            PMRect(-100001, 0, -100000, 10), PMRect(nan, 0, 10, 10)};
    for (const PMRect& box : boxes)
        EXPECT_EQ(kInvalidParameterError, Utils<IBoundsUtils>()->SetBounds(
                                              UIDList(UIDRef(doc, Frame("alpha"))), 0, 1, {box}));
    EXPECT_EQ(before, doc->Model());
    EXPECT_EQ(kSuccess, Utils<IBoundsUtils>()->SetBounds(UIDList(UIDRef(doc, Frame("alpha"))), 0, 1,
                                                         {PMRect(-100000, 0, -83616, 10)}));
}

TEST_F(HostTest, NamesAndLabelKeysOfFrames) {
    InterfacePtr<IPageItemName> name(UIDRef(doc, Frame("alpha")));
    ASSERT_TRUE(name);
    EXPECT_EQ("alpha", name->GetName().GetUTF8String());
    ASSERT_EQ(kSuccess, name->SetName("Überschrift"));
    EXPECT_EQ("Überschrift", name->GetName().GetUTF8String());
    EXPECT_EQ(kInvalidUID, Frame("alpha"));

    InterfacePtr<ILabelData> labels(name, IID_ILABELDATA);
    ASSERT_EQ(kSuccess, labels->SetLabel("zeta", "1"));
    ASSERT_EQ(kSuccess, labels->SetLabel("alpha", "2"));
    ASSERT_EQ(2, labels->GetLabelCount());
    EXPECT_EQ("alpha", labels->GetNthLabelKey(0).GetUTF8String());
    EXPECT_EQ("zeta", labels->GetNthLabelKey(1).GetUTF8String());
    EXPECT_TRUE(labels->GetNthLabelKey(2).IsEmpty());
    EXPECT_TRUE(labels->GetNthLabelKey(-1).IsEmpty());

    // Only frames have names and transforms.
    UID story = StoryOf(doc->Model(), Frame("beta"));
    EXPECT_FALSE(InterfacePtr<IPageItemName>(UIDRef(doc, story)));
    EXPECT_FALSE(InterfacePtr<ITransform>(UIDRef(doc, story)));
}

TEST_F(HostTest, ItemWithoutGeometryAnswersNothing) {
    UID story = StoryOf(doc->Model(), Frame("alpha"));
    InterfacePtr<IGeometry> geo(UIDRef(doc, story));
    EXPECT_FALSE(geo);
    EXPECT_EQ(PMMatrix().A(), InnerToPasteboardMatrix(nullptr).A());
}

TEST_F(HostTest, UIDRefValidity) {
    EXPECT_FALSE(UIDRef::gNull.IsValid());
    EXPECT_FALSE(UIDRef(doc, kInvalidUID).IsValid());
    EXPECT_FALSE(UIDRef(nullptr, 5).IsValid());
    EXPECT_TRUE(UIDRef(doc, 99999).IsValid());
    EXPECT_FALSE(UIDRef(doc, 99999).ExistsInDB());
    EXPECT_TRUE(UIDRef(doc, Frame("alpha")).ExistsInDB());
}

}  // namespace
}  // namespace hosttest
