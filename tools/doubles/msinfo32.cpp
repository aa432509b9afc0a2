// Stands in for the system-information program: records how it was started and stays for a
// while, as a program with a window would.
#include "double_common.h"

int wmain() {
    qm::doubles::LogStart();
    ::Sleep(qm::doubles::LifetimeMilliseconds());
    return 0;
}
