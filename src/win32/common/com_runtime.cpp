#include "win32/common/com_runtime.h"

#include <objbase.h>

#include "win32/common/system_library.h"

namespace qm::win {

bool EnsureComApartment() {
    // Per thread: COM's apartment is the thread's. A thread that has COM already (S_FALSE, or
    // another kind of apartment) can use it as it is. The apartment lasts as long as the process.
    thread_local const bool initialised = [] {
        using InitializeFn = HRESULT(WINAPI*)(LPVOID, DWORD);
        const auto initialize = SystemFunction<InitializeFn>(L"ole32.dll", "CoInitializeEx");
        if (!initialize) {
            return false;
        }
        const HRESULT hr = initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    return initialised;
}

HRESULT CreateInProcessInstance(REFCLSID clsid, REFIID iid, void** object) {
    using CreateFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    static const auto create = SystemFunction<CreateFn>(L"ole32.dll", "CoCreateInstance");
    *object = nullptr;
    if (!EnsureComApartment() || !create) {
        return CO_E_NOTINITIALIZED;
    }
    return create(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

}  // namespace qm::win
