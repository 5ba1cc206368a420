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

// "[0000007e]": a Windows error code as the messages and the log show it.
String BracketedCode(DWORD code);

// "text [0000007e]": the text, a blank and the bracketed code.
String WithErrorCode(const String& text, DWORD code);

// "1603": a number in decimal.
String Decimal(DWORD value);
