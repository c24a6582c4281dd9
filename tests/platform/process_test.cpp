// The running program's path: the folder programs look beside themselves in
// (the host program finds its window module there).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/path_style.h"
#include "platform/process.h"

namespace {

namespace platform = glyphoria::platform;

TEST(Process, ExecutablePathEndsWithTheFileNameAndFitsOrFails) {
    char path[4096], name[260];
    ASSERT_TRUE(platform::ExecutablePath(path, sizeof path));
    ASSERT_TRUE(platform::ExecutableFileName(name, sizeof name));
    const std::string full = path;
    ASSERT_GT(full.size(), std::strlen(name));
    EXPECT_EQ(full.substr(full.size() - std::strlen(name)), name);
    EXPECT_EQ(platform::kPathSeparator, full[full.size() - std::strlen(name) - 1]) << full;
    // One byte short of the path and its NUL: nothing, never a cut path.
    std::string small(full.size(), 'x');
    EXPECT_FALSE(platform::ExecutablePath(&small[0], full.size()));
    EXPECT_EQ('\0', small[0]);
}

}  // namespace
