// The Mac form of the message service: alerts through the platform's alert
// panel (one default button), keyed by the Mac string dictionary.
//
// One pending detail (the alert's informative text) is process-wide; every
// alert shows it and clears it, whatever the alert's kind. Before the panel
// runs the host process is brought to the front.
//
// Only ShowMessage and SetMessageDetail use a text as a format, and only a
// string-table text for a key the caller names. Outside texts (error
// descriptions, paths) are always shown as they are: a "%" in them is a
// percent sign.
#pragma once

#include <string>

#include "mac/seam/web_view.h"

namespace glyphoria::mac {

// The key's text (or the key) as a format for the arguments, cut at 511 bytes.
int ShowMessage(const char* key, ...);
void SetMessageDetail(const char* key, ...);
// The pending detail, as given; an empty text clears it.
void SetMessageDetailText(const std::string& text);
const std::string& PendingMessageDetail();
// An alert showing the text itself.
int ShowAlertText(const std::string& text);
// Logs the error, then shows its localised description as text.
int ShowError(const MacError& error);

}  // namespace glyphoria::mac
