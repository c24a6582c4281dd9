// Stories: length with the end marker, reading by code point, attributes at
// an index, inserting and applying attribute lists.
#include "host/sdk/text.h"
#include "host/sdk/document.h"
#include "host/sdk/fonts.h"
#include "host/sdk/session.h"
#include "host_fixture.h"

namespace hosttest {
namespace {

class TextTest : public HostTest {
  public:
    void SetUp() override {
        HostTest::SetUp();
        model.reset(static_cast<ITextModel*>(
            InstantiateInterface(doc, StoryOf(doc->Model(), Frame("alpha")), IID_ITEXTMODEL)));
        ASSERT_TRUE(model);
    }
    void TearDown() override {
        model.reset();
        HostTest::TearDown();
    }
    PMReal SizeAt(TextIndex i) {
        InterfacePtr<ITextAttrRealNumber> v(static_cast<ITextAttrRealNumber*>(
            model->QueryAttributeAt(i, kTextAttrPointSizeBoss, IID_ITEXTATTRREAL)));
        return v ? v->GetRealNumber() : -1;
    }
    UID ColorAt(TextIndex i) {
        InterfacePtr<ITextAttrUID> v(static_cast<ITextAttrUID*>(
            model->QueryAttributeAt(i, kTextAttrColorBoss, IID_ITEXTATTRUID)));
        return v ? v->GetUIDData() : kInvalidUID;
    }
    AttributeBossList SizeAndColor(PMReal size, UID color) {
        AttributeBossList list;
        InterfacePtr<ITextAttrRealNumber> s(
            CreateObject2<ITextAttrRealNumber>(kTextAttrPointSizeBoss));
        s->SetRealNumber(size);
        list.ApplyAttribute(s);
        InterfacePtr<ITextAttrUID> c(CreateObject2<ITextAttrUID>(kTextAttrColorBoss));
        c->SetUIDData(color);
        list.ApplyAttribute(c);
        return list;
    }

    InterfacePtr<ITextModel> model;
};

TEST_F(TextTest, LengthCountsTheEndMarker) {
    EXPECT_EQ(11, model->TotalLength());  // "Alpha text" + end marker
    EXPECT_EQ(char16_t(kTextChar_CR), model->GetChar(10));
    EXPECT_EQ(0, model->GetChar(11));
    EXPECT_EQ(0, model->GetChar(-1));
}

TEST_F(TextTest, IteratorReadsCodePoints) {
    WideString w(
        "\xF0\x9F\x98\x80"
        "b");  // U+1F600 then b
    ASSERT_EQ(kSuccess, model->Insert(0, &w));
    TextIterator it(model, 0);
    EXPECT_EQ(0x1F600u, *it);
    ++it;
    EXPECT_EQ(2, it.Position());
    EXPECT_EQ(UTF32TextChar('b'), *it);
    TextIterator end(model, model->TotalLength());
    EXPECT_TRUE(end.IsNull());
}

TEST_F(TextTest, InsertedTextTakesTheAttributesOfTheCharacterAfterIt) {
    InterfacePtr<ITextAttrRealNumber> s(CreateObject2<ITextAttrRealNumber>(kTextAttrPointSizeBoss));
    s->SetRealNumber(20);
    AttributeBossList list;
    list.ApplyAttribute(s);
    ASSERT_EQ(kSuccess, model->ApplyAttributes(0, 1, &list, kCharAttrStrandBoss));
    WideString w("XY");
    ASSERT_EQ(kSuccess, model->Insert(0, &w));
    EXPECT_EQ(20, SizeAt(0));
    EXPECT_EQ(20, SizeAt(1));
    EXPECT_EQ(20, SizeAt(2));
    EXPECT_EQ(12, SizeAt(3));
    EXPECT_EQ("XYAlpha text\r", StoryText(doc->Model(), Frame("alpha")));
}

TEST_F(TextTest, InsertRefusesPositionsOutsideTheStory) {
    WideString w("x");
    EXPECT_NE(kSuccess, model->Insert(-1, &w));
    EXPECT_NE(kSuccess, model->Insert(model->TotalLength(), &w));
    EXPECT_NE(kSuccess, model->Insert(0, nullptr));
    EXPECT_EQ(kSuccess, model->Insert(model->TotalLength() - 1, &w));  // before the marker
}

TEST_F(TextTest, ApplyAttributesReachTheEndMarkerOnlyWhenTheRangeDoes) {
    UID red = SwatchNamed(doc->Model(), "Red");
    AttributeBossList list = SizeAndColor(9, red);
    ASSERT_EQ(kSuccess,
              model->ApplyAttributes(0, model->TotalLength() - 1, &list, kCharAttrStrandBoss));
    EXPECT_EQ(9, SizeAt(0));
    EXPECT_EQ(red, ColorAt(9));
    EXPECT_EQ(12, SizeAt(10));  // the marker keeps its own

    AttributeBossList larger = SizeAndColor(30, red);
    ASSERT_EQ(kSuccess, model->ApplyAttributes(9, 1000, &larger, kCharAttrStrandBoss));
    EXPECT_EQ(9, SizeAt(8));
    EXPECT_EQ(30, SizeAt(9));
    EXPECT_EQ(30, SizeAt(10));  // clipped to the story, the marker included
    EXPECT_EQ(11, model->TotalLength());
}

TEST_F(TextTest, ApplyAttributesRefusesBadListsWithoutChangingAnything) {
    hostcore::DocModel before = doc->Model();
    struct Case {
        const char* name;
        PMReal size;
        UID color;
        ClassID strand;
    };
    const Case cases[] = {
        {"unknown swatch", 9, 99999, kCharAttrStrandBoss},
        {"zero size", 0, doc->Model().blackSwatch, kCharAttrStrandBoss},
        {"other strand", 9, doc->Model().blackSwatch, 0x999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AttributeBossList list = SizeAndColor(c.size, c.color);
        EXPECT_NE(kSuccess, model->ApplyAttributes(0, 3, &list, c.strand));
        EXPECT_EQ(before, doc->Model());
    }
}

TEST_F(TextTest, AttributeListKeepsOneAttributePerClass) {
    AttributeBossList list = SizeAndColor(9, 1);
    InterfacePtr<ITextAttrRealNumber> s(CreateObject2<ITextAttrRealNumber>(kTextAttrPointSizeBoss));
    s->SetRealNumber(14);
    list.ApplyAttribute(s);
    EXPECT_EQ(2, list.CountBosses());
    InterfacePtr<const ITextAttrRealNumber> got(static_cast<const ITextAttrRealNumber*>(
        list.QueryByClassID(kTextAttrPointSizeBoss, IID_ITEXTATTRREAL)));
    EXPECT_EQ(14, got->GetRealNumber());
    EXPECT_EQ(nullptr, CreateObject(0x4242, IID_ITEXTATTRREAL));
}

TEST_F(TextTest, FontByPostScriptNameGivesTheDocumentsFamily) {
    InterfacePtr<IFontManager> fonts(GetExecutionContextSession(), IID_IFONTMANAGER);
    ASSERT_TRUE(fonts);
    EXPECT_EQ(nullptr,
              fonts->QueryFontPlatformByPostScriptName("NoSuchFont-Bold", 0, 0x40000000, 0.7, 0));
    InterfacePtr<IPMFont> bold(
        fonts->QueryFontPlatformByPostScriptName("DejaVuSerif-Bold", 0, 0x40000000, 0.7, 0));
    ASSERT_TRUE(bold);
    EXPECT_EQ(PMString("DejaVu Serif"), bold->GetFamilyName());
    EXPECT_EQ(PMString("Bold"), bold->GetStyleName());

    InterfacePtr<IDocument> document(UIDRef(doc, doc->GetRootUID()));
    InterfacePtr<IDocFontList> list(document->GetDocWorkSpace());
    ASSERT_TRUE(list);
    EXPECT_EQ(kInvalidUID, list->GetFontFamilyUID(bold, kFalse));
    UID family = list->GetFontFamilyUID(bold, kTrue);
    ASSERT_NE(kInvalidUID, family);
    EXPECT_EQ(family, list->GetFontFamilyUID(bold, kFalse));
    InterfacePtr<IFontFamily> ff(UIDRef(doc, family));
    EXPECT_EQ(PMString("DejaVuSerif"), ff->GetPostScriptName(""));  // the regular face
    EXPECT_EQ(PMString("DejaVuSerif-Bold"), ff->GetPostScriptName("Bold"));
}

}  // namespace
}  // namespace hosttest
