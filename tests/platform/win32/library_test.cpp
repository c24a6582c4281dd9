// Loading a module by a UTF-8 path: either separator, a name that does not
// exist, and exports found or not.
#include <gtest/gtest.h>

#include <string>

#include "platform/library.h"

namespace {

namespace platform = glyphoria::platform;

std::string WithBackslashes(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

TEST(Win32Library, LoadsByPathWithEitherSeparator) {
    const std::string native = GLYPHORIA_PROBE_MODULE;
    for (const std::string& path : {native, WithBackslashes(native)}) {
        SCOPED_TRACE(path);
        void* module = platform::LoadLibraryUtf8(path.c_str());
        ASSERT_NE(nullptr, module) << platform::LastLibraryError();
        EXPECT_NE(nullptr, platform::FindExport(module, "ProbeFindResource"));
        EXPECT_EQ(nullptr, platform::FindExport(module, "NoSuchEntry"));
        platform::FreeLibraryHandle(module);
    }
}

TEST(Win32Library, MissingModuleIsNullWithAReason) {
    EXPECT_EQ(nullptr, platform::LoadLibraryUtf8("Z:/no/such/folder/module.dll"));
    EXPECT_STRNE("", platform::LastLibraryError());
    EXPECT_EQ(nullptr, platform::LoadLibraryUtf8(""));
    EXPECT_EQ(nullptr, platform::FindExport(nullptr, "main"));
    platform::FreeLibraryHandle(nullptr);
}

}  // namespace
