// The front document's selection as the host keeps it, and the selection
// objects plug-ins attach their suites to. At most one concrete selection is
// active: the layout selection (page items) or the text selection (a story
// range). The selection objects are made when first needed and live until
// DestroySelectionObjects (plug-in shutdown); their plug-in parts come from
// the add-ins of "abstract-selection", "layout-selection" and
// "text-selection".
#pragma once

#include <vector>

#include "host/core/model.h"

class ISelectionManager;

namespace hostcore {

class Document;

class HostBoss;

enum class SelectionKind { kNone, kLayout, kText };

// Replaces the layout selection (items that do not exist are dropped).
void SelectItems(const std::vector<UID>& items);
void AddToSelection(const std::vector<UID>& items);
void SelectText(UID story, TextIndex start, TextIndex end);
void ClearSelection();
SelectionKind ActiveSelectionKind();
// Selected page items that still exist, in the layout's order.
std::vector<UID> SelectedItems();
UID SelectedStory();

// nil without a front document.
HostBoss* AbstractSelection();
HostBoss* LayoutSelection();
HostBoss* TextSelection();
void DestroySelectionObjects();
// The abstract selection's manager interface, nil without a front document.
ISelectionManager* ActiveSelectionManager();
// The front document changed: the selection starts empty.
void ResetSelection();

// The extensions on the concrete selections hear of a changed document.
void NotifyDocumentChanged(Document* doc);

}  // namespace hostcore
