#include "win32/defrag/service/service_volumes.h"

#include <windows.h>

namespace qm::win {

bool ServiceVolumes::IsFixedVolume(char letter) {
    if (letter < 'A' || letter > 'Z') {
        return false;
    }
    const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', 0};
    return ::GetDriveTypeW(root) == DRIVE_FIXED;
}

}  // namespace qm::win
