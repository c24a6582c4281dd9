// The system's error texts through FormatMessageW.
#include "platform/system_error.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {
namespace {

TEST(Win32SystemErrors, TextsAreTheSystemsOwnOnOneLine) {
    for (int code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_DISK_FULL}) {
        SCOPED_TRACE(code);
        std::string text = SystemErrorText(code);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(std::string::npos, text.find("Unknown error"));
        EXPECT_NE('\n', text.back());
        EXPECT_NE('\r', text.back());
        EXPECT_NE(' ', text.back());
    }
    EXPECT_NE(SystemErrorText(ERROR_FILE_NOT_FOUND), SystemErrorText(ERROR_ACCESS_DENIED));
}

TEST(Win32SystemErrors, CodeZeroIsTheLastError) {
    const std::string expected = SystemErrorText(ERROR_ACCESS_DENIED);
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(expected, SystemErrorText(0));
}

TEST(Win32SystemErrors, UnknownCodesAreNamedByNumber) {
    EXPECT_EQ("Unknown error 19088743", SystemErrorText(0x1234567));
}

}  // namespace
}  // namespace glyphoria::platform
