#include "testing/webwindow/web_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "testing/webwindow/http_fetch.h"
#include "testing/webwindow/page_links.h"

namespace glyphoria::testing::webwindow {

namespace {

constexpr char kTryScheme[] = "glyphoria://try?";

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

WebWindowLibrary& TheLibrary() {
    return WebWindow::Instance();
}

WebWindow::Page WebWindow::ShownPage() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return visible_ ? page_ : Page();
}

bool WebWindow::Fetched(const std::string& url, std::string* body, std::string* content_type) {
    std::string ca_file;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ca_file = ca_file_;
    }
    FetchResult result = Fetch(url, ca_file);
    channel_.Append({"fetch", url, result.ok ? std::to_string(result.status) : result.error,
                     result.content_type, std::to_string(result.body.size())});
    if (body) *body = std::move(result.body);
    if (content_type) *content_type = result.content_type;
    return result.ok && result.status < 400;
}

bool WebWindow::WindowVisible() {
    std::lock_guard<std::mutex> lock(mutex_);
    return visible_;
}

void WebWindow::CloseWindow() {
    std::lock_guard<std::mutex> lock(mutex_);
    visible_ = false;
}

int32_t WebWindow::ShowWindow(const char* address) {
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
    int32_t result = 0;
    if (channel_.ActOnCallback(name, text, &result)) return result;
    if (name == "try") return Try(text);
    if (name == "buy") return Buy(text);
    if (name == "newWindow") return channel_.Call("doNewWindow", text.c_str());
    if (name == "wait") {
        // The page arrives within "showTryWnd"; there is nothing to wait for.
        if (!ShownPage().html.empty()) return 1;
        channel_.Note("wait: no page shown");
        return -1;
    }
    if (name == "revert" || name == "homepage") {
        Page page = ShownPage();
        if (page.html.empty()) {
            channel_.Note(name + ": no page shown");
            return -1;
        }
        for (const PageLink& link : ParseLinks(page.html)) {
            if (link.attribute("id") != name) continue;
            std::string argument =
                name == "revert" ? link.attribute("data-revert") : link.attribute("href");
            return channel_.Call(name == "revert" ? "doRevert" : "doHomepage", argument.c_str());
        }
        channel_.Note(name + ": no such link on the page");
        return -1;
    }
    channel_.Note("unknown action " + name);
    return -1;
}

int32_t WebWindow::Try(const std::string& id) {
    Page page = ShownPage();
    if (page.html.empty()) {
        channel_.Note("try: no page shown");
        return -1;
    }
    for (const PageLink& link : ParseLinks(page.html)) {
        std::string argument = TryArgumentOf(link);
        if (argument.empty()) continue;
        if (link.attribute("data-id") == id || IdOfTryArgument(argument) == id)
            return channel_.Call("doTry", argument.c_str());
    }
    channel_.Note("try: no font " + id + " on the page");
    return -1;
}

int32_t WebWindow::Buy(const std::string& selector) {
    Page page = ShownPage();
    if (page.html.empty()) {
        channel_.Note("buy: no page shown");
        return -1;
    }
    std::string cart_url;
    for (const PageLink& link : ParseLinks(page.html))
        if (cart_url.empty() && (link.attribute("id") == "cart" || link.has_class("cart")))
            cart_url = ResolveLink(page.url, link.attribute("href"));
    std::string cart_html;
    if (cart_url.empty() || !Fetched(cart_url, &cart_html)) {
        channel_.Note("buy: no cart");
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
        channel_.Note("buy: no download link matches " + selector);
        return -1;
    }
    int32_t result = channel_.Call("doBuy", chosen.c_str());
    bool follow;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        follow = buy_follows_;
    }
    // The plug-in did not take the link: the window goes on with it itself.
    if (result == 0 && follow) Fetched(chosen, nullptr);
    return result;
}

int32_t WebWindow::Control(const char* setting, const char* value) {
    std::string name = setting ? setting : "";
    std::string text = value ? value : "";
    if (CommonControl(name, text)) return 1;
    std::lock_guard<std::mutex> lock(mutex_);
    if (name == "visible") {
        visible_ = text == "1";
    } else if (name == "caFile") {
        ca_file_ = text;
    } else if (name == "buyFollows") {
        buy_follows_ = text != "0";
    } else if (name == "reset") {
        ResetCommon();
        visible_ = false;
        page_ = Page();
        ca_file_.clear();
        buy_follows_ = true;
    } else {
        return 0;
    }
    return 1;
}

}  // namespace glyphoria::testing::webwindow
