#include <windows.h>

#include <cstdlib>

#include "win32/app/application.h"
#include "win32/common/system_library.h"

// An exception nothing caught ends the program at once. The C++ library's own handler would
// first write the exception's demangled type to a console the tray program does not have, and
// its demangler is a sixth of the program's size.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

extern "C" int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    qm::win::RestrictDllSearch();
    return qm::win::RunApplication(instance);
}
