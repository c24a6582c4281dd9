// Command sequence levels. Every command runs in a level of its own and every
// explicit sequence is a level; the first change of a document within a
// level snapshots the document for that level and every level around it.
// Closing the outermost level turns each changed document's snapshot into an
// undo step; abandoning a level puts its snapshots back.
#pragma once

#include <functional>
#include <string>

#include "host/sdk/commands.h"

namespace hostcore {

class Document;

// Runs fn as one command: its changes stay when it returns kSuccess and are
// undone otherwise. Outside any sequence it is one undo step named name.
ErrorCode RunCommand(const std::string& name, const std::function<ErrorCode()>& fn);

// Called by Document::Edit before the first change in each level.
void WillChange(Document* doc);
// Drops every snapshot of a document that is being closed.
void ForgetDocument(Document* doc);
int SequenceDepth();
// How often any sequence's state was asked for (GetState, State()), so
// tests see a plug-in read it where it has to.
int SequenceStateReads();

// Told after each outermost level that changed a document, and after each
// undo and redo.
void SetDocumentChangedObserver(std::function<void(Document*)> observer);
void TellDocumentChanged(Document* doc);

}  // namespace hostcore
