// The service's pipe as the system builds it: who may open it, who holds its name, and one
// conversation with the host.
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

// Each allowed SID of a descriptor's DACL with its rights, and "protected"; nothing when it
// does not parse.
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
        for (DWORD i = 0; i < dacl->AceCount; ++i) {
            ACCESS_ALLOWED_ACE* ace = nullptr;
            win::UniqueLocal<wchar_t*> sid;
            if (::GetAce(dacl, i, reinterpret_cast<void**>(&ace)) &&
                ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
                ::ConvertSidToStringSidW(&ace->SidStart, sid.put())) {
                grants[win::Narrow(sid.get())] = ace->Mask;
            }
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

std::wstring TestPipe(const wchar_t* name) {
    return L"\\\\.\\pipe\\" + std::wstring(name) + std::to_wstring(::GetCurrentProcessId());
}

TEST(ServicePipeWin, ANameHeldByAnotherProgramIsNotServed) {
    win::UniqueFileHandle other(::CreateNamedPipeW(TestPipe(L"Taken").c_str(), PIPE_ACCESS_DUPLEX,
                                                   0, win::PipeServer::kInstances, 512, 512, 0,
                                                   nullptr));
    ASSERT_TRUE(other);
    EXPECT_EQ(win::PipeServer(TestPipe(L"Taken")).Open(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(ServicePipeWin, ARequestOutsideTheGrammarIsRefusedAndTheCallerNamed) {
    win::PipeServer server(TestPipe(L"Served"));
    ASSERT_EQ(server.Open(), 0u);
    Fakes fakes;
    win::TickClock clock;
    service::DefragService defrag(server, fakes, fakes, fakes, clock, {});
    win::UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread host([&] { server.Run(defrag, stop.get()); });

    win::UniqueFileHandle client(::CreateFileW(TestPipe(L"Served").c_str(),
                                               GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
    // The reply is one write of the host's: it arrives whole.
    char reply[256] = {};
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
