// The file name a Content-Disposition header value gives a download, read as
// RFC 6266 describes the header: a disposition type, then parameters
// separated by ";", each a token name, "=" and a token or a quoted string
// (backslash escapes one character), with blanks allowed around the
// separators. Parameter names are matched without regard to letter case;
// only the parameter named exactly "filename" or "filename*" names a file
// ("xfilename=" does not). "filename*" (RFC 8187: charset, language,
// percent-encoded bytes; UTF-8 or ISO-8859-1) wins over "filename" when it
// can be read, as the standard asks.
//
// A value that breaks the grammar (an unclosed quote, a parameter without
// "=", a name given twice) names no file: a header a server got wrong is no
// ground to write a file under some reading of it. A missing disposition
// type is forgiven (servers send "filename=..." alone).
//
// The name comes back as sent (UTF-8): whether it is safe to save under is
// download_name.h's question.
#pragma once

#include <string>

namespace glyphoria {

// True with the name in *name (possibly empty) when the value names one.
bool DispositionFileName(const char* value, std::string* name);

}  // namespace glyphoria
