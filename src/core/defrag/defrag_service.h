#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/common/monotonic_clock.h"
#include "core/defrag/console_output.h"
#include "core/defrag/defrag_launch.h"
#include "core/defrag/service_protocol.h"

// The defragmentation service's decisions: what it answers each client of its pipe, what it
// starts, what it reports and when it may stop. It runs with the rights of the system, so it
// trusts nothing a client sends: only a checked drive letter and a priority from 1 to 3 ever
// reach a command line, which it builds itself.
namespace qm::service {

// The connections of the pipe, as the host holds them.
class Clients {
  public:
    virtual ~Clients() = default;
    virtual void Send(int client, const std::string& message) = 0;
    // Ends the connection, once the client has read what was sent or a short while has passed.
    virtual void HangUp(int client) = 0;
};

class Volumes {
  public:
    virtual ~Volumes() = default;
    // Whether the letter ('C') names a fixed volume that exists now.
    virtual bool IsFixedVolume(char letter) = 0;
};

// An entry of the system's event log.
struct ServiceEvent {
    enum class Kind { kRunStarted, kRunEnded, kRefused, kNameTaken };
    Kind kind{};
    std::string account;  // who asked: "DOMAIN\user"
    std::string text;     // the drive and command line, the outcome, or the reason
    bool operator==(const ServiceEvent&) const = default;
};

class EventSink {
  public:
    virtual ~EventSink() = default;
    virtual void Report(const ServiceEvent& event) = 0;
};

// Who is on the other end of a connection.
struct ClientIdentity {
    std::string account;
    std::uint32_t pid{};
};

struct ServiceSettings {
    DefragSyntax syntax = DefragSyntax::kOptimize;
    std::string defragProgram;  // the system's defrag.exe, by its full path
    // No client and no run for this long: the service stops.
    std::int64_t idleMs = 60 * 1000;
    // A client that has not sent a whole request this long after it connected is refused.
    std::int64_t requestMs = 30 * 1000;
};

class DefragService {
  public:
    // A client refused more often than this is reported once per this time.
    static constexpr std::int64_t kRefusalReportMs = 60 * 1000;

    DefragService(Clients& clients, ProcessLauncher& launcher, Volumes& volumes, EventSink& events,
                  const MonotonicClock& clock, ServiceSettings settings);
    DefragService(const DefragService&) = delete;
    DefragService& operator=(const DefragService&) = delete;

    void Connected(int client, ClientIdentity identity);
    // Bytes as they came; requests are lines.
    void Received(int client, std::string_view bytes);
    // The client has gone: its run, if any, ends.
    void Disconnected(int client);
    // Called often (a few times a second): sends the run's output as it comes, notices its end,
    // and refuses clients that keep the service waiting.
    void Tick();
    // Whether the service has had neither a client nor a run for its idle time.
    bool MayStop() const;
    bool Running() const { return run_ != nullptr; }

  private:
    struct Connection {
        ClientIdentity identity;
        std::int64_t connectedAt{};
        LineSplitter lines{kMaxRequestBytes};
        bool requested{};
        bool done{};  // refused or answered: whatever else it sends is ignored
    };
    struct Run {
        int client{};  // -1 once its client has gone
        std::string account;
        std::string drive;  // "C:"
        std::string commandLine;
        std::unique_ptr<StartedProcess> process;
        OutputWatch output;
        bool stopRequested{};
    };

    void Handle(int client, Connection& connection, const ClientMessage& message);
    void Start(int client, Connection& connection, DefragRequest request);
    void Refuse(int client, Connection& connection, const std::string& reason);
    void SendOutput(std::string_view text);
    void FinishRun(std::uint32_t exitCode);

    Clients& clients_;
    ProcessLauncher& launcher_;
    Volumes& volumes_;
    EventSink& events_;
    const MonotonicClock& clock_;
    ServiceSettings settings_;
    std::map<int, Connection> connections_;
    std::unique_ptr<Run> run_;
    std::int64_t quietSince_{};
    // When each client (account and process) was last reported as refused.
    std::map<std::string, std::int64_t> refusalsReported_;
};

}  // namespace qm::service
