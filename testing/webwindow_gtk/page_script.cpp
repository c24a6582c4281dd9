#include "testing/webwindow_gtk/page_script.h"

#include <memory>

#include "testing/webwindow_gtk/main_context_pump.h"

namespace glyphoria::testing::webwindow_gtk {

const char kClickTryScript[] = R"JS(
const idOf = (address) => new URLSearchParams(address.slice(address.indexOf('?') + 1)).get('id');
for (const link of document.querySelectorAll('a')) {
    const href = link.getAttribute('href') || '';
    if (link.dataset.id === id || (href.startsWith('glyphoria://try?') && idOf(href) === id)) {
        link.click();
        return true;
    }
}
return false;
)JS";

const char kClickSelectorScript[] = R"JS(
const link = document.querySelector(selector);
if (!link) return '';
link.click();
return link.href || '';
)JS";

const char kClickDownloadScript[] = R"JS(
for (const link of document.querySelectorAll('a.download')) {
    if (link.href.includes(part)) {
        link.click();
        return link.href;
    }
}
return '';
)JS";

const char kOpenNewWindowScript[] = R"JS(
const link = document.createElement('a');
link.href = address;
link.target = '_blank';
document.body.appendChild(link);
link.click();
link.remove();
return true;
)JS";

const char kPaintedScript[] = R"JS(
await new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
return true;
)JS";

namespace {

struct Pending {
    bool done = false;
    ScriptResult result;
};

// The engine may answer after the waiter gave up, so the answer goes to a
// holder that both share.
void OnScriptFinished(GObject* source, GAsyncResult* outcome, gpointer data) {
    auto* holder = static_cast<std::shared_ptr<Pending>*>(data);
    Pending& pending = **holder;
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source),
                                                                            outcome, &error);
    if (value) {
        pending.result.ran = true;
        if (jsc_value_is_boolean(value)) pending.result.truth = jsc_value_to_boolean(value);
        if (jsc_value_is_string(value)) {
            char* text = jsc_value_to_string(value);
            pending.result.text = text;
            g_free(text);
        }
        g_object_unref(value);
    } else {
        pending.result.error = error ? error->message : "no answer";
        g_clear_error(&error);
    }
    pending.done = true;
    delete holder;
}

}  // namespace

ScriptResult RunPageScript(WebKitWebView* view, const char* body,
                           const std::map<std::string, std::string>& arguments,
                           std::chrono::milliseconds limit) {
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
    for (const auto& [name, value] : arguments)
        g_variant_builder_add(&builder, "{sv}", name.c_str(), g_variant_new_string(value.c_str()));
    auto pending = std::make_shared<Pending>();
    webkit_web_view_call_async_javascript_function(view, body, -1, g_variant_builder_end(&builder),
                                                   nullptr, nullptr, nullptr, OnScriptFinished,
                                                   new std::shared_ptr<Pending>(pending));
    if (!PumpUntil([&] { return pending->done; }, limit)) {
        ScriptResult late;
        late.error = "the page did not answer in time";
        return late;
    }
    return pending->result;
}

}  // namespace glyphoria::testing::webwindow_gtk
