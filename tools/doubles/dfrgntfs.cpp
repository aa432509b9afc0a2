// Stands in for the defragmentation engine that the system defragmenter starts.
#include "double_common.h"

int wmain() {
    qm::doubles::LogStart();
    ::Sleep(qm::doubles::LifetimeMilliseconds());
    return 0;
}
