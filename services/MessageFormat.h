// How message texts are put together; no Windows call, so it is tested directly.
#pragma once

#include "platform/String.h"
#include "platform/Win.h"

// printf-style formatting for the catalogue's texts, which use no conversion but %s:
// each %s takes the next of the given inserts (null ones are skipped, so a lone second
// insert fills the first %s), %% gives one per cent sign, and an insert without a %s
// is ignored. The result is as long as it needs to be.
String FormatInserts(const char* format, const char* first, const char* second);

// Eight lower-case hexadecimal digits with leading zeros, as "%08lx" writes them.
String Hex8(DWORD value);

// "text [0000007e]": the text, a blank and the code as eight lower-case hex digits.
String WithErrorCode(const String& text, DWORD code);
