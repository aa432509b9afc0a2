#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Who may do what to the defragmentation service and its pipe, in the system's security
// descriptor language (SDDL), and the privileges the service keeps.
namespace qm::service {

// Access rights of files and pipes, as the system numbers them.
inline constexpr std::uint32_t kFileReadData = 0x0001;
inline constexpr std::uint32_t kFileWriteData = 0x0002;
// On a pipe this bit is the right to create another instance of it: never for clients.
inline constexpr std::uint32_t kFileAppendData = 0x0004;
inline constexpr std::uint32_t kFileGenericRead = 0x00120089;

// The service: interactive users may start it and ask how it is; only administrators and the
// system may stop, change or delete it.
std::string ServiceSddl();

// The pipe: the system and administrators have full control; interactive users may read and
// write data, and nothing else (FILE_GENERIC_READ | FILE_WRITE_DATA).
std::string PipeSddl();
std::uint32_t InteractiveUsersPipeAccess();

// The privileges the service process keeps (SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO); the
// system takes every other one away from it.
std::vector<std::string> RequiredPrivileges();
// The same as the double-NUL-ended list the system takes.
std::string MultiString(const std::vector<std::string>& items);

// Registration goes on past these answers of a step (ERROR_INVALID_LEVEL,
// ERROR_CALL_NOT_IMPLEMENTED, ERROR_NOT_SUPPORTED): a service manager that does not implement
// the step, which Windows 7 and later never give for it. Any other failure fails registration.
bool StepNotImplemented(std::uint32_t error);

}  // namespace qm::service
