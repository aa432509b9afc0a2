// The service's pipe as the system builds it: who may open it, and one conversation with the
// host (the name held by another program: the E2eService scenario).
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <map>
#include <thread>
#include <vector>

#include "core/defrag/service_security.h"
#include "win32/common/text.h"
#include "win32/defrag/service/pipe_server.h"
#include "win32/defrag/service/tick_clock.h"

namespace qm::test {
namespace {

// Each SID a parsed descriptor's DACL allows, with its rights, and "protected".
std::map<std::string, ACCESS_MASK> Grants(const std::string& sddl) {
    win::UniqueLocal<PSECURITY_DESCRIPTOR> sd;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    SECURITY_DESCRIPTOR_CONTROL control{};
    DWORD revision = 0;
    std::map<std::string, ACCESS_MASK> grants;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            win::Widen(sddl).c_str(), SDDL_REVISION_1, sd.put(), nullptr) &&
        ::GetSecurityDescriptorDacl(sd.get(), &present, &dacl, &defaulted) && dacl &&
        ::GetSecurityDescriptorControl(sd.get(), &control, &revision)) {
        grants["protected"] = (control & SE_DACL_PROTECTED) != 0;
    }
    ACCESS_ALLOWED_ACE* ace = nullptr;
    for (DWORD i = 0;
         dacl && i < dacl->AceCount && ::GetAce(dacl, i, reinterpret_cast<void**>(&ace)); ++i) {
        win::UniqueLocal<wchar_t*> sid;
        if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            ::ConvertSidToStringSidW(&ace->SidStart, sid.put())) {
            grants[win::Narrow(sid.get())] = ace->Mask;
        }
    }
    return grants;
}

TEST(ServiceSecurityWin, PipeLetsInteractiveUsersReadAndWriteButNeverAddAnInstance) {
    // No FILE_APPEND_DATA, the right to create an instance of a pipe, for interactive users.
    EXPECT_EQ(Grants(service::PipeSddl()), (std::map<std::string, ACCESS_MASK>{
                                               {"protected", 1},
                                               {"S-1-5-18", GENERIC_ALL},
                                               {"S-1-5-32-544", GENERIC_ALL},
                                               {"S-1-5-4", FILE_GENERIC_READ | FILE_WRITE_DATA}}));
    EXPECT_EQ(Grants(service::ServiceSddl()).size(), 4u);
}

// Launches nothing, knows no drive, keeps what it is told to report.
struct Fakes final : ProcessLauncher, service::Volumes, service::EventSink {
    std::unique_ptr<StartedProcess> Start(const LaunchRequest&) override { return nullptr; }
    bool IsFixedVolume(char) override { return false; }
    void Report(const service::ServiceEvent& event) override { events.push_back(event); }
    std::vector<service::ServiceEvent> events;
};

TEST(ServicePipeWin, ARequestOutsideTheGrammarIsRefusedAndTheCallerNamed) {
    const std::wstring name =
        L"\\\\.\\pipe\\QuillmereTest" + std::to_wstring(::GetCurrentProcessId());
    win::PipeServer server(name);
    ASSERT_EQ(server.Open(), 0u);
    Fakes fakes;
    win::TickClock clock;
    service::DefragService defrag(server, fakes, fakes, fakes, clock, {});
    win::UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread host([&] { server.Run(defrag, stop.get()); });

    win::UniqueFileHandle client(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
    char reply[256] = {};  // one write of the host's: it arrives whole
    DWORD bytes = 0;
    const bool talked = client &&
                        ::WriteFile(client.get(), "QMD/1 DEFRAG !\n", 15, &bytes, nullptr) &&
                        ::ReadFile(client.get(), reply, sizeof reply - 1, &bytes, nullptr);
    client.reset();
    ::SetEvent(stop.get());
    host.join();

    EXPECT_TRUE(talked);
    EXPECT_EQ(std::string(reply).rfind("QMD/1 REFUSED ", 0), 0u) << reply;
    ASSERT_EQ(fakes.events.size(), 1u);
    EXPECT_EQ(fakes.events[0].kind, service::ServiceEvent::Kind::kRefused);
    EXPECT_NE(fakes.events[0].account.find('\\'), std::string::npos) << fakes.events[0].account;
}

}  // namespace
}  // namespace qm::test
