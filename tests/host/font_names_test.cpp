// The font files' name tables, read without a font library (the catalogue's
// source where fontconfig is missing): the names of a real face, and broken
// files that give no entry instead of reads past their end.
#include <gtest/gtest.h>

#include <string>

#include "host/core/font_catalog.h"
#include "host/core/font_list.h"
#include "tests/common/test_env.h"

namespace {

TEST(FontNameTable, RealFaceAndEveryTruncation) {
    const hostcore::InstalledFont* bold = hostcore::FindFontByPostScriptName("DejaVuSans-Bold");
    ASSERT_NE(nullptr, bold);
    const std::string bytes = glyphoria::testing::ReadFileBytes(bold->file);
    ASSERT_FALSE(bytes.empty());
    std::vector<hostcore::InstalledFont> faces = hostcore::ReadFontFileNames(bytes, "f.ttf");
    ASSERT_EQ(1u, faces.size());
    EXPECT_EQ("DejaVuSans-Bold", faces[0].postscript);
    EXPECT_EQ("DejaVu Sans", faces[0].family);
    EXPECT_EQ("Bold", faces[0].style);
    EXPECT_EQ("f.ttf", faces[0].file);
    EXPECT_EQ(0, faces[0].index);

    // Cut anywhere, the file gives the whole face or none.
    for (std::size_t length = 0; length < bytes.size(); length += 1 + length / 3) {
        std::vector<hostcore::InstalledFont> cut =
            hostcore::ReadFontFileNames(bytes.substr(0, length), "f.ttf");
        if (!cut.empty()) {
            EXPECT_EQ("DejaVuSans-Bold", cut[0].postscript);
        }
    }
}

TEST(FontNameTable, NotAFontGivesNothing) {
    const std::string collection_of_nothing("ttcf\0\1\0\0\xff\xff\xff\xff", 12);
    for (const std::string& bytes :
         {std::string(), std::string("GIF89a"), std::string("\0\1\0\0", 4),
          std::string("OTTO\0\x7f", 6), collection_of_nothing}) {
        EXPECT_TRUE(hostcore::ReadFontFileNames(bytes, "x").empty());
    }
}

}  // namespace
