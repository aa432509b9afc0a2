#include "core/defrag/service_security.h"

#include <cstdio>

namespace qm::service {

std::string ServiceSddl() {
    // CC query config, LC query status, SW enumerate dependents, RP start, LO interrogate,
    // RC read control; administrators and the system add DC change config, WP stop, DT pause,
    // CR user-defined control, SD delete, WD write DACL, WO write owner.
    constexpr char kAll[] = "CCDCLCSWRPWPDTLOCRSDRCWDWO";
    return std::string("D:(A;;CCLCSWRPLORC;;;IU)(A;;") + kAll + ";;;BA)(A;;" + kAll + ";;;SY)";
}

std::uint32_t InteractiveUsersPipeAccess() {
    return kFileGenericRead | kFileWriteData;
}

std::string PipeSddl() {
    char mask[16];
    std::snprintf(mask, sizeof mask, "0x%08x", static_cast<unsigned>(InteractiveUsersPipeAccess()));
    // Protected: nothing is inherited from the pipe file system's defaults.
    return std::string("D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;") + mask + ";;;IU)";
}

std::vector<std::string> RequiredPrivileges() {
    return {"SeChangeNotifyPrivilege"};
}

std::string MultiString(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        out += item;
        out += '\0';
    }
    out += '\0';
    return out;
}

bool StepNotImplemented(std::uint32_t error) {
    return error == 124 || error == 120 || error == 50;
}

}  // namespace qm::service
