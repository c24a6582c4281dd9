#include "tests/sampling/host_document.h"

#include "tests/common/test_png.h"

#include <algorithm>
#include <cstdlib>

#include "host/app/doc_io.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/geometry.h"
#include "host/sdk/page_items.h"
#include "host/sdk/plugin.h"
#include "platform/fs.h"
#include "platform/path_style.h"
#include "sampling/page_items.h"
#include "sampling/suite_registration.h"
#include "support/log.h"
#include "support/prefs_store.h"

namespace glyphoria::testing {

const char kStandardDocument[] = R"({
  "name": "Sampling test",
  "swatches": [
    {"name": "Red", "space": "RGB", "components": [1, 0, 0]},
    {"name": "Teal", "space": "CMYK", "components": [0.8, 0, 0.3, 0.2]},
    {"name": "Sand", "space": "Lab", "components": [80, 5, 25]}
  ],
  "spreads": [{"name": "Spread 1", "bounds": [0, 0, 600, 400], "layers": [{"name": "Text", "items": [
    {"type": "text", "name": "alpha", "bounds": [10, 10, 210, 60], "fill": "Teal",
     "story": {"runs": [{"text": "Alpha text", "font": "DejaVuSans", "size": 9, "color": "Red"}]}},
    {"type": "text", "name": "empty", "bounds": [10, 80, 210, 120]},
    {"type": "text", "name": "beta", "bounds": [10, 140, 210, 190],
     "story": {"runs": [{"text": "Beta", "font": "LiberationSerif", "size": 14}]}},
    {"type": "graphic", "name": "frame", "bounds": [300, 10, 400, 110]},
    {"type": "text", "name": "gamma", "bounds": [300, 140, 500, 190],
     "story": {"runs": [{"text": "Gamma", "font": "LiberationSans", "size": 5}]}}
  ]}]}]
})";

namespace {

class SamplingPlugIn : public IPlugIn {
  public:
    void SetPluginID(PluginID id) override { id_ = id; }
    PluginID GetPluginID() const override { return id_; }
    ErrorCode RegisterImplementations(IImplementationRegistry* registry) override {
        return RegisterSamplingImplementations(registry);
    }

  private:
    PluginID id_ = 0;
};

SamplingPlugIn gPlugIn;

}  // namespace

std::string WriteTestPng(const std::string& path, int width, int height) {
    return WriteGreyPng(path, width, height, 0x90);
}

std::string UrlParam(const std::string& url, const std::string& name) {
    const std::string needle = name + "=";
    std::size_t at = url.find('?');
    while (at != std::string::npos) {
        ++at;
        if (url.compare(at, needle.size(), needle) == 0) {
            std::size_t end = url.find('&', at);
            return url.substr(at + needle.size(), end == std::string::npos
                                                      ? std::string::npos
                                                      : end - at - needle.size());
        }
        at = url.find('&', at);
    }
    return "";
}

void HostDocumentTest::SetUp() {
    std::string resources = std::string(R"({"plugin": {"id": "0x159800"}, "addins": [)") +
                            SamplingResourceAddIns() + "]}";
    std::string error;
    ASSERT_TRUE(hostcore::InstallPlugIn(&gPlugIn, resources, &error)) << error;
    SetMessageBoxHook([this](const ShownMessage& shown) {
        messages.push_back(shown);
        return 1;
    });
    OpenLogInFolder(1, folder.path().c_str(), "");
    SetLogEcho(false);
    Prefs().SetString(kGeneralSection, "mlSamplerUrl", "http://renderer.test/render");
    Prefs().SetString(kGeneralSection, "sampleSizeFactor", "1");
    Open(kStandardDocument);
}

void HostDocumentTest::TearDown() {
    SetMessageBoxHook(MessageBoxHook());
    hostcore::ShutdownPlugIns();
    hostcore::CloseAllDocuments();
}

hostcore::Document* HostDocumentTest::Open(const std::string& json) {
    hostcore::DocModel model;
    std::string error;
    EXPECT_TRUE(hostapp::ModelFromJsonText(json, &model, &error)) << error;
    hostcore::CloseAllDocuments();
    doc = hostcore::OpenDocument(model);
    return doc;
}

UID HostDocumentTest::Frame(const std::string& name) const {
    for (const auto& node : doc->Model().nodes)
        if (node.second.kind == hostcore::NodeKind::kFrame && node.second.name == name)
            return node.first;
    return kInvalidUID;
}

void HostDocumentTest::Select(const std::vector<std::string>& names) {
    std::vector<UID> uids;
    for (const auto& name : names)
        uids.push_back(Frame(name));
    SelectUIDs(uids);
}

void HostDocumentTest::SelectUIDs(const std::vector<UID>& uids) {
    hostcore::SelectItems(uids);
}

std::vector<UID> HostDocumentTest::Selected() const {
    return hostcore::SelectedItems();
}

std::string HostDocumentTest::StoryText(UID frame) const {
    const hostcore::DocModel& m = doc->Model();
    const hostcore::Node* f = m.FindNode(frame);
    if (!f) return "";
    for (UID child : f->children) {
        const hostcore::Node* n = m.FindNode(child);
        if (n && n->kind == hostcore::NodeKind::kTextContainer && m.stories.count(n->story))
            return StringUtils::Utf16ToUtf8(m.stories.at(n->story).text);
    }
    return "";
}

PMRect HostDocumentTest::Bounds(UID frame) const {
    return GetFrameBounds(UIDRef(doc, frame));
}

std::string HostDocumentTest::Label(UID frame) const {
    return FrameLabel(UIDRef(doc, frame), "Glyphoria");
}

std::string HostDocumentTest::LogText() const {
    return ReadFileBytes(LogPath());
}

std::string HostDocumentTest::PreviewPathOf(UID frame, const char* id) const {
    char folder[512] = {};
    EXPECT_TRUE(PreparePreviewFolder(folder, sizeof folder));
    TextData record((std::string("id=") + id).c_str());
    record.set_frame(FrameRef{static_cast<IDataBase*>(doc), frame});
    const char* path =
        BuildPreviewPath(record, folder, platform::kPathSeparator, doc->Model().name);
    return path ? path : "";
}

std::string HostDocumentTest::LinkOf(UID picture) const {
    const hostcore::DocModel& m = doc->Model();
    const hostcore::Node* frame = m.FindNode(picture);
    for (UID child : frame ? frame->children : std::vector<UID>()) {
        const hostcore::Node* image = m.FindNode(child);
        if (image && m.links.count(image->link)) return m.links.at(image->link).uri;
    }
    return "";
}

PreviewDownload HostDocumentTest::PictureDownload() {
    return [this](const char* url, const char* path) {
        urls.push_back(url);
        int width = std::atoi(UrlParam(url, "Width").c_str());
        int height = std::atoi(UrlParam(url, "Height").c_str());
        WriteTestPng(path, std::max(1, width), std::max(1, height));
    };
}

}  // namespace glyphoria::testing
