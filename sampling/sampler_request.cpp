#include "sampling/sampler_request.h"

#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "sampling/shop_id.h"
#include "sampling/value_format.h"
#include "support/limits.h"

namespace glyphoria {

namespace {

// Appends to a fixed buffer; once a piece does not fit, the writer stays
// failed and nothing more is appended.
class BoundedWriter {
  public:
    BoundedWriter(char* buf, std::size_t cap) : buf_(buf), cap_(cap) { std::memset(buf_, 0, cap_); }

    void Append(const char* text) { Printf("%s", text); }

    void Printf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
    {
        if (failed_) return;
        va_list args;
        va_start(args, format);
        int n = std::vsnprintf(buf_ + length_, cap_ - length_, format, args);
        va_end(args);
        if (n < 0 || static_cast<std::size_t>(n) >= cap_ - length_) {
            failed_ = true;
            return;
        }
        length_ += static_cast<std::size_t>(n);
    }

    void Fail() {
        failed_ = true;
    }

    // The text, or null (and an empty buffer) when something did not fit.
    const char* Finish() {
        if (!failed_) return buf_;
        std::memset(buf_, 0, cap_);
        return nullptr;
    }

  private:
    char* buf_;
    std::size_t cap_;
    std::size_t length_ = 0;
    bool failed_ = false;
};

// Tells the documents of a session apart by their database and their name (a
// document opened after another was closed may get the closed one's
// database address), and sessions by the moment the first preview name was
// made (FNV-1a over all three).
std::uint32_t DocumentTag(const void* database, const std::string& name) {
    static const auto session = std::chrono::system_clock::now().time_since_epoch().count();
    std::uint32_t hash = 2166136261u;
    auto mix = [&hash](std::uint64_t value) {
        for (int i = 0; i < 8; ++i, value >>= 8) {
            hash ^= static_cast<std::uint32_t>(value & 0xFF);
            hash *= 16777619u;
        }
    };
    mix(static_cast<std::uint64_t>(session));
    mix(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(database)));
    for (const char c : name)
        mix(static_cast<unsigned char>(c));
    return hash;
}

}  // namespace

const char* SamplerUrl(TextData& record, const SamplerSettings& settings,
                       const SwatchSource& swatches) {
    BoundedWriter url(record.mutable_query(), TextData::kQuerySize);
    const char* id = record.GetString(kKeyId);
    // A longer base would have been cut into another address.
    if (settings.base_url.size() > kValueMaxLength || !IsUsableShopId(id)) {
        url.Fail();
        return url.Finish();
    }
    url.Append(settings.base_url.c_str());
    url.Append("?imagetype=typeit");
    url.Printf("&%s=%s", "shopid", id);
    url.Printf("&%s=%d", "Width", TruncateToInt(record.GetReal(kKeyWidth)));
    url.Printf("&%s=%d", "Height", TruncateToInt(record.GetReal(kKeyHeight)));
    float text_size = record.FontSize() * settings.size_factor;
    url.Printf("&%s=%d", "TextSize", TruncateToInt(text_size));
    url.Printf("&%s=%s", "TextColor", record.TextColour(swatches));
    url.Printf("&%s=%s", "BgColor", record.BackgroundColour(swatches));
    url.Printf("&%s=%s", "RenderText", record.GetString(kKeyText, ""));
    return url.Finish();
}

const char* BuildPreviewPath(TextData& record, const char* folder, char sep,
                             const std::string& document_name) {
    BoundedWriter path(record.mutable_preview_path(), TextData::kPreviewPathSize);
    const char* id = record.GetString(kKeyId);
    if (!folder || !*folder || !IsUsableShopId(id)) {
        path.Fail();
        return path.Finish();
    }
    path.Append(folder);
    path.Printf("%c", sep);
    path.Printf("GL_%s_%lu_%08lx.png", id, static_cast<unsigned long>(record.frame().uid),
                static_cast<unsigned long>(DocumentTag(record.frame().database, document_name)));
    return path.Finish();
}

}  // namespace glyphoria
