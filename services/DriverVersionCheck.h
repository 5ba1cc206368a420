// Whether an installed driver file carries the version marker this installer puts in place.
#pragma once

// The marker: the string value OrvelVersion must read exactly "1.59".
constexpr const char* kVersionMarkerName = "OrvelVersion";
constexpr const char* kVersionMarkerValue = "1.59";

// 1 when the file exists and carries the marker; 0 otherwise, silently.
int CheckDriverFileVersion(const char* path);
