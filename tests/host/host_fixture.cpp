#include "host_fixture.h"

#include <cstdio>
#include <string>
#include <vector>
#include "tests/common/test_png.h"

#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/sdk/strings.h"
#include "tests/common/test_env.h"

namespace hosttest {

using hostcore::Node;
using hostcore::NodeKind;

namespace {

UID AddFrame(hostcore::DocModel* m, UID layer, const std::string& name, const PMRect& box) {
    UID uid = m->NewUID();
    Node n;
    n.kind = NodeKind::kFrame;
    n.parent = layer;
    n.name = name;
    n.box = box;
    n.fill = m->noneSwatch;
    m->nodes[uid] = n;
    m->FindNode(layer)->children.push_back(uid);
    return uid;
}

void AddText(hostcore::DocModel* m, UID frame, const std::u16string& text, UID family) {
    hostcore::CharAttrs a;
    a.pointSize = 12;
    a.color = m->blackSwatch;
    a.fontFamily = family;
    a.fontStyle = "Book";
    UID story = hostcore::AttachEmptyStory(m, frame, a);
    hostcore::Story& s = m->stories[story];
    s.text = text + u"\r";
    s.attrs.assign(s.text.size(), a);
}

}  // namespace

hostcore::DocModel MakeTestModel() {
    hostcore::DocModel m = hostcore::MakeEmptyModel("test");
    m.swatches[m.NewUID()] =
        hostcore::Swatch{"Red", hostcore::SwatchKind::kColor, kPMCsCalRGB, {1, 0, 0}};
    m.swatches[m.NewUID()] =
        hostcore::Swatch{"Teal", hostcore::SwatchKind::kColor, kPMCsCalCMYK, {0.8, 0, 0.3, 0.2}};
    m.swatches[m.NewUID()] =
        hostcore::Swatch{"Sand", hostcore::SwatchKind::kColor, kPMCsLab, {80, 5, 25}};
    UID family = m.NewUID();
    m.fontFamilies[family] = "DejaVu Sans";
    UID layer = hostcore::AddSpreadWithLayer(&m, PMRect(0, 0, 600, 400), "Layer 1");
    AddText(&m, AddFrame(&m, layer, "alpha", PMRect(10, 10, 210, 60)), u"Alpha text", family);
    AddText(&m, AddFrame(&m, layer, "beta", PMRect(10, 100, 210, 150)), u"Beta", family);
    AddFrame(&m, layer, "empty", PMRect(300, 10, 400, 110));
    UID tilted = AddFrame(&m, layer, "tilted", PMRect(300, 200, 400, 250));
    m.FindNode(tilted)->rotation = 90;
    AddText(&m, tilted, u"Tilted", family);
    return m;
}

UID FrameNamed(const hostcore::DocModel& m, const std::string& name) {
    for (const auto& n : m.nodes)
        if (n.second.kind == NodeKind::kFrame && n.second.name == name) return n.first;
    return kInvalidUID;
}

UID StoryOf(const hostcore::DocModel& m, UID frame) {
    const Node* f = m.FindNode(frame);
    if (!f) return kInvalidUID;
    for (UID c : f->children) {
        const Node* n = m.FindNode(c);
        if (n && n->kind == NodeKind::kTextContainer) return n->story;
    }
    return kInvalidUID;
}

UID SwatchNamed(const hostcore::DocModel& m, const std::string& name) {
    for (const auto& s : m.swatches)
        if (s.second.name == name) return s.first;
    return kInvalidUID;
}

std::string StoryText(const hostcore::DocModel& m, UID frame) {
    UID story = StoryOf(m, frame);
    if (!m.stories.count(story)) return "";
    return StringUtils::Utf16ToUtf8(m.stories.at(story).text);
}

std::string WritePng(const std::string& path, int width, int height) {
    return glyphoria::testing::WriteGreyPng(path, width, height, 0x80);
}

void HostTest::SetUp() {
    doc = hostcore::OpenDocument(MakeTestModel());
}

void HostTest::TearDown() {
    hostcore::ShutdownPlugIns();
    hostcore::CloseAllDocuments();
}

}  // namespace hosttest
