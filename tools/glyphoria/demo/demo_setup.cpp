#include "tools/glyphoria/demo/demo_setup.h"

#include <fstream>

namespace glyphoria::demo {

using testing::shop::Shop;
using testing::shop::ShopOptions;

std::unique_ptr<Shop> StartDemoShop(std::string* error) {
    ShopOptions options;
    options.https = false;
    auto shop = std::make_unique<Shop>(options);
    if (!shop->Start(error)) return nullptr;
    return shop;
}

bool WriteDemoPreferences(const OutputFolder& folder, const Shop& shop,
                          const std::vector<std::pair<std::string, std::string>>& more) {
    std::ofstream prefs(folder.prefs_file, std::ios::binary);
    prefs << "[General]\r\nconfig=" << shop.config_url() << "\r\nshortcut=" << kDemoShortcutKey
          << "\r\n";
    for (const auto& [key, value] : more)
        prefs << key << "=" << value << "\r\n";
    return static_cast<bool>(prefs);
}

void WriteShopRequests(Shop& shop, const OutputFolder& folder) {
    std::ofstream out(folder.shop_log_file);
    for (const auto& request : shop.log().Snapshot())
        out << "#" << request.sequence << " " << request.method << " " << request.target << " -> "
            << request.status << "\n";
}

}  // namespace glyphoria::demo
