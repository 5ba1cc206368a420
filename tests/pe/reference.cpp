// The smallest GUI program, compiled and linked like Vantinst.exe. Whatever thread-local
// storage it has (TLS callbacks, TLS data) comes from the C runtime's start-up code, so
// check_pe.py holds Vantinst.exe to no more than this.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
