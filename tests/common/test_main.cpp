// Main of every test program: gives the program a private home before any
// test runs and removes it afterwards.
#include <gtest/gtest.h>

namespace glyphoria::testing {
void InitTestHome();
void RemoveTestHome();
}  // namespace glyphoria::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    glyphoria::testing::InitTestHome();
    int rc = RUN_ALL_TESTS();
    glyphoria::testing::RemoveTestHome();
    return rc;
}
