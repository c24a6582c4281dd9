// The remote configuration: which values are taken, and when the document is
// fetched.
#include <gtest/gtest.h>

#include "shell/host_callback.h"
#include "shell/ids.h"
#include "shell/remote_config.h"
#include "support/log.h"
#include "support/prefs_store.h"
#include "tests/shell/shell_fixture.h"

namespace glyphoria::shelltest {
namespace {

std::string Pref(const char* key) {
    char value[256] = "<missing>";
    Prefs().GetString(kGeneralSection, key, value, sizeof value);
    return value;
}

TEST(RemoteConfigTest, TakesPresentNonEmptyValuesOfTheFiveKeys) {
    struct Case {
        const char* name;
        std::string document;
        const char* search;
        const char* homepage;
        int stored;
    };
    // A value of 255 bytes is taken whole; one byte more would have to be
    // cut into another address and is not taken at all.
    const std::string fits = "http://s.test/" + std::string(241, 'f');
    const std::string too_long = "http://h.test/" + std::string(242, 'h');
    const Case cases[] = {
        {"all",
         "<g><search>http://s/</search><homepage>https://h/</homepage><cartUrl>http://c/</cartUrl>"
         "<mlSamplerUrl>http://m/</mlSamplerUrl><sampleSizeFactor>2</sampleSizeFactor></g>",
         "http://s/", "https://h/", 5},
        {"only search", "<g><search>http://s/</search></g>", "http://s/", "old home", 1},
        {"empty homepage", "<g><homepage></homepage><search>http://s/</search></g>", "http://s/",
         "old home", 1},
        {"other letter case", "<G><SEARCH>HTTP://S/</SEARCH><HomePage>Https://H/</HomePage></G>",
         "HTTP://S/", "Https://H/", 2},
        {"other elements", "<g><config>http://x/</config><shortcut>Q</shortcut></g>", "old search",
         "old home", 0},
        {"a line break", "<g><search>http://a\r\nb=c</search></g>", "old search", "old home", 0},
        {"not a document", "", "old search", "old home", 0},
        {"longer than 255 bytes",
         "<g><search>" + fits + "</search><homepage>" + too_long + "</homepage></g>", fits.c_str(),
         "old home", 1},
        // Addresses are opened as pages: nothing but http and https.
        {"other schemes",
         "<g><search>javascript:alert(1)</search><homepage>file:///etc/passwd</homepage>"
         "<cartUrl>data:text/html,x</cartUrl><mlSamplerUrl>/render</mlSamplerUrl>"
         "<sampleSizeFactor>2</sampleSizeFactor></g>",
         "old search", "old home", 1},
        {"nearly http", "<g><search> http://s/</search><homepage>http:/h</homepage></g>",
         "old search", "old home", 0},
        {"no host", "<g><search>http://</search><homepage>https:///etc</homepage></g>",
         "old search", "old home", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "search", "old search"));
        ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "homepage", "old home"));
        ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "cartUrl", "old cart"));
        ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "mlSamplerUrl", "old renderer"));
        EXPECT_EQ(c.stored, ApplyRemoteConfiguration(c.document.c_str()));
        EXPECT_EQ(c.search, Pref("search"));
        EXPECT_EQ(c.homepage, Pref("homepage"));
        EXPECT_EQ("<missing>", Pref("config"));
        EXPECT_EQ("<missing>", Pref("shortcut"));
    }
    EXPECT_EQ("old cart", Pref("cartUrl"));
    EXPECT_EQ("old renderer", Pref("mlSamplerUrl"));
}

// Each skipped address is said in the log, with its control characters
// shown as "?" so that it cannot start a log line of its own.
TEST(RemoteConfigTest, SkippedAddressesAreLogged) {
    testing::TempDir logs;
    OpenLogInFolder(1, logs.path().c_str(), "");
    SetLogEcho(false);
    ApplyRemoteConfiguration("<g><homepage>javascript:a()\tb</homepage><search>S</search></g>");
    SetLogEcho(true);
    const std::string log = testing::ReadFileBytes(LogPath());
    OpenLogInFolder(0, "", "");
    EXPECT_NE(std::string::npos,
              log.find("config: search skipped, not an http or https address: S\r"));
    EXPECT_NE(
        std::string::npos,
        log.find("config: homepage skipped, not an http or https address: javascript:a()?b\r"));
}

class RemoteFetchTest : public ShellTest {
  protected:
    void Toggle() { ASSERT_TRUE(RunMenu(kSamplerToggleAction)); }
    void SetPref(const char* key, const std::string& value) {
        KeyValueArgs args{key, const_cast<char*>(value.c_str())};
        HostCommandCallback("setPrefString", reinterpret_cast<intptr_t>(&args));
    }
};

TEST_F(RemoteFetchTest, OnceAfterSuccessEvenWhenTheAddressChanges) {
    WritePrefs({{"config", shop->config_url()}, {"homepage", "http://old.test/"}});
    StartPlugIn();
    Toggle();
    EXPECT_EQ(1, ConfigFetches());
    EXPECT_EQ(shop->homepage_url(), StoredPref("homepage"));  // saved at once
    SetPref("config", shop->config_url() + "?only=search");
    Toggle();  // closes
    Toggle();  // opens again
    EXPECT_EQ(1, ConfigFetches());
}

TEST_F(RemoteFetchTest, AgainAfterAFailure) {
    WritePrefs({{"config", "http://127.0.0.1:1/glyphoria/config.xml"}});
    StartPlugIn();
    Toggle();
    EXPECT_EQ(1, MainCalls("showTryWnd"));  // the window opens all the same
    EXPECT_EQ("<missing>", StoredPref("search"));
    SetPref("config", shop->config_url());
    Toggle();
    Toggle();
    EXPECT_EQ(1, ConfigFetches());
    EXPECT_EQ(shop->sampler_page_url(), StoredPref("search"));
}

TEST_F(RemoteFetchTest, AnErrorPageIsNoConfigurationAndIsFetchedAgain) {
    WritePrefs({{"config", shop->config_url() + "?status=503"}});
    StartPlugIn();
    Toggle();
    EXPECT_EQ(1, ConfigFetches());
    EXPECT_EQ("<missing>", StoredPref("search"));
    SetPref("config", shop->config_url());
    Toggle();
    Toggle();
    EXPECT_EQ(2, ConfigFetches());
    EXPECT_EQ(shop->sampler_page_url(), StoredPref("search"));
}

TEST(RemoteConfigTest, ADocumentWithAnyOfTheFiveElementsIsAConfiguration) {
    EXPECT_TRUE(IsConfigurationDocument("<g><homepage></homepage></g>"));
    EXPECT_TRUE(IsConfigurationDocument("<G><SampleSizeFactor>2</SampleSizeFactor></G>"));
    EXPECT_FALSE(IsConfigurationDocument("<html><body>Service Unavailable</body></html>"));
    EXPECT_FALSE(IsConfigurationDocument(""));
}

TEST_F(RemoteFetchTest, AnEmptyHomepageElementKeepsTheStoredOne) {
    WritePrefs(
        {{"config", shop->config_url() + "?empty=homepage"}, {"homepage", "http://kept.test/"}});
    StartPlugIn();
    Toggle();
    EXPECT_EQ(1, ConfigFetches());
    EXPECT_EQ("http://kept.test/", StoredPref("homepage"));
    EXPECT_EQ(shop->cart_url().substr(0, shop->base_url().size()),
              StoredPref("cartUrl").substr(0, shop->base_url().size()));
}

}  // namespace
}  // namespace glyphoria::shelltest
