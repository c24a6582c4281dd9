// Host documents for the sampling tests: a hand-written document opened in
// the in-process host with the plug-in's selection suite installed, the
// messages the plug-in shows caught, the log written to a private folder,
// and a preview download that writes a picture of the requested size.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/core/document.h"
#include "host/core/model.h"
#include "host/sdk/uidref.h"
#include "sampling/sampler_request.h"
#include "support/messages.h"
#include "tests/common/test_env.h"

namespace glyphoria::testing {

// Swatches Red (RGB 1,0,0), Teal (CMYK), Sand (Lab); one spread with the
// layer "Text" holding, in layout order:
//   alpha  text "Alpha text", 9 pt DejaVuSans in Red, fill Teal, [10,10,210,60]
//   empty  text frame with an empty story, [10,80,210,120]
//   beta   text "Beta", 14 pt LiberationSerif, Black, no fill, [10,140,210,190]
//   frame  graphic frame without content, [300,10,400,110]
//   gamma  text "Gamma", 5 pt LiberationSans, Black, no fill, [300,140,500,190]
extern const char kStandardDocument[];

// A grey PNG of the size into path; the path.
std::string WriteTestPng(const std::string& path, int width, int height);

// The value of a query parameter in a URL, "" when absent.
std::string UrlParam(const std::string& url, const std::string& name);

class HostDocumentTest : public ::testing::Test {
  public:
    void SetUp() override;
    void TearDown() override;

    // Opens the document (JSON) and makes it the front one.
    hostcore::Document* Open(const std::string& json);
    UID Frame(const std::string& name) const;
    UIDRef Ref(const std::string& name) const { return UIDRef(doc, Frame(name)); }
    // Selects the named frames (layout selection).
    void Select(const std::vector<std::string>& names);
    void SelectUIDs(const std::vector<UID>& uids);
    std::vector<UID> Selected() const;
    std::string StoryText(UID frame) const;
    PMRect Bounds(UID frame) const;
    std::string Label(UID frame) const;
    std::string LogText() const;

    // Writes a grey picture of the URL's Width x Height and records the URL.
    PreviewDownload PictureDownload();
    // Where a try with this id fetches the frame's preview.
    std::string PreviewPathOf(UID frame, const char* id = "5") const;
    // The file the picture frame's image links to, "" when it has none.
    std::string LinkOf(UID picture) const;

    hostcore::Document* doc = nullptr;
    std::vector<ShownMessage> messages;
    std::vector<std::string> urls;
    TempDir folder;
};

}  // namespace glyphoria::testing
