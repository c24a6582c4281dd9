// The Mac string dictionary and window localisation.
#include "mac/mac_strings.h"

#include <cstdlib>
#include <map>
#include <memory>

#include "mac/mac_alerts.h"
#include "mac/mac_folders.h"
#include "mac/mac_log.h"
#include "mac/xml_element.h"
#include "support/file_utils.h"
#include "support/text_convert.h"

namespace glyphoria::mac {

namespace {

using Table = std::map<std::string, std::string>;

std::unique_ptr<Table>& Strings() {
    static std::unique_ptr<Table> table;
    return table;
}

const char* FileForCode(int code) {
    switch (code) {
        case 1:
            return "MyStrings_F.xml";
        case 3:
            return "MyStrings_D.xml";
        default:
            return "MyStrings_E.xml";
    }
}

std::unique_ptr<Table> ParseTable(const std::string& xml) {
    XmlRoot root;
    MacError error;
    if (!ParseXmlRoot(xml, &root, &error)) {
        MacLogText("strings: " + error.localized_description);
        return nullptr;
    }
    auto table = std::make_unique<Table>();
    for (const XmlChild& child : root.children)
        (*table)[child.name] = child.value;
    return table;
}

std::unique_ptr<Table> LoadFile(const std::string& path) {
    std::uint32_t size = 0;
    char* bytes = ReadWholeFile(path.c_str(), &size);
    if (!bytes) return nullptr;
    std::string xml(bytes, size);
    std::free(bytes);
    return ParseTable(xml);
}

// The kinds whose text is a key; the others only hold children.
bool CarriesText(ViewKind kind) {
    switch (kind) {
        case ViewKind::kBox:
        case ViewKind::kButton:
        case ViewKind::kCheckBox:
        case ViewKind::kTextField:
        case ViewKind::kMenuItem:
        case ViewKind::kTabItem:
        case ViewKind::kTableColumn:
            return true;
        default:
            return false;
    }
}

void Localize(std::string& text) {
    if (!text.empty()) text = MacLocalized(text);
}

}  // namespace

int LoadMacStrings(int language_code) {
    const std::string folder = BundleResourcesFolder();
    std::unique_ptr<Table> table;
    if (!folder.empty()) {
        table = LoadFile(JoinPath(folder, FileForCode(language_code)));
        if (!table) table = LoadFile(JoinPath(folder, "MyStrings.xml"));
    }
    Strings() = std::move(table);
    if (!Strings()) {
        ShowAlertText("\tGlyphoria: gStrings = NULL!");
        return -1;
    }
    return 0;
}

int LoadMacStringsFromText(const std::string& xml) {
    Strings() = ParseTable(xml);
    return Strings() ? 0 : -1;
}

void UnloadMacStrings() {
    Strings().reset();
}
bool HasMacStrings() {
    return Strings() != nullptr;
}

std::string MacLocalized(const std::string& key) {
    if (const Table* table = Strings().get()) {
        auto it = table->find(key);
        if (it != table->end()) return it->second;
    }
    return key;
}

void GetMacLocalized(const char* key, char* dest, std::size_t cap) {
    if (!dest || cap == 0) return;
    const std::string text = MacLocalized(key ? key : "");
    const std::size_t n = Utf8PrefixLength(text.data(), text.size(), cap - 1);
    text.copy(dest, n);
    dest[n] = '\0';
}

void LocalizeViewTree(ViewNode& view) {
    if (CarriesText(view.kind)) Localize(view.text);
    for (auto& child : view.children)
        LocalizeViewTree(*child);
}

void LocalizeWindow(Window& window) {
    std::string title = window.title();
    if (!title.empty()) window.setTitle(MacLocalized(title));
    LocalizeViewTree(window.contentView());
}

}  // namespace glyphoria::mac
