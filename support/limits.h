// The fixed sizes of the system, in one place.
//
// These are behaviour, not implementation details: a value longer than its
// buffer is cut (or refused) exactly at these sizes on every platform. No code
// may write past them; every copy into such a buffer is bounded.
#pragma once

#include <cstddef>

namespace glyphoria {

// Keys and values: 255 characters and a NUL.
constexpr std::size_t kValueBufferSize = 256;
constexpr std::size_t kValueMaxLength = 255;
// Paths and formatted messages.
constexpr std::size_t kPathBufferSize = 512;
constexpr std::size_t kMessageBufferSize = 512;
// A text sample record's query buffer (frame label, sampler request).
constexpr std::size_t kQueryBufferSize = 2048;
// One formatted log message.
constexpr std::size_t kLogMessageBufferSize = 8192;
// A log file larger than this is deleted when the log is opened.
constexpr long kLogSizeLimit = 100000;
// Longest XML tag the reader accepts.
constexpr std::size_t kMaxTagLength = 64;
// "langString" answers: at most this many bytes of text, then a NUL.
constexpr std::size_t kLangStringMaxLength = 512;
// "prefString" answers: the web-window library's buffer, its NUL included.
constexpr std::size_t kPrefStringCapacity = 255;
// Preferences store: free bytes kept before each write, and the growth step.
constexpr std::size_t kPrefsReserve = 512;
constexpr std::size_t kPrefsGrowStep = 8192;
// A transfer's window ticks every 10 ms; each tick reads at most this many
// bytes at a time, and keeps reading until nothing more has arrived or the
// tick has taken its budget. The rest of every tick is the host's: the bar
// is drawn and a click on cancel is seen between two ticks.
constexpr std::size_t kTransferChunk = 20000;
constexpr unsigned kTransferTickMs = 10;
constexpr unsigned kTransferTickBudgetMs = 6;
// Zero bytes a transfer buffer keeps after its content.
constexpr std::size_t kTransferSlack = 1000;
// Largest font file taken from an archive. An archive's declared sizes are not
// to be trusted (a few kilobytes can declare gigabytes); real OpenType fonts,
// even large CJK families, stay well below this.
constexpr std::size_t kMaxFontFileSize = 64u * 1024u * 1024u;
// What one font archive may do to the user's fonts folder. A shop's archive
// holds one family or a few, with a licence and a readme: tens of entries and
// rarely over 100 MB of fonts. Entries after the first kMaxArchiveEntries are
// not looked at (no archive can make the installer walk, log or ask about a
// million entries), and fonts stop being installed once they would take the
// archive's installed bytes over kMaxArchiveFontBytes.
constexpr std::size_t kMaxArchiveEntries = 1000;
constexpr std::size_t kMaxArchiveFontBytes = 256u * 1024u * 1024u;

}  // namespace glyphoria
