// The defragmentation service and the tray's way to it: the protocol, the service's answers to
// friendly and hostile clients, and how the tray takes what comes back.
#include <gmock/gmock.h>

#include "core/defrag/defrag_service.h"
#include "core/defrag/service_run.h"
#include "core/defrag/service_security.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

using namespace service;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(ServiceProtocol, EveryMessageReadsBackAsItWasWritten) {
    EXPECT_EQ(DefragMessage('C', 3), "QMD/1 DEFRAG C 3\n");
    EXPECT_EQ(ParseClientMessage("QMD/1 DEFRAG d 2"), ClientMessage(DefragRequest{'D', 2}));
    EXPECT_EQ(ParseClientMessage("QMD/1 STOP\r"), ClientMessage(StopRequest{}));
    const auto back = [](const std::string& line) {
        return ParseServiceMessage(std::string_view(line).substr(0, line.size() - 1));
    };
    EXPECT_EQ(std::get<Started>(back(StartedMessage(4242, "defrag c: /O /U /V"))),
              (Started{4242, "defrag c: /O /U /V"}));
    const std::string text = "43%\r\\n done\n\xD0\x94";  // escapes, and UTF-8 passes through
    EXPECT_EQ(OutputMessage(text), "QMD/1 OUTPUT 43%\\r\\\\n done\\n\xD0\x94\n");
    EXPECT_EQ(std::get<Output>(back(OutputMessage(text))).text, text);
    const DriveOutcome outcomes[] = {{},
                                     {DriveOutcome::Kind::kStopped, "", 0},
                                     {DriveOutcome::Kind::kFailed, "access denied", 0x80070005},
                                     {DriveOutcome::Kind::kSkipped, "solid-state drive", 0},
                                     {DriveOutcome::Kind::kBusy, "another optimisation", 1}};
    for (const DriveOutcome& outcome : outcomes) {
        const Ended ended = std::get<Ended>(back(EndedMessage(7, outcome)));
        EXPECT_EQ(std::tuple(ended.exitCode, OutcomeText(ended.outcome)),
                  std::tuple(7u, OutcomeText(outcome)));
    }
    EXPECT_TRUE(std::holds_alternative<Busy>(back(BusyMessage())));
    EXPECT_EQ(std::get<Refusal>(back(RefusedMessage("Q: is not a fixed drive"))).reason,
              "Q: is not a fixed drive");
    for (const char* other : {"QMD/2 STARTED 1 x", "HTTP/1.1 200 OK", ""}) {
        EXPECT_TRUE(std::holds_alternative<OtherVersion>(ParseServiceMessage(other))) << other;
    }
    EXPECT_TRUE(std::holds_alternative<Refusal>(ParseServiceMessage("QMD/1 ENDED x ok")));
}

TEST(ServiceProtocol, AnythingOutsideTheGrammarIsRefusedWithItsReason) {
    const std::pair<const char*, std::vector<const char*>> cases[] = {
        {"not a request", {"", "DEFRAG C 3", "QMD/1 DEFRAG C 3\x01", "QMD/1 DEFRAG \xC3\x84 3"}},
        {"unsupported protocol version", {"QMD/2 DEFRAG C 3"}},
        {"unknown request", {"QMD/1 FORMAT C 3", "QMD/1"}},
        {"malformed request",
         {"QMD/1 DEFRAG C", "QMD/1 DEFRAG C 3 /X", "QMD/1 DEFRAG  C 3", "QMD/1 STOP now",
          "QMD/1 DEFRAG c:\\windows & calc"}},
        {"not a drive letter", {"QMD/1 DEFRAG C: 3", "QMD/1 DEFRAG 1 3"}},
        {"priority must be 1, 2 or 3",
         {"QMD/1 DEFRAG C 0", "QMD/1 DEFRAG C 4", "QMD/1 DEFRAG C 33"}}};
    for (const auto& [reason, lines] : cases) {
        for (const char* line : lines) {
            EXPECT_EQ(ParseClientMessage(line), ClientMessage(Refusal{reason})) << line;
        }
    }
}

TEST(ServiceSecurity, InteractiveUsersMayStartAndReadNeverCreatePipeInstances) {
    EXPECT_EQ(ServiceSddl(),
              "D:(A;;CCLCSWRPLORC;;;IU)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)"
              "(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;SY)");
    EXPECT_EQ(PipeSddl(), "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x0012008b;;;IU)");
    EXPECT_EQ(InteractiveUsersPipeAccess() & kFileAppendData, 0u);
    EXPECT_EQ(MultiString(RequiredPrivileges()), std::string("SeChangeNotifyPrivilege\0\0", 25));
    EXPECT_THAT((std::vector{StepNotImplemented(124), StepNotImplemented(120),
                             StepNotImplemented(5), StepNotImplemented(1060)}),
                ElementsAre(true, true, false, false));
}

// The service with a fake host: what each client was sent, who was hung up on, what was
// reported and started.
class DefragServiceTest : public ::testing::Test, Clients, Volumes, EventSink {
  protected:
    void Send(int client, const std::string& message) override { sent[client] += message; }
    void HangUp(int client) override { hungUp.push_back(client); }
    bool IsFixedVolume(char letter) override { return letter == 'C' || letter == 'D'; }
    void Report(const ServiceEvent& event) override { events.push_back(event); }

    void Connect(int client) { service.Connected(client, {"PC\\ann", 500u + client}); }
    void Ask(int client, const std::string& bytes) { service.Received(client, bytes); }

    FakeProcessTable table;
    FakeLauncher launcher{table};
    FakeMonotonicClock clock;
    DefragService service{*this, launcher,
                          *this, *this,
                          clock, {DefragSyntax::kOptimize, "C:\\Windows\\system32\\defrag.exe"}};
    std::map<int, std::string> sent;
    std::vector<int> hungUp;
    std::vector<ServiceEvent> events;
};

TEST_F(DefragServiceTest, ARunStreamsItsOutputAndEndsClassifiedOnAllOfIt) {
    Connect(1);
    Ask(1, "QMD/1 DEF");
    Ask(1, "RAG c 3\n");  // a request may come in pieces
    EXPECT_EQ(launcher.starts, Strings{"C:\\Windows\\system32\\defrag.exe|defrag c: /O /U /V "
                                       "/H|1|128|1"});
    EXPECT_EQ(sent[1], "QMD/1 STARTED 100 defrag c: /O /U /V /H\n");
    // A refusal code early in a long output is still found at the end.
    FakeChild& child = *launcher.children[0];
    child.output = "refused (0x89000024)\r\n" + std::string(9000, '.');
    service.Tick();
    EXPECT_THAT(sent[1], HasSubstr("\nQMD/1 OUTPUT refused (0x89000024)\\r\\n....."));
    EXPECT_EQ(std::count(sent[1].begin(), sent[1].end(), '\n'), 1 + 3) << "4 KB pieces";
    child.exitCode = 0;
    service.Tick();
    EXPECT_THAT(sent[1],
                testing::EndsWith("QMD/1 ENDED 0 failed 89000024 administrator rights needed\n"));
    EXPECT_EQ(hungUp, std::vector{1});
    EXPECT_EQ(events, (std::vector<ServiceEvent>{
                          {ServiceEvent::Kind::kRunStarted, "PC\\ann", "C: defrag c: /O /U /V /H"},
                          {ServiceEvent::Kind::kRunEnded, "PC\\ann",
                           "C: failed: administrator rights needed (0x89000024)"}}));
}

TEST_F(DefragServiceTest, OneRunAtATimeAndOnlyItsOwnConnectionStopsIt) {
    Connect(1);
    Connect(2);
    Connect(3);
    Ask(1, "QMD/1 DEFRAG D 1\n");
    Ask(2, "QMD/1 DEFRAG C 1\n");
    EXPECT_EQ(std::pair(sent[2], launcher.starts.size()),
              std::pair(std::string("QMD/1 BUSY\n"), 1ul));
    Ask(3, "QMD/1 STOP\n");
    EXPECT_EQ(std::pair(sent[3], launcher.children[0]->ends),
              std::pair(std::string("QMD/1 REFUSED no run of this connection to stop\n"), 0));
    Ask(1, "QMD/1 STOP\n");
    EXPECT_EQ(launcher.children[0]->ends, 1);
    launcher.children[0]->exitCode = 1;
    service.Tick();
    EXPECT_THAT(sent[1], testing::EndsWith("QMD/1 ENDED 1 stopped\n"));

    // A client that goes away ends its run; the next one may start at once.
    Connect(4);
    Ask(4, "QMD/1 DEFRAG C 2\n");
    service.Disconnected(4);
    EXPECT_EQ(launcher.children[1]->ends, 1);
    launcher.children[1]->exitCode = 1;
    service.Tick();
    EXPECT_FALSE(service.Running());
    EXPECT_EQ(sent[4], "QMD/1 STARTED 102 defrag c: /O /U /V /H\n") << "nothing after it left";
}

TEST_F(DefragServiceTest, HostileClientsAreRefusedReportedOnceAMinuteAndTheServiceGoesOn) {
    Connect(1);
    Ask(1, std::string(kMaxRequestBytes + 1, 'A'));
    Connect(2);
    Ask(2, "QMD/1 DEFRAG Q 3\n");
    Connect(3);
    Ask(3, "QMD/1 DEFRAG C 3\nQMD/1 DEFRAG D 3\n");  // one run per connection
    Connect(4);
    clock.now += 29999;
    service.Tick();
    EXPECT_TRUE(sent[4].empty()) << "30 s to send a request";
    clock.now += 1;
    service.Tick();
    EXPECT_EQ(sent[1], "QMD/1 REFUSED request too long\n");
    EXPECT_EQ(sent[2], "QMD/1 REFUSED Q: is not a fixed drive\n");
    EXPECT_THAT(sent[3], HasSubstr("\nQMD/1 REFUSED one run per connection\n"));
    EXPECT_EQ(sent[4], "QMD/1 REFUSED no complete request within 30 s\n");
    EXPECT_EQ(hungUp, (std::vector{1, 2, 3, 4}));
    EXPECT_EQ(launcher.starts.size(), 1u) << "only the one good request";

    // The same client again within the minute: refused, not reported again.
    const std::size_t reported = events.size();
    for (const std::int64_t later : {std::int64_t{0}, DefragService::kRefusalReportMs}) {
        clock.now += later;
        service.Disconnected(1);
        Connect(1);
        Ask(1, "rubbish\n");
    }
    EXPECT_EQ(events.size(), reported + 1);
    EXPECT_EQ(events.back(),
              (ServiceEvent{ServiceEvent::Kind::kRefused, "PC\\ann", "not a request"}));
}

TEST_F(DefragServiceTest, ItMayStopAfterItsIdleTimeWithoutClientOrRun) {
    clock.now += 59999;
    Connect(1);
    clock.now += 10;
    service.Disconnected(1);  // the idle time counts from the last client
    clock.now += 59999;
    EXPECT_FALSE(service.MayStop());
    clock.now += 1;
    EXPECT_TRUE(service.MayStop());
}

// The tray's end of a pipe: what it sent, and what the service "sends" next.
struct FakePipe final : ServicePipe {
    bool Send(std::string_view bytes) override { return sent += bytes, true; }
    std::optional<std::string> Receive() override {
        if (incoming.empty()) {
            return open ? std::optional(std::string()) : std::nullopt;
        }
        return std::exchange(incoming, {});
    }
    std::string sent, incoming;
    bool open = true;
};

struct FakeAccess final : DefragServiceAccess {
    bool Installed() override { return installed; }
    Connection Connect() override { return {std::make_unique<FakePipe>(), {}}; }
    bool installed = true;
};

TEST(ServiceRun, TheTrayTakesTheServicesAnswerAndEveryFailureOnTheWayAsTheDrivesOutcome) {
    const std::pair<std::string, std::string> cases[] = {
        {"QMD/1 STARTED 9 defrag c: /O /U /V\nQMD/1 OUTPUT a\\r\\nb\nQMD/1 ENDED 0 ok\n", "ok"},
        {"QMD/1 BUSY\n", "busy: another optimisation is running"},
        {"QMD/1 REFUSED C: is not a fixed drive\n", "failed: C: is not a fixed drive"},
        {"QMD/2 STARTED 9 x\n",
         "failed: the defragmentation service speaks another protocol version"},
        {"QMD/1 STARTED 9 x\n", "failed: the defragmentation service ended the connection"},
    };
    for (const auto& [answer, outcome] : cases) {
        auto pipe = std::make_unique<FakePipe>();
        pipe->incoming = answer;
        pipe->open = false;  // it hangs up after its answer
        FakePipe& seen = *pipe;
        ServiceRun run({std::move(pipe), {}}, 'C', 2);
        EXPECT_EQ(seen.sent, "QMD/1 DEFRAG C 2\n");
        EXPECT_EQ(std::pair(run.ExitCode(), OutcomeText(*run.Outcome())),
                  std::pair(std::optional<std::uint32_t>(0), outcome));
    }
    ServiceRun unverified({nullptr, kServiceNotVerified}, 'C', 2);
    EXPECT_EQ(OutcomeText(*unverified.Outcome()),
              "failed: the defragmentation service could not be verified");

    auto pipe = std::make_unique<FakePipe>();
    FakePipe& live = *pipe;
    ServiceRun run({std::move(pipe), {}}, 'D', 1);
    live.incoming = "QMD/1 STARTED 77 defrag d: /O /U /V\nQMD/1 OUTPUT 10%\\r\nQMD/1 OUT";
    EXPECT_FALSE(run.ExitCode());
    EXPECT_EQ(std::pair(run.ReadText(), run.Pid()), std::pair(std::string("10%\r"), 77u));
    run.End();
    EXPECT_THAT(live.sent, testing::EndsWith("QMD/1 STOP\n"));
}

TEST(ServiceRun, TheTrayGoesThroughAnInstalledServiceExceptOnWindowsXp) {
    FakeProcessTable table;
    FakeLauncher launcher(table);
    FakeAccess access;
    const DefragLaunch launch{
        "C:\\W\\defrag.exe", {}, 'E', "defrag e: /O /U /V", {}, true, 1, &access};
    EXPECT_TRUE(LaunchDefrag(launcher, launch).viaService && launcher.starts.empty());
    access.installed = false;
    EXPECT_FALSE(LaunchDefrag(launcher, launch).viaService);
    EXPECT_EQ(launcher.starts.size(), 1u) << "no service: the tray starts it itself";
}

}  // namespace
}  // namespace qm::test
