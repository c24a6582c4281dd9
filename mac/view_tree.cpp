#include "mac/seam/view_tree.h"

namespace glyphoria::mac {

ViewNode& ViewNode::Add(std::unique_ptr<ViewNode> child) {
    child->parent = this;
    children.push_back(std::move(child));
    return *children.back();
}

ViewNode* ViewNode::Find(const std::string& id) {
    if (identifier == id) return this;
    for (auto& child : children)
        if (ViewNode* found = child->Find(id)) return found;
    return nullptr;
}

bool ViewNode::IsEnabled() const {
    for (const ViewNode* view = this; view; view = view->parent)
        if (!view->enabled) return false;
    return true;
}

bool ViewNode::Click() {
    if (!action || !IsEnabled()) return false;
    // A copy: the action may rewire or remove this very control.
    boost::function<void()> run = action;
    run();
    return true;
}

}  // namespace glyphoria::mac
