#include "services/MessageFormat.h"

String FormatInserts(const char* format, const char* first, const char* second)
{
    const char* inserts[2];
    int count = 0;
    if (first)
        inserts[count++] = first;
    if (second)
        inserts[count++] = second;

    String text;
    int next = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next < count)
                text.Append(inserts[next++]);
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            text.Append('%');
            ++p;
        } else {
            text.Append(*p);
        }
    }
    return text;
}

String Hex8(DWORD value)
{
    static const char digits[] = "0123456789abcdef";
    char hex[8];
    for (int i = 0; i < 8; ++i)
        hex[i] = digits[(value >> (28 - 4 * i)) & 0xF];
    return String(hex, sizeof hex);
}

String BracketedCode(DWORD code) { return String("[").Append(Hex8(code)).Append(']'); }

String WithErrorCode(const String& text, DWORD code) { return text + " " + BracketedCode(code).c_str(); }

String Decimal(DWORD value)
{
    char digits[10];
    int count = 0;
    do {
        digits[sizeof digits - 1 - count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    return String(digits + sizeof digits - count, static_cast<std::size_t>(count));
}
