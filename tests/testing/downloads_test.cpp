// The shop's font archives and the faults its download addresses play.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <future>
#include <thread>

#include "tests/common/test_env.h"
#include "tests/testing/standin_test_support.h"

namespace glyphoria::testing::standin {
namespace {

using shop::Shop;

class DownloadsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { shop_ = StartShop().release(); }
    static void TearDownTestSuite() {
        delete shop_;
        shop_ = nullptr;
    }

    static std::string Target(const std::string& mode, const std::string& query = "ids=1005") {
        return "/download/" + mode + "/My%20Fonts.zip" + (query.empty() ? "" : "?" + query);
    }

    static Shop* shop_;
};

Shop* DownloadsTest::shop_ = nullptr;

std::string RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, count);
    pclose(pipe);
    return output;
}

TEST_F(DownloadsTest, ModesAnswerWithTheirHeaders) {
    const std::string kQuoted = "attachment; filename=\"My Fonts.zip\"";
    struct Case {
        const char* mode;
        int status;
        const char* type;
        std::string disposition;  // "<none>": no header
        bool chunked;
    } cases[] = {
        {"ok", 200, "application/zip", kQuoted, false},
        {"octet", 200, "application/octet-stream", kQuoted, false},
        {"chunked", 200, "application/zip", kQuoted, true},
        {"type-params", 200, "application/zip; charset=binary", kQuoted, false},
        {"no-disposition", 200, "application/zip", "<none>", false},
        {"no-filename", 200, "application/zip", "attachment", false},
        {"unquoted", 200, "application/zip", "attachment; filename=My Fonts.zip", false},
        {"empty-name", 200, "application/zip", "attachment; filename=\"\"", false},
        {"traversal", 200, "application/zip", "attachment; filename=\"../evil.zip\"", false},
        {"absolute", 200, "application/zip", "attachment; filename=\"/tmp/evil.zip\"", false},
        {"drive", 200, "application/zip", "attachment; filename=\"C:\\x.zip\"", false},
        {"control", 200, "application/zip", "attachment; filename=\"bad\x01name\x1b\x7f.zip\"",
         false},
        {"error", 500, "text/html", "<none>", false},
        {"error-archive", 500, "application/zip", kQuoted, false},
        {"xfilename", 200, "application/zip", "attachment; xfilename=\"My Fonts.zip\"", false},
        {"blank-name", 200, "application/zip", "attachment; filename=\" \"", false},
        {"dot-name", 200, "application/zip", "attachment; filename=\".My Fonts.zip\"", false},
        {"device-name", 200, "application/zip", "attachment; filename=\"NUL.zip\"", false},
        {"trailing-dot", 200, "application/zip", "attachment; filename=\"My Fonts.zip.\"", false},
        {"inner-dots", 200, "application/zip", "attachment; filename=\"Sans..Bold.zip\"", false},
        // The test client decodes percent escapes in header values.
        {"encoded-name", 200, "application/zip",
         "attachment; filename*=UTF-8''Schrift\xC3\xA4.zip; filename=\"Schrift.zip\"", false},
        {"cookie", 403, "text/html; charset=utf-8", "<none>", false},
        {"html", 200, "text/html", "<none>", false},
        {"pdf", 200, "application/pdf", "inline; filename=\"Licence.pdf\"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        HttpAnswer answer = Get(shop_->base_url(), Target(c.mode));
        ASSERT_TRUE(answer.complete) << answer.error;
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.header("Content-Type"), c.type);
        EXPECT_EQ(answer.has_header("Content-Disposition"), c.disposition != "<none>");
        if (c.disposition != "<none>") {
            EXPECT_EQ(answer.header("Content-Disposition"), c.disposition);
        }
        EXPECT_EQ(answer.has_header("Content-Length"), !c.chunked);
        EXPECT_EQ(answer.header("Transfer-Encoding") == "chunked", c.chunked);
        bool archive = std::string(c.type).rfind("application/", 0) == 0 && c.status == 200 &&
                       std::string(c.type) != "application/pdf";
        EXPECT_EQ(answer.body.rfind("PK\x03\x04", 0) == 0, archive);
    }
}

TEST_F(DownloadsTest, LongNamesHaveExactlyTheAskedLength) {
    for (int length : {4, 5, 255, 256}) {
        SCOPED_TRACE(length);
        HttpAnswer answer = Get(shop_->base_url(), Target("long-" + std::to_string(length)));
        ASSERT_EQ(answer.status, 200);
        std::string header = answer.header("Content-Disposition");
        const std::string prefix = "attachment; filename=\"";
        ASSERT_EQ(header.rfind(prefix, 0), 0u);
        EXPECT_EQ(header.size() - prefix.size() - 1, static_cast<size_t>(length));
    }
    for (const char* bad : {"long-0", "long-2001", "long-x", "nonsense"})
        EXPECT_EQ(Get(shop_->base_url(), Target(bad)).status, 404) << bad;
    EXPECT_EQ(Get(shop_->base_url(), Target("ok", "ids=1001,4242")).status, 404);
}

TEST_F(DownloadsTest, ErrorStatusAndRedirectComeFromTheAddress) {
    EXPECT_EQ(Get(shop_->base_url(), Target("error", "status=403")).status, 403);
    HttpAnswer error_archive = Get(shop_->base_url(), Target("error-archive", "status=404"));
    EXPECT_EQ(error_archive.status, 404);
    EXPECT_EQ(error_archive.header("Content-Type"), "application/zip");
    EXPECT_EQ(Get(shop_->base_url(), Target("disposition", "value=inline%3B%20filename%3Dx.zip"))
                  .header("Content-Disposition"),
              "inline; filename=x.zip");
    // A name without escapes: the test client hands Location on decoded.
    HttpAnswer redirect = Get(shop_->base_url(), "/download/redirect/Fonts.zip?ids=1005");
    EXPECT_EQ(redirect.status, 302);
    EXPECT_EQ(redirect.header("Location"), shop_->base_url() + "/download/ok/Fonts.zip?ids=1005");
}

// Each hop names the next, one nearer the archive, with the name and query
// kept; following them all takes exactly N requests before the archive.
TEST_F(DownloadsTest, HopsModeRedirectsThatManyTimesBeforeTheArchive) {
    struct Case {
        const char* mode;
        const char* next;
    } cases[] = {
        {"hops-50", "hops-49"}, {"hops-11", "hops-10"}, {"hops-2", "hops-1"}, {"hops-1", "ok"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        HttpAnswer answer =
            Get(shop_->base_url(), "/download/" + std::string(c.mode) + "/Fonts.zip?ids=1005");
        EXPECT_EQ(answer.status, 302);
        EXPECT_EQ(answer.header("Location"),
                  shop_->base_url() + "/download/" + c.next + "/Fonts.zip?ids=1005");
    }
    for (const char* bad : {"hops-0", "hops-51", "hops-100", "hops-x", "hops-", "hops--1"})
        EXPECT_EQ(Get(shop_->base_url(), Target(bad)).status, 404) << bad;

    std::string target = "/download/hops-10/Fonts.zip?ids=1005";
    int redirects = 0;
    HttpAnswer answer = Get(shop_->base_url(), target);
    while (answer.status == 302 && redirects < 20) {
        ++redirects;
        target = answer.header("Location").substr(shop_->base_url().size());
        answer = Get(shop_->base_url(), target);
    }
    EXPECT_EQ(redirects, 10);
    ASSERT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, Get(shop_->base_url(), "/download/ok/Fonts.zip?ids=1005").body);
}

TEST_F(DownloadsTest, ArchiveHoldsTheFontsInAFolderWithTheirFileDates) {
    HttpAnswer answer = Get(shop_->base_url(), Target("ok", "ids=1001,1005,2001"));
    ASSERT_EQ(answer.status, 200);
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("fonts.zip"), answer.body));
    std::string listing = RunCommand("unzip -l '" + dir.file("fonts.zip") + "' 2>&1");
    ASSERT_NE(listing.find("GlyphoriaFonts/License.txt"), std::string::npos) << listing;
    for (const char* id : {"1001", "1005", "2001"}) {
        const shop::CatalogueFont* font = shop_->catalogue().Find(id);
        ASSERT_NE(font, nullptr);
        struct stat st {};
        ASSERT_EQ(stat(font->path.c_str(), &st), 0);
        struct tm utc {};
        gmtime_r(&st.st_mtime, &utc);
        char when[32];
        strftime(when, sizeof when, "%Y-%m-%d %H:%M", &utc);
        std::string line =
            std::to_string(st.st_size) + "  " + when + "   GlyphoriaFonts/" + font->file_name();
        EXPECT_NE(listing.find(line), std::string::npos) << line << "\n" << listing;
    }
    // Without ids: the OpenType fonts of the catalogue, no TrueType.
    HttpAnswer all = Get(shop_->base_url(), Target("ok", ""));
    ASSERT_TRUE(WriteFileBytes(dir.file("all.zip"), all.body));
    listing = RunCommand("unzip -l '" + dir.file("all.zip") + "' 2>&1");
    for (const shop::CatalogueFont& font : shop_->catalogue().fonts())
        EXPECT_EQ(listing.find(font.file_name()) != std::string::npos, font.opentype)
            << font.file_name();
    EXPECT_NE(RunCommand("unzip -tq '" + dir.file("all.zip") + "'").find("No errors"),
              std::string::npos);
}

TEST_F(DownloadsTest, DropAndHugeLengthEndTheBodyBeforeItsAnnouncedLength) {
    for (const char* mode : {"drop", "huge-length"}) {
        SCOPED_TRACE(mode);
        HttpAnswer answer = Get(shop_->base_url(), Target(mode));
        EXPECT_FALSE(answer.complete);
        EXPECT_EQ(answer.error.rfind("Read", 0), 0u) << answer.error;
    }
    std::string headers =
        RunCommand("curl -s -D - -o /dev/null '" + shop_->base_url() + Target("huge-length") + "'");
    EXPECT_NE(headers.find("Content-Length: 4294967295\r\n"), std::string::npos) << headers;
}

// "silent" sends a few bytes and then nothing; "cookie" wants the session
// that the cart page starts.
TEST_F(DownloadsTest, SilentBodyAndSessionCookie) {
    GetOptions impatient;
    impatient.read_timeout_seconds = 1;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Get(shop_->base_url(), Target("silent"), impatient).complete);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(Get(shop_->base_url(), "/cart").header("Set-Cookie"),
              "glyphoria_session=cart; Path=/");
    std::string signed_in = RunCommand(
        "curl -s -o /dev/null -w '%{http_code}' -b "
        "'glyphoria_session=cart' '" +
        shop_->base_url() + Target("cookie") + "'");
    EXPECT_EQ(signed_in, "200");
}

TEST_F(DownloadsTest, StallPausesTheBodyThenFinishes) {
    GetOptions impatient;
    impatient.read_timeout_seconds = 1;
    auto start = std::chrono::steady_clock::now();
    HttpAnswer timed_out = Get(shop_->base_url(), Target("stall", "ids=1005&seconds=3"), impatient);
    EXPECT_FALSE(timed_out.complete);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    HttpAnswer patient = Get(shop_->base_url(), Target("stall", "ids=1005&seconds=1"));
    ASSERT_TRUE(patient.complete) << patient.error;
    // Not EXPECT_EQ: a mismatch would print two archives.
    EXPECT_TRUE(patient.body == Get(shop_->base_url(), Target("ok")).body);
}

// "size=N" pads the archive to exactly N bytes and it stays a sound
// archive with the same fonts; "rate=N" paces it (a lower bound only: a
// busy machine may be slower still).
TEST_F(DownloadsTest, SizeAndRateMakeALargeSlowArchive) {
    const std::size_t kSize = 3 * 1000 * 1000;
    HttpAnswer padded = Get(shop_->base_url(), Target("ok", "ids=1005&size=3000000"));
    ASSERT_EQ(padded.status, 200);
    EXPECT_EQ(padded.body.size(), kSize);
    EXPECT_EQ(padded.header("Content-Length"), "3000000");
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("padded.zip"), padded.body));
    EXPECT_NE(RunCommand("unzip -tq '" + dir.file("padded.zip") + "'").find("No errors"),
              std::string::npos);
    const std::string listing = RunCommand("unzip -l '" + dir.file("padded.zip") + "'");
    EXPECT_NE(listing.find("GlyphoriaFonts/Cantarell-Regular.otf"), std::string::npos) << listing;
    EXPECT_NE(listing.find("GlyphoriaFonts/Padding.bin"), std::string::npos) << listing;

    const std::size_t whole = Get(shop_->base_url(), Target("ok", "ids=1005")).body.size();
    for (const char* mode : {"ok", "chunked"}) {
        SCOPED_TRACE(mode);
        auto start = std::chrono::steady_clock::now();
        HttpAnswer paced = Get(shop_->base_url(), Target(mode, "ids=1005&rate=100"));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ASSERT_TRUE(paced.complete) << paced.error;
        EXPECT_EQ(paced.body.size(), whole);
        // 100 KB/s less the 20 ms of credit a link's buffer may hold.
        EXPECT_GE(seconds, (static_cast<double>(whole) - 2000) / 100000) << whole;
    }
    for (const char* query : {"size=12", "size=2000000000", "size=-5", "rate=fast", "rate="}) {
        SCOPED_TRACE(query);
        EXPECT_EQ(Get(shop_->base_url(), Target("ok", std::string("ids=1005&") + query)).status,
                  std::string(query) == "size=12" ? 500 : 400);
    }
}

TEST(ShopLatencyTest, EveryRenderWaitsItsLatency) {
    shop::ShopOptions options;
    options.https = false;
    options.render_latency_ms = 300;
    std::unique_ptr<Shop> shop = StartShop(options);
    ASSERT_NE(shop, nullptr);
    for (const char* target : {"/render?imagetype=typeit&shopid=1001&Width=20&Height=10&TextSize=9",
                               "/render?imagetype=bad"}) {
        SCOPED_TRACE(target);
        auto start = std::chrono::steady_clock::now();
        HttpAnswer answer = Get(shop->base_url(), target);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
        EXPECT_EQ(answer.status, std::string(target).find("bad") == std::string::npos ? 200 : 400);
    }
}

TEST(ShopLifecycleTest, StopEndsAStalledDownloadAtOnce) {
    std::unique_ptr<Shop> shop = StartShop({0, false});
    ASSERT_NE(shop, nullptr);
    std::string base = shop->base_url();
    auto download = std::async(std::launch::async, [base] {
        GetOptions options;
        options.read_timeout_seconds = 30;
        return Get(base, "/download/stall/x.zip?ids=1005&seconds=10", options);
    });
    // Wait until the download is in its pause.
    ASSERT_TRUE(shop->log().WaitFor("/download", std::chrono::seconds(5), false).has_value());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto start = std::chrono::steady_clock::now();
    shop->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    HttpAnswer answer = download.get();
    EXPECT_FALSE(answer.complete);
}

TEST_F(DownloadsTest, HttpsListenerIsTrustedThroughItsCertificateFile) {
    ASSERT_FALSE(shop_->https_base_url().empty());
    ASSERT_TRUE(PathExists(shop_->certificate_path()));
    GetOptions trusted;
    trusted.ca_file = shop_->certificate_path();
    HttpAnswer answer = Get(shop_->https_base_url(), Target("ok"), trusted);
    ASSERT_TRUE(answer.complete) << answer.error;
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.header("Content-Type"), "application/zip");
    // The certificate is not trusted by default.
    GetOptions untrusted;
    untrusted.ca_file = "/dev/null";
    HttpAnswer refused = Get(shop_->https_base_url(), Target("ok"), untrusted);
    EXPECT_FALSE(refused.complete);
    std::vector<shop::LoggedRequest> logged = shop_->log().WithPrefix("/download/ok");
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.back().scheme, "https");
}

}  // namespace
}  // namespace glyphoria::testing::standin
