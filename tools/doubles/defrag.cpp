// Stands in for the system defragmenter: records its start, starts the engine double as the
// real one starts its engine, and ends once its time is up and the engine has finished.
#include "double_common.h"

int wmain() {
    qm::doubles::LogStart();
    const DWORD lifetime = qm::doubles::LifetimeMilliseconds();
    HANDLE engine = qm::doubles::StartChild(L"dfrgntfs.exe");
    ::Sleep(lifetime);
    if (engine) {
        ::WaitForSingleObject(engine, 5000);
        ::CloseHandle(engine);
    }
    return 0;
}
