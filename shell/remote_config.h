// The remote configuration: a small XML document on the vendor's server
// whose child elements carry the current service addresses and one tuning
// factor, copied into the preferences before the sampler window opens.
//
// FetchRemoteConfiguration downloads the document from the preference
// "config" (else the built-in default address) under the progress window and
// takes "cartUrl", "mlSamplerUrl", "search", "homepage" and
// "sampleSizeFactor", in this order: a present, non-empty element of at most
// 255 bytes replaces the stored value, anything else leaves it; the four
// addresses only when they are http or https (support/web_address.h), a
// value that is not is logged and skipped. It then saves the preferences.
// After one success it does nothing for the rest of the run; a failure
// (unreachable, cancelled) is silent and the next call tries again. An answer
// that carries none of the five elements (a server's error page) is no
// configuration and counts as a failure.
#pragma once

namespace glyphoria {

void FetchRemoteConfiguration();

// True when the text carries at least one of the five elements, empty or not.
bool IsConfigurationDocument(const char* document);

// Takes the five keys from a document's text into the preferences (no save).
// Returns how many values were stored.
int ApplyRemoteConfiguration(const char* document);

}  // namespace glyphoria
