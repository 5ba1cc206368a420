// The host build copies SDK constants and structure layouts by hand
// (platform/host/SdkValues.def). This file holds that list against the real SDK headers,
// with the same definitions the program sees (platform/Win.h), so that a value copied
// wrongly stops the win32 and win64 builds instead of letting the unit tests pass
// against a Windows that does not exist.
//
// Only static_asserts: nothing here becomes code or data. cmake/Windows.cmake compiles
// the file as an object library of its own that Vantinst waits for but does not link,
// so the shipped exe stays byte for byte what it was.
#include "platform/Win.h"

#include <setupapi.h>  // ERROR_NO_SUCH_DEVINST is setupapi's, not winerror's

#include <cstddef>

namespace sdk_values {

constexpr bool SameText(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

#define SDK_VALUE(Type, Name, Value) \
    static_assert(Name == (Value), "platform/host/SdkValues.def: " #Name " is not the SDK's value");
#define SDK_TEXT(Name, Text) \
    static_assert(SameText(Name, Text), "platform/host/SdkValues.def: " #Name " is not the SDK's text");
#define SDK_SIZE(Struct, Size) \
    static_assert(sizeof(Struct) == (Size), "platform/host/SdkValues.def: " #Struct " is not the SDK's size");
#define SDK_OFFSET(Struct, Field, Offset)                \
    static_assert(offsetof(Struct, Field) == (Offset), \
                  "platform/host/SdkValues.def: " #Struct "::" #Field " is not at the SDK's offset");
#include "platform/host/SdkValues.def"

}  // namespace sdk_values

// The SDK makes its pointer-typed constants by casting an integer to HANDLE
// (INVALID_HANDLE_VALUE is ((HANDLE)(LONG_PTR)-1)) or to LPSTR (IDC_ARROW is
// MAKEINTRESOURCE(32512), which is ((LPSTR)((ULONG_PTR)((WORD)(32512))))), and a
// constant expression may not turn an integer into a pointer. Inside this namespace
// those two type names stand for integer types, so the SDK's own macros expand to the
// integer they are made from and can be compared. Should an SDK spell the cast with
// another type, the assertion stops compiling ("not a constant expression") rather
// than passing.
namespace sdk_pointers {

using HANDLE = LONG_PTR;
using LPSTR = ULONG_PTR;

#define SDK_POINTER(Type, Name, Value) \
    static_assert(Name == (Value), "platform/host/SdkValues.def: " #Name " is not the SDK's value");
#include "platform/host/SdkValues.def"

}  // namespace sdk_pointers
