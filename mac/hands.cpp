#include "mac/hands.h"

#include "mac/buy_controller.h"
#include "mac/try_controller.h"

namespace glyphoria::mac {

Window* SamplerPanel() {
    TryController* c = TryController::instance();
    return c ? c->panel() : nullptr;
}
WebView* SamplerPage() {
    TryController* c = TryController::instance();
    return c ? c->webView() : nullptr;
}
Window* PurchasePanel() {
    BuyController* c = BuyController::running();
    return c ? c->panel() : nullptr;
}
WebView* PurchasePage() {
    BuyController* c = BuyController::running();
    return c ? c->webView() : nullptr;
}
Window* ProgressSheet() {
    BuyController* c = BuyController::running();
    return c ? c->progressSheet() : nullptr;
}

}  // namespace glyphoria::mac
