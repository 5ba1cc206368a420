// Taking Windows path names apart and putting them together. One rule for every caller:
// a component ends at a backslash, a slash or the colon of a drive ("C:name").
#pragma once

#include "platform/String.h"

// Past the last backslash, slash or drive colon: the file's own name.
const char* LastPathComponent(const char* path);

// `directory` and `name` with one backslash between them.
String JoinPath(const char* directory, const char* name);
