// String tables from the module's resource section: the loader's choice of
// language, explicit languages, and the bytes handed out.
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/windows_api.h"
#include "tests/common/test_env.h"

namespace glyphoria::platform {
namespace {

using testing::ReadFileBytes;
using testing::ScopedLanguage;

constexpr unsigned short kLangFrench = 1036;
constexpr unsigned short kLangGermanAustria = 3079;

std::string Source(const char* name) {
    return ReadFileBytes(std::string(GLYPHORIA_RESOURCE_DIR) + "/" + name);
}

std::string Bytes(const ResourceBytes& found) {
    return std::string(reinterpret_cast<const char*>(found.data), found.size);
}

TEST(Win32Resources, EachLanguageHoldsItsOwnTable) {
    const std::string german = Source("MyStrings_D.xml");
    const std::string english = Source("MyStrings_E.xml");
    ASSERT_FALSE(german.empty());
    ASSERT_NE(german, english);
    struct Case {
        unsigned short language;
        const std::string* expected;  // null: no such version
    } cases[] = {
        {kLangGerman, &german},
        {kLangEnglishUS, &english},
        {kLangFrench, nullptr},
        {kLangGermanAustria, nullptr},  // exact match only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        ResourceBytes found;
        ASSERT_EQ(c.expected != nullptr,
                  FindModuleResourceLanguage("MyStrings", "xml", c.language, &found));
        if (!c.expected) continue;
        EXPECT_EQ(*c.expected, Bytes(found));  // the file itself, no padding
        // Text resources can be read as C strings.
        EXPECT_EQ(0, found.data[found.size]);
        EXPECT_EQ(0, found.data[found.size + 1]);
    }
}

TEST(Win32Resources, TheLoaderPicksTheInterfaceLanguage) {
    // For French, which the module lacks, the loader falls back (to the
    // user's own interface language before English).
    const bool german_fallback = testing::FallbackLanguage() == kLangGerman;
    struct Case {
        unsigned short interface_language;
        const char* table;
        unsigned short reported;
    } cases[] = {
        {kLangGerman, "MyStrings_D.xml", kLangGerman},
        {kLangEnglishUS, "MyStrings_E.xml", kLangEnglishUS},
        {kLangFrench, german_fallback ? "MyStrings_D.xml" : "MyStrings_E.xml",
         german_fallback ? kLangGerman : kLangEnglishUS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interface_language);
        ScopedLanguage language(c.interface_language);
        ResourceBytes found;
        ASSERT_TRUE(FindModuleResource("MyStrings", "xml", &found));
        EXPECT_EQ(Source(c.table), Bytes(found));
        EXPECT_EQ(c.reported, UserInterfaceLanguage());
    }
}

TEST(Win32Resources, NamesAndTypesIgnoreCase) {
    ResourceBytes lower, upper, mixed;
    ASSERT_TRUE(FindModuleResource("mystrings", "xml", &lower));
    ASSERT_TRUE(FindModuleResource("MYSTRINGS", "XML", &upper));
    ASSERT_TRUE(FindModuleResourceLanguage("MyStrings", "Xml", kLangEnglishUS, &mixed));
    EXPECT_EQ(lower.data, upper.data);
    EXPECT_EQ(Bytes(lower), Bytes(mixed));
}

TEST(Win32Resources, MissingResourcesLeaveTheResultAlone) {
    const unsigned char marker[] = "x";
    struct Case {
        const char* name;
        const char* type;
    } cases[] = {{"Prefs", "ini"}, {"MyStrings", "ini"}, {"NoSuchWindow", "xml"}, {nullptr, "xml"},
                 {"MyStrings", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        ResourceBytes found{marker, 1};
        EXPECT_FALSE(FindModuleResource(c.name, c.type, &found));
        EXPECT_FALSE(FindModuleResourceLanguage(c.name, c.type, kLangEnglishUS, &found));
        EXPECT_EQ(marker, found.data);
        EXPECT_EQ(1u, found.size);
    }
    EXPECT_FALSE(FindModuleResource("MyStrings", "xml", nullptr));
}

TEST(Win32Resources, ALoadedModuleSearchesItsOwnResources) {
    win32::ScopedModule probe(LoadLibraryA(GLYPHORIA_PROBE_MODULE));
    ASSERT_TRUE(probe);
    using Find = bool (*)(const char*, const char*, ResourceBytes*);
    auto find = reinterpret_cast<Find>(
        reinterpret_cast<void*>(GetProcAddress(probe.get(), "ProbeFindResource")));
    ASSERT_NE(nullptr, find);
    ResourceBytes found;
    ASSERT_TRUE(find("Probe", "xml", &found));
    EXPECT_EQ("<probe>only in the probe module</probe>\n", Bytes(found));
    // The program's own lookups never see the module's resources.
    EXPECT_FALSE(FindModuleResource("Probe", "xml", &found));
}

}  // namespace
}  // namespace glyphoria::platform
