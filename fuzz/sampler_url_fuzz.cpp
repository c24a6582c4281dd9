// The sampler request and preview path for any record and settings.
// Input: one byte of swatch flags, four bytes of size factor, the base
// address (up to 0xFF), then the record's text as a try argument or label.
//
// Checked: a URL is either refused (null, empty buffer) or starts with the
// base address and the fixed parameters in their order, names the record's
// id, fits its buffer and holds no line break or blank that the record's
// text did not bring; the preview path ends in "GL_<id>_<uid>_<doc>.png" and its id is
// never one that could leave the folder.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "sampling/sampler_request.h"
#include "sampling/shop_id.h"
#include "sampling/text_data.h"

namespace {

class FuzzSwatches : public glyphoria::SwatchSource {
  public:
    explicit FuzzSwatches(std::uint8_t flags) : flags_(flags) {}
    bool Describe(int uid, glyphoria::SwatchFacts* facts) const override {
        if (flags_ & 1) return false;
        facts->is_none = (flags_ & 2) && (uid & 1);
        facts->is_black = (flags_ & 4) && (uid & 2);
        facts->has_colour = flags_ & 8;
        facts->colour_space = (flags_ & 16) ? 5 : 3;
        // Components from the UID's bits, NaN and out-of-range values too.
        float values[] = {0.5f, -1.0f, 2.0f, __builtin_nanf(""), 1.0f, 0.0f, 1e30f, 0.25f};
        for (int i = 0; i < 3; ++i)
            facts->rgb[i] = values[(static_cast<unsigned>(uid) >> (3 * i)) & 7];
        return true;
    }

  private:
    std::uint8_t flags_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    glyphoria::fuzz::FuzzInput in(data, size);
    FuzzSwatches swatches(in.Byte());
    glyphoria::SamplerSettings settings;
    const std::uint32_t bits =
        static_cast<std::uint32_t>(in.Word()) | (static_cast<std::uint32_t>(in.Word()) << 16);
    std::memcpy(&settings.size_factor, &bits, sizeof bits);
    settings.base_url = glyphoria::fuzz::CString(in.Until('\xFF'));
    const std::string text = glyphoria::fuzz::CString(in.Rest());

    glyphoria::TextData record(text.c_str());
    const std::string id = record.GetString(glyphoria::kKeyId, "");
    const char* url = glyphoria::SamplerUrl(record, settings, swatches);
    if (!url) {
        if (record.query()[0] != '\0') std::abort();
    } else {
        if (!glyphoria::IsUsableShopId(id.c_str())) std::abort();
        if (std::strlen(url) >= glyphoria::TextData::kQuerySize) std::abort();
        const std::string expected =
            settings.base_url + "?imagetype=typeit&shopid=" + id + "&Width=";
        if (std::strncmp(url, expected.c_str(), expected.size()) != 0) std::abort();
        const std::string rest = url + settings.base_url.size();
        const std::string render = std::string("&RenderText=") + record.GetString("text", "");
        if (rest.size() < render.size() ||
            rest.compare(rest.size() - render.size(), render.size(), render) != 0)
            std::abort();
    }

    const char* path = glyphoria::BuildPreviewPath(record, "/tmp/previews", '/');
    if (path) {
        const std::string head = std::string("/tmp/previews/GL_") + id + "_0_";
        const std::string name = path;
        if (name.compare(0, head.size(), head) != 0 || name.size() != head.size() + 12 ||
            name.compare(name.size() - 4, 4, ".png") != 0 || id.find('/') != std::string::npos ||
            id.find("..") != std::string::npos)
            std::abort();
    }
    return 0;
}
