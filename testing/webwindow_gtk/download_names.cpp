#include "testing/webwindow_gtk/download_names.h"

#include <glib.h>

namespace glyphoria::testing::webwindow_gtk {

namespace {

// The longest prefix of text of at most limit bytes that ends between
// UTF-8 characters.
std::string Utf8Prefix(const std::string& text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

}  // namespace

std::string SafeDownloadName(const std::string& suggested) {
    std::string last = suggested;
    size_t cut = last.find_last_of("/\\");
    if (cut != std::string::npos) last = last.substr(cut + 1);
    std::string name;
    for (char c : last) {
        auto byte = static_cast<unsigned char>(c);
        name.push_back(byte < 0x20 || byte == 0x7F || c == ':' ? '_' : c);
    }
    if (!g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr)) {
        gchar* valid = g_utf8_make_valid(name.data(), static_cast<gssize>(name.size()));
        name = valid;
        g_free(valid);
    }
    if (name.size() > kMaxNameBytes) {
        size_t dot = name.rfind('.');
        std::string ext =
            dot != std::string::npos && name.size() - dot <= 16 ? name.substr(dot) : "";
        name =
            Utf8Prefix(name.substr(0, name.size() - ext.size()), kMaxNameBytes - ext.size()) + ext;
    }
    if (name.find_first_not_of('.') == std::string::npos) return "download";
    return name;
}

std::string UniqueDownloadPath(const std::string& folder, const std::string& name) {
    std::string path = folder + "/" + name;
    size_t dot = name.rfind('.');
    if (dot == 0 || dot == std::string::npos) dot = name.size();
    for (int n = 1; g_file_test(path.c_str(), G_FILE_TEST_EXISTS); ++n)
        path =
            folder + "/" + name.substr(0, dot) + " (" + std::to_string(n) + ")" + name.substr(dot);
    return path;
}

}  // namespace glyphoria::testing::webwindow_gtk
