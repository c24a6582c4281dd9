// Filling a record from a frame: a fresh text frame, a frame tried before,
// frames that cannot be tried.
#include "sampling/frame_fill.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/sampling/fake_document.h"

namespace glyphoria {
namespace {

using testing::FakeFrame;

FakeFrame TextFrame(const std::u16string& text = u"Hello World!\r") {
    FakeFrame frame;
    frame.story = {static_cast<std::int32_t>(text.size()), text, 24, 45, "Foo-Bold"};
    frame.fill = 12;
    frame.size = {200.6, 50.2};
    return frame;
}

TEST(FrameFill, RecordsAFreshTextFrameAfterTheTryArgument) {
    TextData record("scheme://try?id=5&psname=Foo");
    FakeFrame frame = TextFrame();
    ASSERT_EQ(FillFromFrame(record, frame), 1);
    EXPECT_EQ(record.frame().database, frame.ref.database);
    EXPECT_EQ(record.frame().uid, 42u);
    EXPECT_STREQ(record.BuildLabel(),
                 "id=5&psname=Foo&fontsize=24.000&textUID=45&ps0=Foo-Bold"
                 "&text=Hello%20World%21&fillUID=12&width=200.600&height=50.200");
}

TEST(FrameFill, FontNamesAreCutToWholeCharactersOf255Bytes) {
    struct Case {
        std::string postscript_name;
        std::string ps0;
    } cases[] = {
        {std::string(300, 'N'), std::string(255, 'N')},
        {std::string(254, 'N') + "\xC3\xA9", std::string(254, 'N')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.postscript_name.size());
        TextData record("id=1");
        FakeFrame frame = TextFrame();
        frame.story.postscript_name = c.postscript_name;
        ASSERT_EQ(FillFromFrame(record, frame), 1);
        EXPECT_EQ(record.GetString("ps0"), c.ps0);
    }
}

TEST(FrameFill, FramesWithoutUsableTextAreNotSampled) {
    struct Case {
        const char* name;
        StoryAccess access;
        std::int32_t length;
        bool sets_fill;
    } cases[] = {
        {"only the end marker", StoryAccess::kRead, 1, true},
        {"story not reachable", StoryAccess::kUnreachable, 5, true},
        {"no story", StoryAccess::kNoStory, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextData record("id=1");
        FakeFrame frame = TextFrame();
        frame.access = c.access;
        frame.story.length = c.length;
        EXPECT_EQ(FillFromFrame(record, frame), 0);
        EXPECT_FALSE(record.Has("text"));
        EXPECT_EQ(record.Has("fillUID"), c.sets_fill);
        EXPECT_FLOAT_EQ(record.GetReal("width"), 200.6f);
    }
}

TEST(FrameFill, ARetryKeepsTheFirstRecordingAndTakesTheNewId) {
    TextData record("id=77&from=page");
    FakeFrame image;  // no story, resized since the first try
    image.label = "id=5&fontsize=9.500&textUID=45&ps0=Foo-Bold&text=Hi&fillUID=12&width=200.000";
    image.access = StoryAccess::kNoStory;
    image.size = {999, 999};
    ASSERT_EQ(FillFromFrame(record, image), 1);
    EXPECT_EQ(image.reads, 0);
    EXPECT_STREQ(record.BuildLabel(),
                 "id=77&from=page&fontsize=9.500&textUID=45&ps0=Foo-Bold&text=Hi&fillUID=12"
                 "&width=200.000");

    // A label that could not be read back whole is not trusted.
    TextData other("id=1");
    image.label = "text=" + std::string(2048 - 5, 'x');
    EXPECT_EQ(FillFromFrame(other, image), 0);
}

TEST(FrameFill, OnlyUsableIdsAreTried) {
    struct Case {
        const char* argument;
        int expected;
    } cases[] = {
        {"id=Font-Name_2.otf", 1},
        {"id=0123456789012345678901234567890", 1},   // 31 bytes
        {"id=01234567890123456789012345678901", 0},  // 32 bytes
        {"psname=Foo", 0},
        {"id=", 0},
        {"id=a..b", 0},
        {"id=a/b", 0},
        {"id=a\\b", 0},
        {"id=a%2Fb", 0},
        {"id=\xC3\xA9", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        TextData record(c.argument);
        FakeFrame frame = TextFrame();
        EXPECT_EQ(FillFromFrame(record, frame), c.expected);
        EXPECT_EQ(frame.reads > 0, c.expected == 1);
    }
    // A re-try checks the new id, not the one in the label.
    TextData retry("id=../evil");
    FakeFrame image;
    image.label = "id=5&text=Hi";
    EXPECT_EQ(FillFromFrame(retry, image), 0);
}

TEST(FrameFill, ARecordThatWouldNotReadBackFromItsLabelIsNotTried) {
    // The label is the only copy of the text once the frame is gone. Keys the
    // page adds travel through it and can push it past 2047 bytes; "&" or "?"
    // in a value would split or shift the pairs when it is read back.
    const std::u16string text = std::u16string(255, u'&') + u"\r";  // 765 bytes encoded
    struct Case {
        std::string argument;
        std::string postscript_name;
        int expected;
    } cases[] = {
        {"id=1&note=" + std::string(900, 'n'), "Foo", 1},
        {"id=1&note=" + std::string(1500, 'n'), "Foo", 0},
        {"x://try?id=1&back=http://shop/?p=2", "Foo", 0},
        {"id=1", "Foo&Bar", 0},
        {"id=1", "Foo?Bar", 0},
        {"id=1", "Foo=Bar", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument.substr(0, 40) + " " + c.postscript_name);
        TextData record(c.argument.c_str());
        FakeFrame frame = TextFrame(text);
        frame.story.postscript_name = c.postscript_name;
        EXPECT_EQ(FillFromFrame(record, frame), c.expected);
    }
}

}  // namespace
}  // namespace glyphoria
