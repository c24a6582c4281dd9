// The callback's commands as the web-window library sends them: exact words,
// null arguments, the value buffers' limits, preferences on disk.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/core/host_state.h"
#include "platform/codepage.h"
#include "shell/host_callback.h"
#include "shell/ids.h"
#include "support/limits.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "support/vendor_addresses.h"
#include "tests/shell/shell_fixture.h"

namespace glyphoria::shelltest {
namespace {

intptr_t Arg(const void* p) {
    return reinterpret_cast<intptr_t>(p);
}

class HostCallbackTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        WritePrefs({{"homepage", "http://example.test/home"}, {"search", "http://s.test/"}});
        StartPlugIn();
    }

    // The answer in a buffer of the capacity the library gives (its NUL
    // included), with guard bytes after it that must stay as they were.
    std::string Call(const char* command, const char* key, const char* initial = "",
                     size_t capacity = kPrefStringCapacity) {
        const std::string guard(8, '#');
        std::string buffer(capacity, '\0');
        std::strcpy(&buffer[0], initial);
        buffer += guard;
        KeyValueArgs args{key, &buffer[0]};
        EXPECT_EQ(0, HostCommandCallback(command, Arg(&args)));
        EXPECT_EQ(guard, buffer.substr(capacity)) << command << " wrote past its buffer";
        return buffer.c_str();
    }
};

TEST_F(HostCallbackTest, UnknownWordsAndOtherLetterCaseDoNothing) {
    const char* words[] = {"",           "dotry",   "DOTRY",   "doTry ",
                           "prefstring", "HostWnd", "version", "showTryWnd"};
    for (const char* word : words) {
        SCOPED_TRACE(word);
        char buffer[16] = "untouched";
        KeyValueArgs args{"search", buffer};
        EXPECT_EQ(0, HostCommandCallback(word, Arg(&args)));
        EXPECT_STREQ("untouched", buffer);
    }
    EXPECT_EQ(0, HostCommandCallback(nullptr, 0));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(HostCallbackTest, PrefStringCopiesTheStoredValueOrLeavesTheBuffer) {
    EXPECT_EQ("http://s.test/", Call("prefString", "search", "before"));
    EXPECT_EQ("before", Call("prefString", "noSuchKey", "before"));
    EXPECT_EQ("before", Call("prefString", "Search", "before"));  // keys are exact

    // A longer value is cut to what the library's 255 bytes hold with their
    // NUL: 254 bytes.
    ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "long", std::string(400, 'v').c_str()));
    EXPECT_EQ(std::string(254, 'v'), Call("prefString", "long"));

    // A value the library set longer than that, of three-byte characters:
    // cut before the character the bound splits (84 whole ones, 252 bytes).
    std::string euros;
    for (int i = 0; i < 100; ++i)
        euros += "\xe2\x82\xac";
    ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "euros", euros.c_str()));
    EXPECT_EQ(euros.substr(0, 252), Call("prefString", "euros"));
}

TEST_F(HostCallbackTest, LangStringGivesTheTextOrTheKeyWithinItsLimit) {
    EXPECT_EQ("Restore text frame", Call("langString", "restore"));
    EXPECT_EQ("noSuchKey", Call("langString", "noSuchKey"));
    // A key without entry stands for itself, cut as a table's text is, to
    // 255 bytes of UTF-8 between characters (127 two-byte ones), then in the
    // system's 8-bit code page into the library's 513 bytes.
    std::string key;
    for (int i = 0; i < 400; ++i)
        key += "\xc3\xa9";
    const std::string got = Call("langString", key.c_str(), "", kLangStringMaxLength + 1);
    if (platform::AnsiCodePage() == platform::kCodePageUtf8) {
        EXPECT_EQ(key.substr(0, 254), got);
    } else {
        // Windows in English (the Wine test prefix): one byte each.
        ASSERT_EQ(1252u, platform::AnsiCodePage());
        EXPECT_EQ(std::string(127, '\xe9'), got);
    }
}

TEST_F(HostCallbackTest, StringsThroughTheLibraryStayInsideItsBuffers) {
    RunMenu(kSamplerToggleAction);  // hands the callback to the library
    ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "long", std::string(400, 'v').c_str()));
    EXPECT_EQ(0, Act("langString", "restore"));
    std::string longKey(700, 'k');
    EXPECT_EQ(0, Act("langString", longKey.c_str()));
    EXPECT_EQ(0, Act("prefString", "long"));
    EXPECT_EQ(0, Act("prefString", "noSuchKey=kept"));
    // The library notes a write past a buffer ("overrun") or an answer
    // without its NUL ("unterminated").
    for (const std::string& note : RecordOf("note"))
        ADD_FAILURE() << note;
    const std::vector<std::string> calls = RecordOf("callback");
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ("langString\t" + longKey + "\t0\t" + longKey.substr(0, 255), calls[calls.size() - 3]);
    EXPECT_EQ("prefString\tlong\t0\t" + std::string(254, 'v'), calls[calls.size() - 2]);
    EXPECT_EQ("prefString\tnoSuchKey\t0\tkept", calls.back());
}

TEST_F(HostCallbackTest, SetPrefStringIsOnDiskBeforeItReturns) {
    KeyValueArgs args{"cartUrl", const_cast<char*>("http://cart.test/")};
    EXPECT_EQ(0, HostCommandCallback("setPrefString", Arg(&args)));
    EXPECT_EQ("http://cart.test/", StoredPref("cartUrl"));
    EXPECT_EQ("http://s.test/", StoredPref("search"));
}

TEST_F(HostCallbackTest, SetPrefStringRefusesValuesThatWouldInjectLines) {
    struct Case {
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"search", "http://x.test/\r\n[Other]\r\nsearch=evil"},
        {"search", "a\nb"},
        {"sea=rch", "x"},
        {"[General]", "x"},
        {"", "x"},
    };
    const std::string before = testing::ReadFileBytes(PrefsPath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        KeyValueArgs args{c.key, const_cast<char*>(c.value)};
        EXPECT_EQ(0, HostCommandCallback("setPrefString", Arg(&args)));
    }
    EXPECT_EQ(before, testing::ReadFileBytes(PrefsPath()));
    EXPECT_EQ("http://s.test/", Call("prefString", "search"));
}

TEST_F(HostCallbackTest, StringCommandsWithoutTheirRecordDoNothing) {
    const std::string before = testing::ReadFileBytes(PrefsPath());
    for (const char* word : {"prefString", "langString", "setPrefString"}) {
        SCOPED_TRACE(word);
        EXPECT_EQ(0, HostCommandCallback(word, 0));
        // Without a key the value buffer is not written: not even "search"'s
        // value, nor the key itself that "langString" would give.
        char buffer[8] = "kept";
        KeyValueArgs no_key{nullptr, buffer};
        EXPECT_EQ(0, HostCommandCallback(word, Arg(&no_key)));
        EXPECT_STREQ("kept", buffer);
        KeyValueArgs no_value{"search", nullptr};
        EXPECT_EQ(0, HostCommandCallback(word, Arg(&no_value)));
    }
    EXPECT_EQ(before, testing::ReadFileBytes(PrefsPath()));
}

TEST_F(HostCallbackTest, HomepageOpensTheStoredAddress) {
    EXPECT_EQ(0, HostCommandCallback("doHomepage", Arg("ignored")));
    KeyValueArgs args{"homepage", const_cast<char*>("http://other.test/")};
    HostCommandCallback("setPrefString", Arg(&args));
    EXPECT_EQ(0, HostCommandCallback("doHomepage", 0));
    EXPECT_EQ((std::vector<std::string>{"http://example.test/home", "http://other.test/"}), opened);
}

TEST_F(ShellTest, HomepageFallsBackToTheProductsWebSite) {
    StartPlugIn();
    EXPECT_EQ(0, HostCommandCallback("doHomepage", 0));
    // An empty stored address opens the product's site too, not nothing.
    KeyValueArgs args{"homepage", const_cast<char*>("")};
    HostCommandCallback("setPrefString", Arg(&args));
    EXPECT_EQ(0, HostCommandCallback("doHomepage", 0));
    EXPECT_EQ((std::vector<std::string>{Vendor().homepage, Vendor().homepage}), opened);
}

TEST_F(HostCallbackTest, NullArgumentsReachTheFlowsAsEmptyText) {
    hostcore::CloseAllDocuments();  // nothing to revert: "noselection"
    EXPECT_EQ(0, HostCommandCallback("doTry", 0));
    EXPECT_EQ(0, HostCommandCallback("doRevert", 0));
    EXPECT_EQ(0, HostCommandCallback("doBuy", 0));
    EXPECT_EQ(0, HostCommandCallback("doNewWindow", 0));
    // A try without a font is the page's fault: logged, nothing shown.
    EXPECT_NE(std::string::npos, LogText().find("try refused, no usable id: \"\"\r"));
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("Please select one or more text frames first!", messages[0].text);
}

}  // namespace
}  // namespace glyphoria::shelltest
