#include "tests/shell/native_shop.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/net.h"
#include "support/xml_reader.h"
#include "tests/common/test_env.h"

namespace glyphoria::shelltest {

namespace {

std::string Element(const std::string& document, const char* tag) {
    char value[512] = "";
    return GetElementText(document.c_str(), tag, value, sizeof value) > 0 ? value : "";
}

}  // namespace

bool NativeShop::Start() {
    const char* info = std::getenv("GLYPHORIA_SHOP_INFO");
    if (!info) return false;
    std::ifstream in(info);
    if (!std::getline(in, base_) || base_.empty()) return false;
    // The fixture keeps the shop's standard error beside its first lines.
    echo_path_ = info;
    const std::size_t slash = echo_path_.find_last_of("/\\");
    echo_path_ = echo_path_.substr(0, slash + 1) + "shop.err";

    testing::TempDir dir;
    const std::string file = dir.file("config.xml");
    if (!platform::DownloadToFile(config_url().c_str(), file.c_str(), platform::NetLimits{}))
        return false;
    const std::string document = testing::ReadFileBytes(file);
    search_ = Element(document, "search");
    cart_ = Element(document, "cartUrl");
    homepage_ = Element(document, "homepage");
    config_requests_at_start_ = ConfigRequests();
    return !search_.empty() && !cart_.empty() && !homepage_.empty();
}

int NativeShop::ConfigRequestsSinceStart() const {
    return ConfigRequests() - config_requests_at_start_;
}

int NativeShop::ConfigRequests() const {
    const std::string prefix = "/glyphoria/config.xml";
    // "shop: #N http GET /target [User-Agent: ...]", one line per request.
    std::istringstream in(testing::ReadFileBytes(echo_path_));
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        const std::size_t get = line.find(" GET ");
        if (line.rfind("shop: #", 0) == 0 && get != std::string::npos &&
            line.compare(get + 5, prefix.size(), prefix) == 0)
            ++count;
    }
    return count;
}

}  // namespace glyphoria::shelltest
