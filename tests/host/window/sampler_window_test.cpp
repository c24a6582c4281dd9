// The layout window with the real module beside the web-window library over
// the real web engine (plugin-gui), against the stand-in shop: the menu
// entry and the shortcut open and close the sampler window, and what the
// engine clicks in the page changes the frames the pointer selected, which
// the window then shows as the host's own picture.
#include <dlfcn.h>

#include "host/app/plugin_loader.h"
#include "host/core/framework.h"
#include "host/core/selection.h"
#include "testing/shop/shop.h"
#include "testing/webwindow/webwindow_api.h"
#include "tests/common/test_env.h"
#include "window_fixture.h"

namespace windowtest {
namespace {

using glyphoria::testing::TestHome;
using glyphoria::testing::WriteFileBytes;

constexpr ActionID kToggle = 0x159842;

class SamplerWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        shop_ = std::make_unique<glyphoria::testing::shop::Shop>(
            glyphoria::testing::shop::ShopOptions{0, false});
        ASSERT_TRUE(shop_->Start());
        ASSERT_TRUE(
            WriteFileBytes(TestHome() + "/.config/Glyphoria.ini",
                           "[General]\r\nconfig=" + shop_->config_url() + "\r\nshortcut=G\r\n"));
        OpenDocumentFile(EXAMPLES_DIR "/demo.json");
        std::string error;
        ASSERT_TRUE(hostapp::LoadPlugInModule(GLYPHORIA_GUI_MODULE_DIR "/Glyphoria.pln", &error))
            << error;
        OpenWindow();
        Pump(100);  // the idle task binds the key
    }

    // The sampler window on screen, nil when none.
    GtkWindow* Sampler() const {
        GtkWindow* found = nullptr;
        GList* all = gtk_window_list_toplevels();
        for (GList* it = all; it; it = it->next)
            if (GTK_WINDOW(it->data) != window->Window() &&
                gtk_window_get_window_type(GTK_WINDOW(it->data)) == GTK_WINDOW_TOPLEVEL &&
                gtk_widget_get_visible(GTK_WIDGET(it->data)))
                found = GTK_WINDOW(it->data);
        g_list_free(all);
        return found;
    }

    int32_t Act(const char* action, const char* argument = nullptr) {
        void* library = dlopen(GLYPHORIA_GUI_MODULE_DIR "/Glyphoria.so", RTLD_NOW | RTLD_NOLOAD);
        EXPECT_NE(nullptr, library);
        auto act =
            reinterpret_cast<GlyphoriaWebWindowAct>(dlsym(library, "glyphoria_webwindow_act"));
        const int32_t result = act ? act(action, argument) : -2;
        dlclose(library);
        Settle();
        return result;
    }

    bool PageIsTheHostsPicture() {
        hostcore::ClearSelection();
        Settle();
        std::string error;
        cairo_surface_t* page = window->View().PagePicture(&error);
        cairo_surface_t* render = Render(window->View().Zoom());
        const bool same = page && render && Compare(render, page).count == 0;
        cairo_surface_destroy(page);
        cairo_surface_destroy(render);
        return same;
    }

    std::unique_ptr<glyphoria::testing::shop::Shop> shop_;
};

TEST_F(SamplerWindowTest, MenuEntryAndShortcutOpenAndCloseIt) {
    GtkWidget* entry = window->ActionItem(kToggle);
    ASSERT_NE(nullptr, entry);
    ASSERT_EQ(nullptr, Sampler());
    gtk_menu_item_activate(GTK_MENU_ITEM(entry));
    Settle();
    GtkWindow* sampler = Sampler();
    ASSERT_NE(nullptr, sampler);
    EXPECT_EQ(window->Window(), gtk_window_get_transient_for(sampler));
    OpenMenu("Glyphoria");
    EXPECT_TRUE(Checked(entry));

    PressKey(GDK_KEY_g);
    EXPECT_EQ(nullptr, Sampler());
    OpenMenu("Glyphoria");
    EXPECT_FALSE(Checked(entry));
    PressKey(GDK_KEY_g);
    EXPECT_NE(nullptr, Sampler());
    gtk_menu_item_activate(GTK_MENU_ITEM(entry));
    Settle();
    EXPECT_EQ(nullptr, Sampler());
}

TEST_F(SamplerWindowTest, TheEnginesClickTurnsTheSelectedFramesIntoPictures) {
    gtk_menu_item_activate(GTK_MENU_ITEM(window->ActionItem(kToggle)));
    ASSERT_EQ(1, Act("wait"));
    ClickFrame("headline");
    ClickFrame("body", true);
    const std::vector<UID> chosen = Selected();
    ASSERT_EQ(2u, chosen.size());

    EXPECT_EQ(0, Act("try", "1004"));
    std::vector<UID> pictures;
    for (const auto& [uid, node] : doc->Model().nodes)
        if (node.labels.count("Glyphoria")) pictures.push_back(uid);
    ASSERT_EQ(2u, pictures.size());
    for (UID u : chosen)
        EXPECT_EQ(nullptr, doc->Model().FindNode(u));  // replaced
    EXPECT_EQ(2u, shop_->log().WithPrefix("/render?").size());
    EXPECT_TRUE(PageIsTheHostsPicture());

    hostcore::SelectItems(pictures);
    EXPECT_EQ(0, Act("revert"));
    for (UID u : pictures)
        EXPECT_EQ(0u, doc->Model().FindNode(u)->labels.count("Glyphoria"));
    EXPECT_TRUE(PageIsTheHostsPicture());
}

}  // namespace
}  // namespace windowtest
