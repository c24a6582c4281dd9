// The web-window library as the plug-in meets it: loaded with dlopen by its
// path, driven through "main", calling back through the plug-in's callback.
#include <gtest/gtest.h>

#include <chrono>

#include "testing/shop/pages.h"
#include "testing/webwindow/webwindow_api.h"
#include "tests/testing/fake_plugin.h"
#include "tests/testing/standin_test_support.h"

namespace glyphoria::testing::standin {
namespace {

class WebWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        shop_ = StartShop().release();
        ASSERT_TRUE(library_.Load(GLYPHORIA_WEBWINDOW_PATH));
        main_ = library_.main;
        act_ = library_.act;
        record_ = library_.record;
        control_ = library_.control;
    }
    static void TearDownTestSuite() {
        delete shop_;
        shop_ = nullptr;
        // The library stays loaded, as it does in the plug-in.
    }

    void SetUp() override {
        ASSERT_TRUE(main_ && act_ && record_ && control_);
        ASSERT_EQ(control_("reset", nullptr), 1);
        FakePlugin::Get().Reset();
    }

    static intptr_t Arg(const char* text) { return LibraryEntries::Arg(text); }
    static intptr_t Callback() { return LibraryEntries::Callback(); }

    // Registers the fake plug-in and shows the shop's sampler page.
    void Open() {
        ASSERT_EQ(main_("version", Callback()), 28);
        std::string start = shop_->sampler_page_url();
        ASSERT_EQ(main_("showTryWnd", Arg(start.c_str())), 1);
    }

    static bool Recorded(const std::string& line) { return library_.Recorded(line); }
    static std::vector<std::string> RecordLines() { return library_.RecordLines(); }
    static std::vector<FakePlugin::Call> Calls() { return FakePlugin::Get().Calls(); }

    static shop::Shop* shop_;
    static LibraryEntries library_;
    static GlyphoriaWebWindowMain main_;
    static GlyphoriaWebWindowAct act_;
    static GlyphoriaWebWindowRecord record_;
    static GlyphoriaWebWindowControl control_;
};

shop::Shop* WebWindowTest::shop_ = nullptr;
LibraryEntries WebWindowTest::library_;
GlyphoriaWebWindowMain WebWindowTest::main_ = nullptr;
GlyphoriaWebWindowAct WebWindowTest::act_ = nullptr;
GlyphoriaWebWindowRecord WebWindowTest::record_ = nullptr;
GlyphoriaWebWindowControl WebWindowTest::control_ = nullptr;

TEST_F(WebWindowTest, AnswersTheCommandTableExactly) {
    ExpectTheCommandTable(library_, shop_->sampler_page_url());
    // The headless window asks the plug-in for nothing at all.
    EXPECT_TRUE(Calls().empty());
    // Its visibility can be set from outside.
    ASSERT_EQ(control_("visible", "1"), 1);
    EXPECT_EQ(main_("isTryWndVisible", 0), 1);
}

TEST_F(WebWindowTest, ShowFetchesTheStartPageAndRecordsIt) {
    shop_->log().Clear();
    Open();
    std::optional<shop::LoggedRequest> answered =
        shop_->log().WaitFor("/glyphoria", std::chrono::seconds(2));
    ASSERT_TRUE(answered.has_value());
    EXPECT_EQ(answered->target, "/glyphoria");
    EXPECT_EQ(answered->status, 200);
    EXPECT_EQ(shop_->log().WithPrefix("/glyphoria").size(), 1u);
    std::string start = shop_->sampler_page_url();
    EXPECT_TRUE(Recorded("main\tversion\tcallback\t28"));
    EXPECT_TRUE(Recorded("main\tshowTryWnd\t" + start + "\t1"));
    bool fetched = false;
    for (const std::string& line : RecordLines())
        fetched |= line.rfind("fetch\t" + start + "\t200\ttext/html", 0) == 0;
    EXPECT_TRUE(fetched);
    EXPECT_EQ(act_("wait", nullptr), 1);
    // An address that cannot be fetched still shows the window, with no page.
    EXPECT_EQ(main_("showTryWnd", Arg("http://127.0.0.1:1/glyphoria")), 0);
    EXPECT_EQ(main_("isTryWndVisible", 0), 1);
    EXPECT_EQ(act_("try", "1001"), -1);
    EXPECT_EQ(act_("wait", nullptr), -1);
}

TEST_F(WebWindowTest, PageActionsCallBackWithThePagesArguments) {
    Open();
    ExpectPageActionsReachThePlugin(library_, *shop_);
}

TEST_F(WebWindowTest, ActionsWithoutCallbackOrPageDoNothing) {
    EXPECT_EQ(act_("hostWnd", nullptr), -1);
    EXPECT_EQ(act_("prefString", "search"), -1);
    ASSERT_EQ(main_("version", Callback()), 28);
    EXPECT_EQ(act_("try", "1001"), -1);
    EXPECT_EQ(act_("buy", ""), -1);
    EXPECT_EQ(main_("version", 0), 28);  // clears the callback
    EXPECT_EQ(act_("hostWnd", nullptr), -1);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(WebWindowTest, RawCallsPassNullOrTheTextAsIs) {
    ASSERT_EQ(main_("version", Callback()), 28);
    FakePlugin::Get().answers["hostWnd"] = 4711;
    EXPECT_EQ(act_("hostWnd", nullptr), 4711);
    EXPECT_EQ(act_("call", "doTry"), 0);
    EXPECT_EQ(act_("call", "doTry="), 0);
    EXPECT_EQ(act_("call", "DOTRY=id=1&x=y"), 0);
    std::vector<FakePlugin::Call> calls = Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_TRUE(calls[0].null_argument);
    EXPECT_TRUE(calls[1].null_argument);
    EXPECT_FALSE(calls[2].null_argument);
    EXPECT_EQ(calls[2].argument, "");
    EXPECT_EQ(calls[3].command, "DOTRY");
    EXPECT_EQ(calls[3].argument, "id=1&x=y");
    EXPECT_TRUE(Recorded("callback\thostWnd\tnull\t4711"));
    EXPECT_TRUE(Recorded("callback\tdoTry\tnull\t0"));
}

TEST_F(WebWindowTest, ValueCommandsUseBuffersOfTheirCapacity) {
    ASSERT_EQ(main_("version", Callback()), 28);
    EXPECT_EQ(act_("setPrefString", "search=http://a/b?c=d"), 0);
    EXPECT_EQ(FakePlugin::Get().prefs["search"], "http://a/b?c=d");
    struct Case {
        const char* command;
        const char* argument;
        size_t bytes;      // the fake plug-in writes this many 'x' and a NUL (0: its real answer)
        std::string line;  // expected record line; "" for an overrun
    } cases[] = {
        {"prefString", "search", 0, "callback\tprefString\tsearch\t0\thttp://a/b?c=d"},
        // A key the plug-in does not know leaves the buffer as it was.
        {"prefString", "missing=untouched", 0, "callback\tprefString\tmissing\t0\tuntouched"},
        {"langString", "noInternet", 0, "callback\tlangString\tnoInternet\t0\ttext of noInternet"},
        {"prefString", "key", kGlyphoriaPrefValueCapacity - 1,
         "callback\tprefString\tkey\t0\t" + std::string(kGlyphoriaPrefValueCapacity - 1, 'x')},
        {"langString", "key", kGlyphoriaLangValueCapacity - 1,
         "callback\tlangString\tkey\t0\t" + std::string(kGlyphoriaLangValueCapacity - 1, 'x')},
        {"prefString", "key", kGlyphoriaPrefValueCapacity, ""},  // its NUL one past
        {"langString", "key", kGlyphoriaLangValueCapacity, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.argument + " " + std::to_string(c.bytes));
        control_("clearRecord", nullptr);
        FakePlugin::Get().write_bytes = c.bytes;
        EXPECT_EQ(act_(c.command, c.argument), 0);
        EXPECT_EQ(Recorded(std::string("note\toverrun ") + c.command), c.line.empty());
        if (!c.line.empty()) {
            EXPECT_TRUE(Recorded(c.line));
        }
    }
}

TEST_F(WebWindowTest, BuyHandsTheDownloadToThePluginAndFollowsItWhenRefused) {
    Open();
    std::string link = shop_->base_url() + "/download/ok/GlyphoriaFonts.zip?ids=";
    struct Case {
        const char* selector;
        int32_t answer;
        bool followed;
        const char* passed_contains;
    } cases[] = {
        {"", 1, false, "/download/ok/"},
        {"", 0, true, "/download/ok/"},
        {"/download/chunked/", 0, true, "/download/chunked/GlyphoriaFonts.zip"},
        {"/download/pdf/", 1, false, "/download/pdf/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.selector) + " answer " + std::to_string(c.answer));
        FakePlugin::Get().Reset();
        FakePlugin::Get().answers["doBuy"] = c.answer;
        control_("clearRecord", nullptr);
        shop_->log().Clear();
        EXPECT_EQ(act_("buy", c.selector), c.answer);
        std::vector<FakePlugin::Call> calls = Calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].command, "doBuy");
        EXPECT_EQ(calls[0].argument.rfind(shop_->base_url(), 0), 0u);
        EXPECT_NE(calls[0].argument.find(c.passed_contains), std::string::npos)
            << calls[0].argument;
        EXPECT_EQ(shop_->log().WithPrefix("/download").size(), c.followed ? 1u : 0u);
    }
    // An address as selector is used as it is.
    FakePlugin::Get().Reset();
    std::string direct = shop_->download_url("octet");
    EXPECT_EQ(act_("buy", direct.c_str()), 0);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].argument, direct);
    EXPECT_EQ(act_("buy", "no-such-link"), -1);
}

TEST_F(WebWindowTest, FetchesOverHttpsWithTheShopsCertificate) {
    ASSERT_EQ(control_("caFile", shop_->certificate_path().c_str()), 1);
    ASSERT_EQ(main_("version", Callback()), 28);
    std::string start = shop_->https_base_url() + "/glyphoria";
    EXPECT_EQ(main_("showTryWnd", Arg(start.c_str())), 1);
    FakePlugin::Get().answers["doTry"] = 0;
    EXPECT_EQ(act_("try", "2001"), 0);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].argument.rfind("id=2001&", 0), 0u);
}

}  // namespace
}  // namespace glyphoria::testing::standin
