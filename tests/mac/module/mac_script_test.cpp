// The scripting entry's key chords: the words a script writes for a key, as
// the event the panel gets.
#include <gtest/gtest.h>

#include "mac/plugin/mac_script.h"

namespace glyphoria::mac {
namespace {

TEST(MacScript, KeyChords) {
    struct Case {
        const char* chord;
        bool ok;
        std::uint64_t flags;
        const char* key;
    } cases[] = {
        {"z", true, 0, "z"},
        {"ctrl+z", true, kCommandKeyMask, "z"},
        {"cmd+z", true, kCommandKeyMask, "z"},
        {"shift+ctrl+Z", true, kShiftKeyMask | kCommandKeyMask, "Z"},
        {"caps+ctrl+c", true, kCapsLockKeyMask | kCommandKeyMask, "c"},
        {"alt+x", true, kAlternateKeyMask, "x"},
        {"macctrl+x", true, kControlKeyMask, "x"},
        {"ä", true, 0, "ä"},
        {"ctrl+", false, 0, ""},
        {"", false, 0, ""},
        {"hyper+z", false, 0, ""},
        {"ctrl+zz", false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chord);
        PanelEvent event;
        EXPECT_EQ(c.ok, ParseKeyChord(c.chord, &event));
        if (!c.ok) continue;
        EXPECT_EQ(kEventKeyDown, event.type);
        EXPECT_EQ(c.flags, event.modifier_flags);
        EXPECT_EQ(c.key, event.characters_ignoring_modifiers);
    }
}

}  // namespace
}  // namespace glyphoria::mac
