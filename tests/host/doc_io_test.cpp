// Document files: saving and loading keep the document exactly (UIDs,
// labels, pictures); hand-written files load; malformed files are refused.
#include "host/app/doc_io.h"
#include "host/app/base64.h"
#include "host/core/file_uri.h"
#include "host/sdk/page_items.h"
#include "host_fixture.h"
#include "tests/common/test_env.h"

namespace hosttest {
namespace {

using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

TEST_F(HostTest, SaveAndLoadKeepTheDocumentExactly) {
    InterfacePtr<ILabelData> labels(UIDRef(doc, Frame("alpha")));
    const char* label = "id=5&fontsize=24.000&text=Gr%C3%BC%C3%9Fe&fillUID=3";
    ASSERT_EQ(kSuccess, labels->SetLabel("Glyphoria", label));
    InterfacePtr<ILabelData> layerLabels(UIDRef(doc, doc->Model().LayerOf(Frame("alpha"))));
    ASSERT_EQ(kSuccess, layerLabels->SetLabel("owner", "layout team"));
    hostcore::DocModel m = doc->Model();
    // A placed, embedded picture as well.
    UID image = m.NewUID(), link = m.NewUID();
    hostcore::Node img;
    img.kind = hostcore::NodeKind::kImage;
    img.parent = Frame("empty");
    img.box = PMRect(300, 10, 302, 11);
    img.pixelWidth = 2;
    img.pixelHeight = 1;
    img.link = link;
    m.nodes[image] = img;
    m.FindNode(Frame("empty"))->children.push_back(image);
    m.links[link] =
        hostcore::Link{"file:///gone.png", image, true, std::string("\x89PNG\0\x01", 6)};

    std::string text = hostapp::ModelToJsonText(m);
    hostcore::DocModel loaded;
    std::string error;
    ASSERT_TRUE(hostapp::ModelFromJsonText(text, &loaded, &error)) << error;
    EXPECT_EQ(m, loaded);
    EXPECT_EQ(label, loaded.FindNode(Frame("alpha"))->labels.at("Glyphoria"));
    EXPECT_EQ(text, hostapp::ModelToJsonText(loaded));
}

TEST_F(HostTest, LabelsThatAreNotUtf8AreStoredAsTextThatSaves) {
    // A plug-in may hand 8-bit text of another code page.
    InterfacePtr<ILabelData> labels(UIDRef(doc, Frame("alpha")));
    ASSERT_EQ(kSuccess, labels->SetLabel("Glyphoria", "text=caf\xE9"));
    EXPECT_EQ(PMString("text=caf\xEF\xBF\xBD"), labels->GetLabel("Glyphoria"));
    hostcore::DocModel loaded;
    std::string error;
    ASSERT_TRUE(hostapp::ModelFromJsonText(hostapp::ModelToJsonText(doc->Model()), &loaded, &error))
        << error;
    EXPECT_EQ(doc->Model(), loaded);
}

TEST_F(HostTest, SaveReplacesTheFileOnlyWhenTheWriteWorked) {
    TempDir dir;
    std::string path = dir.file("doc.json");
    std::string error;
    ASSERT_TRUE(hostapp::SaveDocumentFile(path, doc->Model(), &error)) << error;
    hostcore::DocModel loaded;
    ASSERT_TRUE(hostapp::LoadDocumentFile(path, &loaded, &error)) << error;
    EXPECT_EQ(doc->Model(), loaded);
    EXPECT_FALSE(hostapp::SaveDocumentFile(dir.file("no/such/folder/doc.json"), loaded, &error));
    EXPECT_FALSE(glyphoria::testing::PathExists(dir.file("no/such/folder/doc.json.tmp")));
}

TEST(DocumentFileTest, HandWrittenDocumentLoads) {
    TempDir dir;
    WritePng(dir.file("pic.png"), 30, 20);
    const std::string text = R"({
      "name": "hand",
      "swatches": [{"name": "Sky", "space": "Lab", "components": [70, -10, -30]}],
      "spreads": [{"bounds": [0, 0, 200, 100], "layers": [{"name": "L", "items": [
        {"type": "text", "name": "t", "bounds": [0, 0, 100, 50], "fill": "Sky",
         "story": {"runs": [{"text": "A\nB", "font": "DejaVuSans-Bold", "size": 9,
                             "color": "Sky"}, {"text": "c"}]}},
        {"type": "graphic", "name": "g", "bounds": [100, 0, 200, 100],
         "image": {"file": "pic.png"}}]}]}]})";
    WriteFileBytes(dir.file("doc.json"), text);
    hostcore::DocModel m;
    std::string error;
    ASSERT_TRUE(hostapp::LoadDocumentFile(dir.file("doc.json"), &m, &error)) << error;
    UID t = FrameNamed(m, "t");
    EXPECT_EQ("A\rBc\r", StoryText(m, t));
    const hostcore::Story& s = m.stories.at(StoryOf(m, t));
    EXPECT_EQ(9, s.attrs[0].pointSize);
    EXPECT_EQ("Bold", s.attrs[0].fontStyle);
    EXPECT_EQ("DejaVu Sans", m.fontFamilies.at(s.attrs[0].fontFamily));
    EXPECT_EQ(SwatchNamed(m, "Sky"), s.attrs[0].color);
    EXPECT_EQ(12, s.attrs[3].pointSize);  // runs do not inherit
    EXPECT_EQ(m.blackSwatch, s.attrs[3].color);
    const hostcore::Node& g = *m.FindNode(FrameNamed(m, "g"));
    const hostcore::Node& img = *m.FindNode(g.children.at(0));
    EXPECT_EQ(PMRect(100, 0, 130, 20), img.box);
    EXPECT_TRUE(m.links.at(img.link).embedded);
}

TEST(DocumentFileTest, MalformedDocumentsAreRefused) {
    TempDir dir;
    WriteFileBytes(dir.file("not.png"), "GIF89a");
    struct Case {
        const char* name;
        std::string text;
    };
    const std::string spread = R"("spreads": [{"bounds": [0, 0, 10, 10], "layers": [{"items": [)";
    const Case cases[] = {
        {"not json", "{"},
        {"not an object", "[]"},
        {"unknown font", "{" + spread + R"({"type": "text", "bounds": [0,0,1,1], "story":
            {"runs": [{"text": "x", "font": "NoSuchFont"}]}}]}]}]})"},
        {"unknown swatch", "{" + spread + R"({"type": "graphic", "bounds": [0,0,1,1],
            "fill": "Nope"}]}]}]})"},
        {"upside-down bounds", "{" + spread + R"({"type": "graphic", "bounds": [5,5,1,1]}]}]}]})"},
        {"picture not png", "{" + spread + R"({"type": "graphic", "bounds": [0,0,1,1],
            "image": {"file": "not.png"}}]}]}]})"},
        {"bad type", "{" + spread + R"({"type": "circle", "bounds": [0,0,1,1]}]}]}]})"},
        {"more than a turn", "{" + spread + R"({"type": "graphic", "bounds": [0,0,1,1],
            "rotation": 400}]}]}]})"},
        {"wrong component count", R"({"swatches": [{"name": "x", "space": "CMYK",
            "components": [1, 0, 0]}]})"},
        {"repeated uid", R"({"nextUID": 10, "swatches": [
            {"uid": 3, "name": "None", "kind": "none"},
            {"uid": 3, "name": "Paper", "kind": "paper"},
            {"uid": 5, "name": "Black", "kind": "black"}]})"},
        {"uid beyond nextUID", R"({"nextUID": 6, "swatches": [
            {"uid": 3, "name": "None", "kind": "none"},
            {"uid": 4, "name": "Paper", "kind": "paper"},
            {"uid": 9, "name": "Black", "kind": "black"}]})"},
        {"picture without pixels", R"({"nextUID": 12, "swatches": [
            {"uid": 3, "name": "None", "kind": "none"},
            {"uid": 4, "name": "Paper", "kind": "paper"},
            {"uid": 5, "name": "Black", "kind": "black"}], "spreads": [{"uid": 6,
            "bounds": [0, 0, 9, 9], "layers": [{"uid": 7, "items": [{"uid": 8, "type": "graphic",
            "bounds": [0, 0, 9, 9], "image": {"uid": 9, "bounds": [0, 0, 9, 9], "pixels": [0, 9],
            "link": {"uid": 10, "uri": "file:///x.png"}}}]}]}]})"},
        {"bad labels", "{" + spread + R"({"type": "graphic", "bounds": [0,0,1,1],
            "labels": ["x"]}]}]}]})"},
        {"label not text", "{" + spread + R"({"type": "graphic", "bounds": [0,0,1,1],
            "labels": {"k": 5}}]}]}]})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(dir.file("doc.json"), c.text);
        hostcore::DocModel m;
        std::string error;
        EXPECT_FALSE(hostapp::LoadDocumentFile(dir.file("doc.json"), &m, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(Base64Test, RoundTripsAndRefusesGarbage) {
    struct Case {
        std::string bytes, text;
    };
    const Case cases[] = {{"", ""},
                          {"f", "Zg=="},
                          {"fo", "Zm8="},
                          {"foo", "Zm9v"},
                          {std::string("\0\xff", 2), "AP8="}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.text, hostapp::Base64Encode(c.bytes));
        std::string back;
        ASSERT_TRUE(hostapp::Base64Decode(c.text, &back));
        EXPECT_EQ(c.bytes, back);
    }
    std::string out;
    for (const char* bad : {"Zg=", "Z===", "Zg==Zg==", "Z!==", "=Zg="}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(hostapp::Base64Decode(bad, &out));
    }
}

}  // namespace
}  // namespace hosttest
