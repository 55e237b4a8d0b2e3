// SPDX-License-Identifier: MIT
// A Windows stand-in renderer: writes to $RENDERER_RECORD whether its window is maximized
// once shown as asked, its working directory, and the config.txt it found there.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show)
{
    const WNDCLASSA windowClass = {
        .lpfnWndProc = DefWindowProcA, .hInstance = instance, .lpszClassName = "renderer"};
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("renderer", "renderer", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, NULL,
                                NULL, instance, NULL);
    ShowWindow(window, show);

    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    char config[1024];
    FILE* in = fopen("config.txt", "rb");
    const size_t size = in ? fread(config, 1, sizeof config, in) : 0;
    const char* record = getenv("RENDERER_RECORD");
    FILE* out = record ? fopen(record, "wb") : NULL;
    if (!out)
        return 1;
    fprintf(out, "zoomed=%d\ncwd=%s\n", IsZoomed(window) ? 1 : 0, directory);
    fwrite(config, 1, size, out);
    fclose(out);
    return 0;
}
