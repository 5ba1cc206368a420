/* The floor for tools/bench_silent.sh: a GUI program that imports the same DLLs as
 * Vantinst.exe (KERNEL32, USER32, GDI32, ADVAPI32 and msvcrt through the C runtime),
 * so that Windows loads and initialises the same set, and then returns at once.
 * Built with x86_64-w64-mingw32-gcc and linked like the program (static runtime). */
#include <windows.h>

/* One function of each DLL, referenced so that the linker keeps the import. */
static const void *volatile imported[] = {
    (const void *)GetSysColor,      /* USER32 */
    (const void *)GetStockObject,   /* GDI32 */
    (const void *)RegCloseKey,      /* ADVAPI32 */
};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    return imported[0] == NULL;
}
