// The layout window in this process, driven as a person drives it: real GDK
// events put into the window system's queue (pointer on the page, keys on
// the window), menus opened and their items activated, and the event loop
// run until the window has painted. A fresh document (the host tests' test
// model) and, when a test asks for it, the host tests' plug-in module.
// Tear-down closes the window (the plug-ins shut down with it), closes the
// documents and unloads the modules.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "host/core/document.h"
#include "host/window/layout_window.h"
#include "tests/host/plugin/test_plugin.h"

namespace windowtest {

// Pixels that differ between two pictures (colour only), and the box around
// them; offset places the second picture inside the first.
struct Difference {
    int count = 0;
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
};
Difference Compare(cairo_surface_t* a, cairo_surface_t* b, int offsetX = 0, int offsetY = 0);
// The host's own picture of the front document's first spread.
cairo_surface_t* Render(double zoom);

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the test plug-in module (before OpenWindow) and returns its counters.
    TestPlugInCounters* LoadTestPlugIn();
    // Replaces the test model by a document file (before OpenWindow).
    void OpenDocumentFile(const std::string& path);
    // Makes and shows the window, starts the plug-ins and waits for its
    // first paint.
    void OpenWindow();
    // Runs the loop until nothing is pending and the window painted.
    void Settle();
    // Runs the loop for a while (idle tasks run from it).
    void Pump(int milliseconds);

    UID Frame(const std::string& name) const;
    std::vector<UID> Selected() const;
    // The widget point of a point on the page (pasteboard points).
    void PagePoint(double x, double y, double* wx, double* wy) const;
    void ClickPage(double x, double y, bool shift = false);
    // A click in the middle of the named frame.
    void ClickFrame(const std::string& name, bool shift = false);
    void DragPage(double x0, double y0, double x1, double y1, bool shift = false);
    void PressKey(guint keyval, GdkModifierType modifiers = GdkModifierType(0));
    // Opens the menu as a click on its title does (its entries are asked
    // their state), and closes it again.
    void OpenMenu(const std::string& title);
    // An entry's text, sensitivity and check mark as shown.
    std::string Label(GtkWidget* item) const;
    bool Sensitive(GtkWidget* item) const;
    bool Checked(GtkWidget* item) const;
    GtkWidget* Item(const std::string& menu, size_t index) const;

    hostcore::Document* doc = nullptr;
    std::unique_ptr<hostwindow::LayoutWindow> window;
    int closeHandlerRuns = 0;

  private:
    void PutButton(GdkEventType type, double x, double y, guint state);
    void PutButtonOn(GtkWidget* widget, GdkEventType type, double x, double y, guint state);
    std::vector<void*> handles_;
};

}  // namespace windowtest
