#pragma once

#include <windows.h>

namespace qm::win {

// Confines the DLLs the program loads to the system folder: neither its own folder nor the
// current one, nor the search path, may offer one. The first thing each program does. Windows
// 7 SP1 has the call only with its update KB2533623; without it, the current folder alone is
// taken out of the search.
void RestrictDllSearch();

// A DLL of the system folder, by its full path, loaded on first use and kept; null when it
// cannot be loaded. The program imports only the DLLs that Windows always takes from the
// system folder; every other one comes through here.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of such a DLL, typed; null when either is missing.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    const HMODULE module = LoadSystemLibrary(library);
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
               : nullptr;
}

}  // namespace qm::win
