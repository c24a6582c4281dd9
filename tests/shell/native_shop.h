// The shop the Windows shell tests talk to: the native stand-in shop that a
// CTest fixture starts beside Wine (scripts/native-shop), found through
// GLYPHORIA_SHOP_INFO. It answers the addresses the in-process shop of the
// native build answers (from its own configuration document) and counts the
// configuration requests it echoed since Start, from the fixture's copy of its standard
// error. Start returns false when no shop is running or it does not answer.
//
// The echo is the shop's for all programs: tests that count must not overlap
// with others that fetch the same address (they hold one resource lock).
#pragma once

#include <string>

namespace glyphoria::shelltest {

class NativeShop {
  public:
    bool Start();

    std::string base_url() const { return base_; }
    std::string config_url() const { return base_ + "/glyphoria/config.xml"; }
    std::string sampler_page_url() const { return search_; }
    std::string cart_url() const { return cart_; }
    std::string homepage_url() const { return homepage_; }

    // Requests for the configuration document since Start.
    int ConfigRequestsSinceStart() const;

  private:
    int ConfigRequests() const;

    std::string base_, search_, cart_, homepage_;
    std::string echo_path_;
    int config_requests_at_start_ = 0;
};

}  // namespace glyphoria::shelltest
