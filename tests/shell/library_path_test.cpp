// Where the web-window library is looked for: the module's path with its
// extension replaced, under both path styles.
#include <gtest/gtest.h>

#include <string>

#include "shell/library_path.h"

namespace glyphoria {
namespace {

TEST(LibraryPathTest, ReplacesOnlyTheFileNamesExtension) {
    struct Case {
        const char* module;
        char separator;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Plug-Ins\\Glyphoria.pln", '\\', ".dll", "C:\\Plug-Ins\\Glyphoria.dll"},
        {"C:\\Plug.Ins\\Glyphoria", '\\', ".dll", "C:\\Plug.Ins\\Glyphoria.dll"},
        {"C:\\Plug.Ins\\Glyphoria.x.pln", '\\', ".dll", "C:\\Plug.Ins\\Glyphoria.x.dll"},
        // A slash is no separator in the Windows form.
        {"C:\\a\\b/c.d/Glyphoria", '\\', ".dll", "C:\\a\\b/c.dll"},
        {"/opt/plug.ins/Glyphoria.pln", '/', ".so", "/opt/plug.ins/Glyphoria.so"},
        {"/opt/plug.ins/Glyphoria", '/', ".so", "/opt/plug.ins/Glyphoria.so"},
        {"/opt/plug-ins/.hidden", '/', ".so", "/opt/plug-ins/.so"},
        {"Glyphoria.pln", '/', ".so", "Glyphoria.so"},
        {"Glyphoria.", '/', ".so", "Glyphoria.so"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module);
        char out[512] = "junk";
        ASSERT_TRUE(WebWindowLibraryPath(c.module, out, sizeof out, c.separator, c.extension));
        EXPECT_STREQ(c.expected, out);
    }
}

TEST(LibraryPathTest, RefusesWhatDoesNotFitAndEmptyPaths) {
    char out[512] = "junk";
    EXPECT_FALSE(WebWindowLibraryPath("", out, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(WebWindowLibraryPath(nullptr, out, sizeof out));

    // 508 bytes of stem and ".so" fill the buffer exactly; one more does not fit.
    std::string stem = "/" + std::string(507, 'a');
    ASSERT_TRUE(WebWindowLibraryPath((stem + ".pln").c_str(), out, sizeof out, '/', ".so"));
    EXPECT_EQ(stem + ".so", out);
    EXPECT_FALSE(WebWindowLibraryPath((stem + "a.pln").c_str(), out, sizeof out, '/', ".so"));
    EXPECT_STREQ("", out);
}

}  // namespace
}  // namespace glyphoria
