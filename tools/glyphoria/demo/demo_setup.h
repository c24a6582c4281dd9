// What every demo run sets up around the host, whether the session is played
// in this process or shown in the layout window: the stand-in shop on
// 127.0.0.1 (plain HTTP), the preferences a vendor would hand a user (where
// the configuration lives, the sampler window's shortcut key, and anything a
// run adds), and at the end the shop's request list.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "testing/shop/shop.h"
#include "tools/glyphoria/demo/output_folder.h"

namespace glyphoria::demo {

// The key the preferences give the sampler window; the idle task binds it.
constexpr char kDemoShortcutKey = 'G';

// The shop, started; nil with *error set when it cannot listen.
std::unique_ptr<testing::shop::Shop> StartDemoShop(std::string* error);
// Writes the preferences file of the session's home ("General" section).
bool WriteDemoPreferences(const OutputFolder& folder, const testing::shop::Shop& shop,
                          const std::vector<std::pair<std::string, std::string>>& more = {});
// "#N METHOD TARGET -> STATUS" per request answered, into the folder's list.
void WriteShopRequests(testing::shop::Shop& shop, const OutputFolder& folder);

}  // namespace glyphoria::demo
