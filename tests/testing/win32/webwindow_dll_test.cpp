// The web-window library as the Windows plug-in finds it: Glyphoria.dll,
// loaded by path, "main" looked up by name and called with the plain C
// convention; its page fetch goes over WinINet to a loopback server.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/library.h"
#include "tests/common/loopback_server.h"

namespace {

namespace platform = glyphoria::platform;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;

using MainEntry = std::int32_t (*)(const char* command, std::intptr_t argument);
using RecordEntry = std::size_t (*)(char* buffer, std::size_t capacity);

TEST(WebWindowDll, MainAnswersAndShowsAFetchedPage) {
    void* library = platform::LoadLibraryUtf8(GLYPHORIA_WEBWINDOW_PATH);
    ASSERT_NE(nullptr, library) << platform::LastLibraryError();
    auto entry = reinterpret_cast<MainEntry>(platform::FindExport(library, "main"));
    auto record = reinterpret_cast<RecordEntry>(
        platform::FindExport(library, "glyphoria_webwindow_record"));
    ASSERT_NE(nullptr, entry);
    ASSERT_NE(nullptr, record);

    EXPECT_EQ(28, entry("version", 0));
    EXPECT_EQ(0, entry("isTryWndVisible", 0));
    const std::string page = "<html><body>sampler</body></html>";
    ScriptedServer server({ScriptedServer::Send(
        ResponseHead("200 OK", {"Content-Type: text/html",
                                "Content-Length: " + std::to_string(page.size())}) +
        page)});
    const std::string address = server.url("/sampler");
    EXPECT_EQ(1, entry("showTryWnd", reinterpret_cast<std::intptr_t>(address.c_str())));
    EXPECT_EQ(1, entry("isTryWndVisible", 0));
    char text[4096];
    record(text, sizeof text);
    EXPECT_NE(std::string::npos, std::string(text).find(address)) << text;
    EXPECT_EQ(0, entry("closeTryWnd", 0));
    EXPECT_EQ(0, entry("isTryWndVisible", 0));
    EXPECT_EQ(0, entry(nullptr, 0));
    platform::FreeLibraryHandle(library);
}

}  // namespace
