// Stands in for the contig tool: records its start and stays alive for a while.
#include "double_common.h"

int wmain() {
    qm::doubles::LogStart();
    ::Sleep(qm::doubles::LifetimeMilliseconds());
    return 0;
}
