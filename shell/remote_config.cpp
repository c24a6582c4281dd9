#include "shell/remote_config.h"

#include <cstdlib>
#include <cstring>

#include "purchase/net_failure_text.h"
#include "purchase/transfer.h"
#include "support/limits.h"
#include "support/log.h"
#include "support/prefs_store.h"
#include "support/vendor_addresses.h"
#include "support/web_address.h"
#include "support/xml_reader.h"

namespace glyphoria {

namespace {

constexpr const char* kConfigKeys[] = {"cartUrl", "mlSamplerUrl", "search", "homepage",
                                       "sampleSizeFactor"};

bool& Fetched() {
    static bool fetched = false;
    return fetched;
}

}  // namespace

bool IsConfigurationDocument(const char* document) {
    for (const char* key : kConfigKeys) {
        // The reader leaves the buffer alone when the element is missing and
        // writes "" for an empty one.
        char value[kValueBufferSize] = "\x01";
        GetElementText(document, key, value, sizeof value);
        if (value[0] != '\x01') return true;
    }
    return false;
}

int ApplyRemoteConfiguration(const char* document) {
    int stored = 0;
    for (const char* key : kConfigKeys) {
        // One byte more than a value may have, so that a longer one is seen
        // and skipped: cut, an address would name another page (or another
        // renderer) and would replace the good one stored.
        char value[kValueBufferSize + 1] = "";
        const int length = GetElementText(document, key, value, sizeof value);
        if (length <= 0 || static_cast<std::size_t>(length) > kValueMaxLength) continue;
        // An address opened as a page must be one: "javascript:" or
        // "file:" from the server would run or open whatever it names.
        if (IsAddressKey(key) && !IsWebAddress(value)) {
            LogMessage("%s\r", SkippedAddressLine(key, value).c_str());
            continue;
        }
        // The store refuses values that would break its lines; such a value
        // is simply not taken, like a missing one.
        if (Prefs().SetString(kGeneralSection, key, value) == 0) ++stored;
    }
    return stored;
}

void FetchRemoteConfiguration() {
    if (Fetched()) return;
    char address[kPathBufferSize] = "";
    const std::string& fallback = Vendor().config;
    std::strncat(address, fallback.c_str(), sizeof address - 1);
    Prefs().GetString(kGeneralSection, "config", address, kValueBufferSize);
    platform::NetError error;
    char* document = DownloadUrl(address, nullptr, "", &error);
    if (!document) {
        LogNetFailure("config", error);
        return;
    }
    if (!IsConfigurationDocument(document)) {
        std::free(document);
        return;
    }
    Fetched() = true;
    ApplyRemoteConfiguration(document);
    Prefs().Save();
    std::free(document);
}

}  // namespace glyphoria
