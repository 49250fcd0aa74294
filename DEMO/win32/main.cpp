// Project1: shows the triangulation library at work in one window.
#include <windows.h>

#include <commctrl.h>

#include "Form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // The progress bar of long batches, in the visual style the manifest asks for.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);

    Form1 window(instance);
    if (!window.create()) {
        MessageBoxW(nullptr, L"The window could not be created.", L"Project1", MB_ICONERROR);
        return 1;
    }
    ShowWindow(window.Window(), showCommand);
    UpdateWindow(window.Window());

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.preTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
