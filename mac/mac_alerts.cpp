#include "mac/mac_alerts.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "mac/mac_log.h"
#include "mac/mac_services.h"
#include "mac/mac_strings.h"
#include "support/limits.h"
#include "support/text_convert.h"

namespace glyphoria::mac {

namespace {

std::string& Detail() {
    static std::string detail;
    return detail;
}

std::string FormatKey(const char* key, std::va_list args) {
    const std::string format = MacLocalized(key ? key : "");
    char buf[kMessageBufferSize];
    int n = std::vsnprintf(buf, sizeof buf, format.c_str(), args);
    if (n < 0) return {};
    std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1);
    return std::string(buf, Utf8PrefixLength(buf, len, sizeof buf - 1));
}

int RunAlert(const std::string& message) {
    // The detail belongs to this alert alone, even if showing it leads to another.
    const std::string informative = std::move(Detail());
    Detail().clear();
    const MacServices& services = Services();
    if (services.application) services.application->activateHostProcess();
    if (!services.alerts) {
        MacLogText("alert (no panel): " + message);
        return 0;
    }
    return services.alerts->runAlert(message, informative);
}

}  // namespace

int ShowMessage(const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    std::string message = FormatKey(key, args);
    va_end(args);
    return RunAlert(message);
}

void SetMessageDetail(const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    Detail() = FormatKey(key, args);
    va_end(args);
}

void SetMessageDetailText(const std::string& text) {
    Detail() = text;
}
const std::string& PendingMessageDetail() {
    return Detail();
}

int ShowAlertText(const std::string& text) {
    return RunAlert(text);
}

int ShowError(const MacError& error) {
    MacLogText("error: " + error.domain + " " + std::to_string(error.code) + ": " +
               error.localized_description);
    return ShowAlertText(error.localized_description);
}

}  // namespace glyphoria::mac
