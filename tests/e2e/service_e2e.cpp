// An all-users installation on Windows 10: the defragmentation service, registered by its own
// /register, runs the drives for the tray; it turns away hostile clients and goes on serving,
// refuses to run behind another program holding its pipe's name, and stops when idle. The
// prefix (tests/e2e/prepare/E2eService.sh) has fixed drives C and D and the stand-ins' settings
// in a file beside them, since a service's children get the service's environment.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "e2e/harness/app_process.h"
#include "e2e/harness/double_log.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_menu.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {
namespace {

constexpr wchar_t kPipe[] = L"\\\\.\\pipe\\QuillmereDefrag";

// The service's state, SERVICE_STOPPED when it cannot be asked; started first if `start`.
DWORD ServiceState(bool start = false) {
    win::UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    win::UniqueScHandle service(
        ::OpenServiceW(manager.get(), L"QuillmereDefrag", SERVICE_QUERY_STATUS | SERVICE_START));
    SERVICE_STATUS status{};
    return service && (!start || ::StartServiceW(service.get(), 0, nullptr)) &&
                   ::QueryServiceStatus(service.get(), &status)
               ? status.dwCurrentState
               : SERVICE_STOPPED;
}

// A client of the pipe, as any program of the user could be.
class RawClient {
  public:
    RawClient() {
        WaitUntil(
            [this] {
                pipe_.reset(::CreateFileW(kPipe, GENERIC_READ | FILE_WRITE_DATA, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
                return static_cast<bool>(pipe_);
            },
            5000);
    }
    bool Connected() const { return static_cast<bool>(pipe_); }
    void Send(const std::string& bytes) {
        DWORD written = 0;
        ::WriteFile(pipe_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    // The first line the service sends, waited for.
    std::string Answer() {
        std::string line;
        char c = 0;
        DWORD read = 0;
        while (line.size() < 4096 && ::ReadFile(pipe_.get(), &c, 1, &read, nullptr) && read == 1 &&
               c != '\n') {
            line += c;
        }
        return line;
    }

  private:
    win::UniqueFileHandle pipe_;
};

class E2eService : public ::testing::Test {
  protected:
    void SetUp() override { ClearDoubleLog(); }
    // The stand-ins log here and take `seconds`; `output`: what they write instead of the
    // ordinary report.
    static void DoubleSettings(const std::string& seconds, const std::string& output = "") {
        SetDoubleSettings("QM_DOUBLE_LOG=" + win::Narrow(DoubleLogPath()) +
                              "\r\nQM_DOUBLE_SECONDS=" + seconds + "\r\n",
                          output);
    }
    void StartTray(const SettingList& extra = {}) {
        SettingList settings = {{L"ShowCDrive", L"1"},
                                {L"ShowDDrive", L"1"},
                                {L"ShowZDrive", L"0"},
                                {L"ShowExitPrompt", L"0"},
                                {L"RunPriority", L"3"}};
        settings.insert(settings.end(), extra.begin(), extra.end());
        app_.emplace(StartInTray(settings, {L"QM_TEST_HOOKS=" + ScenarioDir()}));
        ASSERT_NE(app_->menu, nullptr) << "the program did not reach the tray";
    }

    std::optional<TrayApp> app_;
};

TEST_F(E2eService, AScheduledRunOfBothDrivesGoesThroughTheServiceAtItsPriority) {
    DoubleSettings("1");
    SetClockTo(3 * 3600 - 5);  // due at 03:00, 5 s on
    StartTray({{L"OccursOption", L"1"}, {L"StartHour", L"3"}, {L"StartMinute", L"0"}});
    for (const wchar_t* line : {L"defrag c: /O /U /V /H", L"defrag d: /O /U /V /H"}) {
        const auto start = WaitForDefragStart(line, 30000);
        ASSERT_TRUE(start) << win::Narrow(line) << " was not started";
        EXPECT_EQ(start->parent, L"QuillmereService.exe");
        EXPECT_EQ(start->priorityClass, DWORD{HIGH_PRIORITY_CLASS});
        EXPECT_EQ(_wcsicmp(start->path.c_str(), L"C:\\windows\\system32\\defrag.exe"), 0);
    }
    EXPECT_TRUE(RunLogHas("\tD:\tdefrag d: /O /U /V /H\t0:00:0", 20000)) << RunLog();
    EXPECT_EQ(RunLog().find("failed"), std::string::npos) << RunLog();
    EXPECT_TRUE(GetSetting(L"LastDefrag").has_value());
    // With nobody asking, it stops by itself (after 5 s here; a minute by default).
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_STOPPED; }, 20000));
}

TEST_F(E2eService, StopCurrentDefragEndsTheServicesRun) {
    DoubleSettings("60");
    StartTray({{L"ShowDDrive", L"0"}});
    ::PostMessageW(app_->menu, WM_COMMAND, win::kCmdDefrag, 0);
    const auto start = WaitForDefragStart(L"defrag c: /O /U /V /H", 20000);
    ASSERT_TRUE(start);
    win::UniqueHandle child(::OpenProcess(SYNCHRONIZE, FALSE, start->pid));
    ::PostMessageW(app_->menu, WM_COMMAND, win::kCmdStop, 0);
    EXPECT_EQ(::WaitForSingleObject(child.get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(RunLogHas("\tC:\tdefrag c: /O /U /V /H\t0:00:0", 10000) &&
                RunLogHas("\tstopped\r\n", 10000))
        << RunLog();
}

TEST_F(E2eService, RefusalsInAnyEncodingFailTheDriveThroughTheServiceToo) {
    StartTray({{L"ShowDDrive", L"0"}});
    const std::pair<std::string, std::string> cases[] = {
        {"The service cannot be started. (0x80070422)\r\n",
         "\tfailed: the system's optimisation service is disabled (0x80070422)\r\n"},
        {WideBytes("Нужны права администратора. (0x89000024)\r\n"),
         "\tfailed: administrator rights needed (0x89000024)\r\n"}};
    for (const auto& [output, outcome] : cases) {
        DoubleSettings("0", output);
        ::PostMessageW(app_->menu, WM_COMMAND, win::kCmdDefrag, 0);
        EXPECT_TRUE(RunLogHas(outcome, 20000)) << RunLog();
    }
    EXPECT_FALSE(GetSetting(L"LastDefrag").has_value());
}

TEST_F(E2eService, HostileClientsAreTurnedAwayAndAGoodRequestSucceedsAfterwards) {
    DoubleSettings("1");
    ServiceState(true);
    ASSERT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_RUNNING; }, 10000));
    const std::pair<std::string, std::string> cases[] = {
        {"garbage\n", "QMD/1 REFUSED not a request"},
        {std::string(200, 'A'), "QMD/1 REFUSED request too long"},
        {"QMD/1 DEFRAG c:\\windows & calc\n", "QMD/1 REFUSED malformed request"},
        {"QMD/1 DEFRAG Q 1\n", "QMD/1 REFUSED Q: is not a fixed drive"},
    };
    for (const auto& [request, answer] : cases) {
        RawClient client;
        ASSERT_TRUE(client.Connected());
        client.Send(request);
        EXPECT_EQ(client.Answer(), answer);
    }
    // Clients that only hold the pipe: the extra one is told the pipe is busy; all are let go
    // after the time for a request (3 s here, 30 s by default).
    std::optional<std::array<RawClient, 4>> holders(std::in_place);
    EXPECT_EQ(
        ::CreateFileW(kPipe, GENERIC_READ | FILE_WRITE_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_PIPE_BUSY});
    EXPECT_EQ((*holders)[0].Answer(), "QMD/1 REFUSED no complete request within 3 s");
    holders.reset();
    RawClient good;
    good.Send("QMD/1 DEFRAG D 1\n");
    const std::string started = good.Answer();
    EXPECT_TRUE(started.starts_with("QMD/1 STARTED ") && started.ends_with(" defrag d: /O /U /V"))
        << started;
}

TEST_F(E2eService, AProgramHoldingThePipesNameGetsNothingAndTheServiceStops) {
    DoubleSettings("1");
    ASSERT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_STOPPED; }, 20000));
    win::UniqueFileHandle impostor(
        ::CreateNamedPipeW(kPipe, PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
                           PIPE_TYPE_BYTE, PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr));
    ASSERT_TRUE(impostor);
    StartTray({{L"ShowDDrive", L"0"}});
    ::PostMessageW(app_->menu, WM_COMMAND, win::kCmdDefrag, 0);
    EXPECT_TRUE(RunLogHas("\tfailed: the defragmentation service could not be verified\r\n", 30000))
        << RunLog();
    EXPECT_TRUE(ReadDoubleLog().empty()) << "nothing may be defragmented";
    EXPECT_TRUE(WaitUntil([] { return ServiceState() == SERVICE_STOPPED; }, 10000))
        << "the service went on beside the program that holds its name";
}

}  // namespace
}  // namespace qm::e2e
