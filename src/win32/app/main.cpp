#include <windows.h>

#include "win32/app/application.h"

extern "C" int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return qm::win::RunApplication(instance);
}
