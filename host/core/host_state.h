// The host's process-wide state as the host program and tests drive it:
// open documents and the front document, the selection, the plug-in
// framework's objects. Plug-ins reach the same state only through the SDK
// interfaces. Everything here runs on one thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/core/model.h"

namespace hostcore {

class Document;

// The host owns the document; it becomes the front document.
Document* OpenDocument(DocModel model);
// Clears the selection when it is the front document; the front document
// becomes the most recently opened one left (or none).
void CloseDocument(Document* doc);
void CloseAllDocuments();
Document* FrontDocument();
void SetFrontDocument(Document* doc);
std::vector<Document*> OpenDocuments();

// What a view of the host shows moved: an open document's model (any edit,
// including one abandoned later, undo, redo, loading), the front document or
// the selection. The observer (one; an empty function removes it) is called
// inside the change, so it may only take note, e.g. queue a redraw.
void SetViewObserver(std::function<void()> observer);
void NoteViewChange();

}  // namespace hostcore
