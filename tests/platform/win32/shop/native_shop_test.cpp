// The WinINet seam against the native test shop, which a CTest fixture
// starts beside Wine (scripts/native-shop): plain HTTP, and HTTPS with the
// shop's self-signed certificate, refused unless the seam is told to trust it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/net.h"

namespace {

namespace net = glyphoria::platform;

struct ShopInfo {
    std::string http, https, certificate;
};

// The shop's first lines, as the fixture saved them (Unix paths there are
// drive Z: here).
ShopInfo ReadShopInfo() {
    ShopInfo info;
    const char* file = std::getenv("GLYPHORIA_SHOP_INFO");
    if (!file) return info;
    std::ifstream in(file);
    std::string line;
    if (std::getline(in, line)) info.http = line;
    while (std::getline(in, line)) {
        if (line.rfind("https ", 0) == 0) info.https = line.substr(6);
        if (line.rfind("certificate ", 0) == 0) info.certificate = "Z:" + line.substr(12);
    }
    return info;
}

std::string ReadAll(net::InternetRequest* request) {
    std::string body;
    char buf[8192];
    for (;;) {
        std::size_t got = 0;
        net::NetRead read = net::ReadBlocking(request, buf, sizeof buf, &got);
        body.append(buf, got);
        if (read != net::kNetData) return read == net::kNetEnd ? body : std::string();
    }
}

TEST(NativeShop, ConfigurationOverHttp) {
    ShopInfo shop = ReadShopInfo();
    ASSERT_FALSE(shop.http.empty()) << "GLYPHORIA_SHOP_INFO names no running shop";
    net::SessionHandle session = net::OpenSession(nullptr);
    net::RequestHandle request =
        net::OpenAddress(session.get(), (shop.http + "/glyphoria/config.xml").c_str());
    ASSERT_TRUE(request);
    char type[128];
    ASSERT_TRUE(net::QueryContentType(request.get(), type, sizeof type));
    EXPECT_NE(std::string::npos, std::string(type).find("xml")) << type;
    std::string body = ReadAll(request.get());
    EXPECT_NE(std::string::npos, body.find("<")) << body;
}

// WinINet alone follows redirects without a cap; the seam stops after ten,
// as libcurl does on POSIX, and the chain's end is the archive itself.
TEST(NativeShop, RedirectsAreFollowedUpToTheCap) {
    ShopInfo shop = ReadShopInfo();
    ASSERT_FALSE(shop.http.empty());
    net::SessionHandle session = net::OpenSession(nullptr);
    auto body_of = [&](const std::string& mode, bool* opened) {
        net::RequestHandle request = net::OpenAddress(
            session.get(), (shop.http + "/download/" + mode + "/Fonts.zip?ids=1005").c_str());
        *opened = static_cast<bool>(request);
        return request ? ReadAll(request.get()) : std::string();
    };
    bool opened = false;
    const std::string archive = body_of("ok", &opened);
    ASSERT_TRUE(opened);
    ASSERT_EQ(0u, archive.compare(0, 2, "PK"));
    struct Case {
        const char* mode;
        bool opens;
    } cases[] = {{"redirect", true},
                 {"hops-1", true},
                 {"hops-10", true},
                 {"hops-11", false},
                 {"hops-30", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        std::string body = body_of(c.mode, &opened);
        EXPECT_EQ(c.opens, opened);
        EXPECT_TRUE(c.opens ? body == archive : body.empty()) << body.size() << " bytes";
    }
}

// WinINet's cookies are kept: the session the cart page starts reaches the
// download that needs it, opened by another session handle as a purchase
// opens it.
TEST(NativeShop, SessionCookieReachesTheDownload) {
    ShopInfo shop = ReadShopInfo();
    ASSERT_FALSE(shop.http.empty());
    const std::string download = shop.http + "/download/cookie/Fonts.zip?ids=1005";
    net::SessionHandle purchase = net::OpenSession("Kwen");
    net::RequestHandle before = net::OpenAddress(purchase.get(), download.c_str());
    ASSERT_TRUE(before);
    EXPECT_EQ(403, net::QueryStatusCode(before.get()));
    before.reset();
    net::SessionHandle page = net::OpenSession(nullptr);
    net::RequestHandle cart = net::OpenAddress(page.get(), (shop.http + "/cart").c_str());
    ASSERT_TRUE(cart);
    EXPECT_EQ(200, net::QueryStatusCode(cart.get()));
    cart.reset();
    net::RequestHandle after = net::OpenAddress(purchase.get(), download.c_str());
    ASSERT_TRUE(after);
    EXPECT_EQ(200, net::QueryStatusCode(after.get()));
    EXPECT_EQ(0u, ReadAll(after.get()).compare(0, 2, "PK"));
}

// By name: the certificate names "localhost" and the address 127.0.0.1, and
// Wine matches a host against the certificate's DNS names only.
std::string HttpsAddress(const ShopInfo& shop) {
    std::string address = shop.https + "/glyphoria/config.xml";
    std::size_t ip = address.find("127.0.0.1");
    if (ip != std::string::npos) address.replace(ip, 9, "localhost");
    return address;
}

// WinINet keeps a server's certificate verdict for the rest of the process,
// so the refusal and the trust are checked by separate runs of the program;
// the refusal runs after the trusting run, which must have taken the
// certificate out of the store again (tests/platform/win32/CMakeLists.txt).
TEST(NativeShopUntrusted, HttpsRefusedWithoutTheCertificateFile) {
    ShopInfo shop = ReadShopInfo();
    ASSERT_FALSE(shop.https.empty());
    net::SessionHandle session = net::OpenSession(nullptr);
    EXPECT_FALSE(net::OpenAddress(session.get(), HttpsAddress(shop).c_str()));
}

TEST(NativeShop, HttpsTrustsTheCertificateFile) {
    ShopInfo shop = ReadShopInfo();
    ASSERT_FALSE(shop.https.empty());
    const std::string address = HttpsAddress(shop);
    net::SessionHandle session = net::OpenSession(nullptr);
    net::SetTrustedCaFile(shop.certificate.c_str());
    net::RequestHandle request = net::OpenAddress(session.get(), address.c_str());
    ASSERT_TRUE(request);
    EXPECT_FALSE(ReadAll(request.get()).empty());
    request.reset();
    net::SetTrustedCaFile(nullptr);
}

}  // namespace
