#include "testing/webwindow/web_window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testing/webwindow/http_fetch.h"
#include "testing/webwindow/page_links.h"

namespace glyphoria::testing::webwindow {

namespace {

constexpr size_t kCanarySize = 16;
constexpr char kCanaryByte = static_cast<char>(0xA5);
constexpr char kTryScheme[] = "glyphoria://try?";

std::string EscapeField(const std::string& field) {
    std::string out;
    for (char c : field) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// "key=value" -> key, value; "key" -> key, "" (has_value false).
void SplitAssignment(const std::string& text, std::string* key, std::string* value,
                     bool* has_value = nullptr) {
    size_t eq = text.find('=');
    *key = text.substr(0, eq);
    *value = eq == std::string::npos ? std::string() : text.substr(eq + 1);
    if (has_value) *has_value = eq != std::string::npos;
}

// The "id" parameter of a try argument (a query string, perhaps behind "?").
std::string IdOfTryArgument(const std::string& argument) {
    std::string query =
        argument.substr(argument.find('?') == std::string::npos ? 0 : argument.find('?') + 1);
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        std::string key, value;
        SplitAssignment(query.substr(start, end - start), &key, &value);
        if (key == "id") return value;
        start = end + 1;
    }
    return {};
}

std::string TryArgumentOf(const PageLink& link) {
    std::string argument = link.attribute("data-try");
    if (!argument.empty()) return argument;
    std::string href = link.attribute("href");
    return href.rfind(kTryScheme, 0) == 0 ? href.substr(sizeof kTryScheme - 1) : std::string();
}

}  // namespace

WebWindow& WebWindow::Instance() {
    // Never destroyed: the plug-in may still call in while the process ends.
    static WebWindow* window = new WebWindow;
    return *window;
}

void WebWindow::Append(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? "\t" : "") + EscapeField(fields[i]);
    std::lock_guard<std::mutex> lock(mutex_);
    record_.push_back(std::move(line));
}

void WebWindow::Note(const std::string& text) {
    Append({"note", text});
}

std::string WebWindow::Record() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string text;
    for (const std::string& line : record_)
        text += line + "\n";
    return text;
}

WebWindow::Page WebWindow::ShownPage() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return visible_ ? page_ : Page();
}

GlyphoriaHostCallback WebWindow::callback() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return callback_;
}

bool WebWindow::Fetched(const std::string& url, std::string* body, std::string* content_type) {
    std::string ca_file;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ca_file = ca_file_;
    }
    FetchResult result = Fetch(url, ca_file);
    Append({"fetch", url, result.ok ? std::to_string(result.status) : result.error,
            result.content_type, std::to_string(result.body.size())});
    if (body) *body = std::move(result.body);
    if (content_type) *content_type = result.content_type;
    return result.ok && result.status < 400;
}

int32_t WebWindow::Command(const char* command, intptr_t argument) {
    if (!command) {
        Append({"main", "null", argument ? "set" : "null", "0"});
        return 0;
    }
    std::string name = command;
    std::string shown = argument ? "set" : "null";
    int32_t result = 0;
    if (name == "version") {
        std::lock_guard<std::mutex> lock(mutex_);
        callback_ = reinterpret_cast<GlyphoriaHostCallback>(argument);
        result = version_;
        shown = argument ? "callback" : "null";
    } else if (name == "isTryWndVisible") {
        std::lock_guard<std::mutex> lock(mutex_);
        result = visible_ ? 1 : 0;
    } else if (name == "showTryWnd") {
        const char* address = reinterpret_cast<const char*>(argument);
        if (address) shown = address;
        result = Show(address);
    } else if (name == "closeTryWnd") {
        std::lock_guard<std::mutex> lock(mutex_);
        visible_ = false;
    }
    Append({"main", name, shown, std::to_string(result)});
    return result;
}

int32_t WebWindow::Show(const char* address) {
    if (!address || !*address) return 0;
    std::string html;
    bool arrived = Fetched(address, &html);
    std::lock_guard<std::mutex> lock(mutex_);
    page_.url = address;
    page_.html = arrived ? html : std::string();
    visible_ = true;
    return arrived ? 1 : 0;
}

int32_t WebWindow::Act(const char* action, const char* argument) {
    std::string name = action ? action : "";
    std::string text = argument ? argument : "";
    if (name == "try") return Try(text);
    if (name == "buy") return Buy(text);
    if (name == "prefString") return ValueCommand("prefString", text, kGlyphoriaPrefValueCapacity);
    if (name == "langString") return ValueCommand("langString", text, kGlyphoriaLangValueCapacity);
    if (name == "setPrefString") return SetPref(text);
    if (name == "hostWnd") return Call("hostWnd", nullptr);
    if (name == "newWindow") return Call("doNewWindow", text.c_str());
    if (name == "call") {
        std::string command, value;
        bool has_value = false;
        SplitAssignment(text, &command, &value, &has_value);
        return Call(command.c_str(), has_value ? value.c_str() : nullptr);
    }
    if (name == "revert" || name == "homepage") {
        Page page = ShownPage();
        if (page.html.empty()) {
            Note(name + ": no page shown");
            return -1;
        }
        for (const PageLink& link : ParseLinks(page.html)) {
            if (link.attribute("id") != name) continue;
            std::string argument =
                name == "revert" ? link.attribute("data-revert") : link.attribute("href");
            return Call(name == "revert" ? "doRevert" : "doHomepage", argument.c_str());
        }
        Note(name + ": no such link on the page");
        return -1;
    }
    Note("unknown action " + name);
    return -1;
}

int32_t WebWindow::Try(const std::string& id) {
    Page page = ShownPage();
    if (page.html.empty()) {
        Note("try: no page shown");
        return -1;
    }
    for (const PageLink& link : ParseLinks(page.html)) {
        std::string argument = TryArgumentOf(link);
        if (argument.empty()) continue;
        if (link.attribute("data-id") == id || IdOfTryArgument(argument) == id)
            return Call("doTry", argument.c_str());
    }
    Note("try: no font " + id + " on the page");
    return -1;
}

int32_t WebWindow::Buy(const std::string& selector) {
    Page page = ShownPage();
    if (page.html.empty()) {
        Note("buy: no page shown");
        return -1;
    }
    std::string cart_url;
    for (const PageLink& link : ParseLinks(page.html))
        if (cart_url.empty() && (link.attribute("id") == "cart" || link.has_class("cart")))
            cart_url = ResolveLink(page.url, link.attribute("href"));
    std::string cart_html;
    if (cart_url.empty() || !Fetched(cart_url, &cart_html)) {
        Note("buy: no cart");
        return -1;
    }
    std::string chosen;
    if (selector.find("://") != std::string::npos) chosen = selector;
    for (const PageLink& link : ParseLinks(cart_html)) {
        if (!chosen.empty()) break;
        if (!link.has_class("download")) continue;
        std::string url = ResolveLink(cart_url, link.attribute("href"));
        if (selector.empty() || url.find(selector) != std::string::npos) chosen = url;
    }
    if (chosen.empty()) {
        Note("buy: no download link matches " + selector);
        return -1;
    }
    int32_t result = Call("doBuy", chosen.c_str());
    bool follow;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        follow = buy_follows_;
    }
    // The plug-in did not take the link: the window goes on with it itself.
    if (result == 0 && follow) Fetched(chosen, nullptr);
    return result;
}

int32_t WebWindow::ValueCommand(const char* command, const std::string& argument, size_t capacity) {
    GlyphoriaHostCallback host = callback();
    if (!host) {
        Note(std::string(command) + ": no callback");
        return -1;
    }
    std::string key, initial;
    SplitAssignment(argument, &key, &initial);
    std::vector<char> buffer(capacity + kCanarySize, kCanaryByte);
    std::memset(buffer.data(), 0, capacity);
    std::memcpy(buffer.data(), initial.data(), std::min(initial.size(), capacity - 1));
    GlyphoriaKeyValueArgs args{key.c_str(), buffer.data()};
    int32_t result = host(command, reinterpret_cast<intptr_t>(&args));
    size_t length = strnlen(buffer.data(), capacity);
    Append({"callback", command, key, std::to_string(result), std::string(buffer.data(), length)});
    for (size_t i = capacity; i < buffer.size(); ++i) {
        if (buffer[i] != kCanaryByte) {
            Note(std::string("overrun ") + command);
            break;
        }
    }
    if (length == capacity) Note(std::string("unterminated ") + command);
    return result;
}

int32_t WebWindow::SetPref(const std::string& argument) {
    GlyphoriaHostCallback host = callback();
    if (!host) {
        Note("setPrefString: no callback");
        return -1;
    }
    std::string key, value;
    SplitAssignment(argument, &key, &value);
    std::vector<char> writable(value.begin(), value.end());
    writable.push_back('\0');
    GlyphoriaKeyValueArgs args{key.c_str(), writable.data()};
    int32_t result = host("setPrefString", reinterpret_cast<intptr_t>(&args));
    Append({"callback", "setPrefString", key, std::to_string(result), value});
    return result;
}

int32_t WebWindow::Call(const char* command, const char* argument) {
    return CallRaw(command, reinterpret_cast<intptr_t>(argument), argument ? argument : "null");
}

int32_t WebWindow::CallRaw(const char* command, intptr_t argument,
                           const std::string& shown_argument) {
    GlyphoriaHostCallback host = callback();
    if (!host) {
        Note(std::string(command) + ": no callback");
        return -1;
    }
    int32_t result = host(command, argument);
    Append({"callback", command, shown_argument, std::to_string(result)});
    return result;
}

int32_t WebWindow::Control(const char* setting, const char* value) {
    std::string name = setting ? setting : "";
    std::string text = value ? value : "";
    std::lock_guard<std::mutex> lock(mutex_);
    if (name == "version") {
        version_ = static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
    } else if (name == "visible") {
        visible_ = text == "1";
    } else if (name == "caFile") {
        ca_file_ = text;
    } else if (name == "buyFollows") {
        buy_follows_ = text != "0";
    } else if (name == "clearRecord") {
        record_.clear();
    } else if (name == "reset") {
        callback_ = nullptr;
        version_ = kInterfaceVersion;
        visible_ = false;
        page_ = Page();
        ca_file_.clear();
        buy_follows_ = true;
        record_.clear();
    } else {
        return 0;
    }
    return 1;
}

}  // namespace glyphoria::testing::webwindow
