// The controls of a window as the Mac forms see them: a tree of views, each
// with its kind, at most one text and its children. The platform form mirrors
// the window's views into it (and back); the headless form simply is it.
//
// Which text a node carries depends on its kind: a box's title, a button's
// title, a text field's string value, a menu item's title, a tab's label, a
// table column's header. Children are subviews, the items of a pop-up menu
// (a menu item's children are its submenu), the tabs of a tab view (a tab's
// children are its view), the columns of a table, a scroll view's document.
//
// Buttons and check boxes carry the action they are wired to; the headless
// user "clicks" them through Click(). A view that is not enabled takes no
// clicks, and neither does anything inside it: a sheet over a window
// disables the window's content view while it is up.
#pragma once

#include <boost/function.hpp>
#include <memory>
#include <string>
#include <vector>

namespace glyphoria::mac {

enum class ViewKind {
    kView,  // a plain container
    kBox,
    kButton,
    kCheckBox,
    kTextField,
    kPopUpButton,
    kMenuItem,
    kTabView,
    kTabItem,
    kTableView,
    kTableColumn,
    kScrollView,
    kProgressIndicator,
    kWebView,
};

struct ViewNode {
    ViewKind kind = ViewKind::kView;
    // Names the node for the nib loader and for tests; never shown.
    std::string identifier;
    std::string text;
    std::vector<std::unique_ptr<ViewNode>> children;

    // Check box state, 0 or 1.
    int state = 0;
    // Progress indicator.
    double min_value = 0;
    double max_value = 100;
    double value = 0;
    bool indeterminate = false;

    boost::function<void()> action;
    bool enabled = true;
    // The view this one is a child of; set by Add.
    ViewNode* parent = nullptr;

    ViewNode() = default;
    ViewNode(ViewKind k, std::string id, std::string t = {})
        : kind(k), identifier(std::move(id)), text(std::move(t)) {}

    ViewNode& Add(std::unique_ptr<ViewNode> child);
    // Depth-first search by identifier; null when absent.
    ViewNode* Find(const std::string& id);
    // This view and every view around it are enabled.
    bool IsEnabled() const;
    // Runs the wired action, as a click does; false when nothing is wired or
    // the control is not enabled.
    bool Click();
};

}  // namespace glyphoria::mac
