// Whether an installed driver file carries the version marker this installer puts in place.
#pragma once

#include "platform/String.h"

// The marker: the string value OrvelVersion must read exactly "1.59".
constexpr const char* kVersionMarkerName = "OrvelVersion";
constexpr const char* kVersionMarkerValue = "1.59";

// 1 when the file exists and carries the marker; 0 otherwise, silently. `found`, when
// given, says what was there for the log: the marker's value, or why there is none.
int CheckDriverFileVersion(const char* path, String* found = nullptr);
