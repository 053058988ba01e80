/* Waits for a visible top-level window with the given title, as the player
 * would see it: probe-window.exe <title> <seconds>. Prints "shown" and exits
 * with 0 when it appears, "not shown" and 1 when it does not in time. */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

static const wchar_t* wanted;
static int found;

static BOOL CALLBACK Visit(HWND window, LPARAM unused) {
    wchar_t title[256];
    (void)unused;
    if (IsWindowVisible(window) && GetWindowTextW(window, title, 256) > 0 && wcscmp(title, wanted) == 0) {
        found = 1;
        return FALSE;
    }
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    wanted = argv[1];
    const int rounds = _wtoi(argv[2]) * 4;
    for (int i = 0; i < rounds && !found; ++i) {
        EnumWindows(Visit, 0);
        if (!found) Sleep(250);
    }
    puts(found ? "shown" : "not shown");
    return found ? 0 : 1;
}
