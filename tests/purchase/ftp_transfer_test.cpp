// ftp:// addresses (scheme kind 1) against a real FTP server on loopback,
// on both forms: libcurl here, WinINet under Wine. The ftp_server fixture
// (scripts/ftp-server) starts the server and GLYPHORIA_FTP_INFO names its
// address and the folder it serves; each test puts its own files there.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/net.h"
#include "platform/progress.h"
#include "purchase/transfer.h"
#include "support/limits.h"
#include "support/string_table.h"
#include "tests/common/test_env.h"

#ifdef _WIN32
#include "platform/win32/windows_api.h"
#endif

namespace {

using glyphoria::platform::NetFailure;
using glyphoria::platform::ProgressWindow;

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('A' + (i * 11 + i / 53) % 26);
    return s;
}

// Whether the seam knows a file's length from the size query. libcurl and
// Windows answer with the server's SIZE; Wine's FtpGetFileSize answers 0 for
// every file, and the Windows seam reads a 0 as no answer (an empty file's
// too).
bool SizeKnown(const std::string& content) {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    return !wine && !content.empty();
#else
    (void)content;
    return true;
#endif
}

struct FtpTransfer : ::testing::Test {
    void SetUp() override {
        const char* info = std::getenv("GLYPHORIA_FTP_INFO");
        if (!info)
            GTEST_SKIP() << "GLYPHORIA_FTP_INFO is not set: run through ctest, whose "
                            "ftp_server fixture starts the FTP server";
        std::ifstream in(info);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("address ", 0) == 0) address_ = line.substr(8);
            if (line.rfind("root ", 0) == 0) root_ = line.substr(5);
        }
        ASSERT_FALSE(address_.empty() || root_.empty()) << info << " names no running server";
#ifdef _WIN32
        root_ = "Z:" + root_;  // the build machine's file system under Wine
#endif
        glyphoria::LoadStrings();
    }
    void TearDown() override {
        glyphoria::platform::SetProgressHook(nullptr);
        for (const std::string& file : put_)
            std::remove(file.c_str());
    }
    // The address of a new file on the server.
    std::string Put(const std::string& name, const std::string& content) {
        put_.push_back(root_ + "/" + name);
        EXPECT_TRUE(glyphoria::testing::WriteFileBytes(put_.back(), content));
        return address_ + "/" + name;
    }

    std::string address_, root_;
    std::vector<std::string> put_;
};

// The seam: no HTTP status, the length from the server's answer to the size
// query, the content in full.
TEST_F(FtpTransfer, TheSizeQueryAnswersTheFilesLength) {
    struct Case {
        std::string content;
        std::string address;
    } cases[] = {{Pattern(70001), ""}, {"", ""}};
    cases[0].address = Put("seam.bin", cases[0].content);
    cases[1].address = Put("seam-empty.bin", cases[1].content);
    glyphoria::platform::SessionHandle session = glyphoria::platform::OpenSession(nullptr);
    ASSERT_TRUE(session);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        glyphoria::platform::NetError error;
        glyphoria::platform::RequestHandle request = glyphoria::platform::OpenAddress(
            session.get(), c.address.c_str(), glyphoria::platform::kDefaultNetLimits, &error);
        ASSERT_TRUE(request) << static_cast<int>(error.failure);
        EXPECT_EQ(0, glyphoria::platform::QueryStatusCode(request.get()));
        glyphoria::platform::ContentLength length =
            glyphoria::platform::QueryContentLength(request.get());
        const bool known = SizeKnown(c.content);
        EXPECT_EQ(known, length.known);
        EXPECT_EQ(known ? c.content.size() : 0u, length.bytes);
        // One byte more than there is: the read ends with the file.
        std::string got(c.content.size() + 1, '\0');
        std::size_t n = 0;
        EXPECT_EQ(glyphoria::platform::kNetEnd,
                  glyphoria::platform::ReadBlocking(request.get(), &got[0], got.size(), &n));
        got.resize(n);
        EXPECT_EQ(c.content.size(), got.size());
        EXPECT_TRUE(c.content == got);
    }
}

// The transfer asks for the size (kind 1), so the bar's range is the file's
// length where the size query answers (0, no length, where it does not);
// either way the buffer holds the file exactly, then the zero slack.
TEST_F(FtpTransfer, TheTransferTakesItsRangeFromTheSizeQuery) {
    struct Case {
        std::string content;
        std::string address;
    } cases[] = {{Pattern(100000), ""}, {"", ""}};
    cases[0].address = Put("transfer.bin", cases[0].content);
    cases[1].address = Put("transfer-empty.bin", cases[1].content);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(glyphoria::kSchemeFtp, glyphoria::SchemeKindOf(c.address.c_str()));
        std::uint64_t range = 1, position = 0;
        glyphoria::platform::SetProgressHook([&](ProgressWindow& w) {
            range = w.range();
            position = w.position();
        });
        std::size_t size = 1;
        glyphoria::platform::NetError error;
        char* data = glyphoria::DownloadUrl(c.address.c_str(), &size, "loading", &error);
        ASSERT_NE(nullptr, data) << static_cast<int>(error.failure);
        EXPECT_EQ(NetFailure::kNone, error.failure);
        EXPECT_EQ(SizeKnown(c.content) ? c.content.size() : 0u, range);
        EXPECT_EQ(c.content.size(), position);
        EXPECT_EQ(c.content.size(), size);
        EXPECT_TRUE(c.content == std::string(data, size));
        EXPECT_EQ(std::string(glyphoria::kTransferSlack, '\0'),
                  std::string(data + size, glyphoria::kTransferSlack));
        std::free(data);
    }
}

TEST_F(FtpTransfer, AMissingFileIsNoBuffer) {
    std::size_t size = 7;
    glyphoria::platform::NetError error;
    char* data =
        glyphoria::DownloadUrl((address_ + "/no-such-file.bin").c_str(), &size, "loading", &error);
    EXPECT_EQ(nullptr, data);
    EXPECT_NE(NetFailure::kNone, error.failure);
    std::free(data);
}

}  // namespace
