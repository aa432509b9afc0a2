#include <windows.h>

#include "win32/app/application.h"
#include "win32/common/system_library.h"

extern "C" int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    qm::win::RestrictDllSearch();
    return qm::win::RunApplication(instance);
}
