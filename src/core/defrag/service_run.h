#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/defrag/defrag_launch.h"
#include "core/defrag/service_protocol.h"

namespace qm {

// One connection to the defragmentation service, as the tray holds it.
class ServicePipe {
  public:
    virtual ~ServicePipe() = default;
    virtual bool Send(std::string_view bytes) = 0;
    // What has arrived since the last call; never waits. Nothing once the service has hung up
    // and everything it sent has been read.
    virtual std::optional<std::string> Receive() = 0;
};

// The tray's way to the service.
class DefragServiceAccess {
  public:
    struct Connection {
        std::unique_ptr<ServicePipe> pipe;
        std::string failure;  // why there is no pipe
    };
    virtual ~DefragServiceAccess() = default;
    // Whether the service is registered on this computer: then every run goes through it.
    virtual bool Installed() = 0;
    // Starts the service when it is stopped, opens its pipe and makes sure that the one
    // serving the pipe is the service itself, before anything is sent.
    virtual Connection Connect() = 0;
};

// The failures of the way to the service, as the run log gives them.
inline constexpr char kServiceNotVerified[] = "the defragmentation service could not be verified";
inline constexpr char kServiceOtherVersion[] =
    "the defragmentation service speaks another protocol version";
inline constexpr char kServiceHungUp[] = "the defragmentation service ended the connection";
inline constexpr char kServiceBusy[] = "another optimisation is running";

// A drive defragmented by the service for the tray: it looks to the run like a program the
// tray started itself. Whatever goes wrong on the way ends it at once with the reason as a
// failed outcome; the tray never falls back to starting the defragmenter itself.
class ServiceRun final : public StartedProcess {
  public:
    ServiceRun(DefragServiceAccess::Connection connection, char letter, int priority);

    std::uint32_t Pid() const override { return pid_; }
    std::optional<std::uint32_t> ExitCode() override;
    std::string ReadText() override;
    // Asks the service to stop this run; the service ends only what it started for us.
    void End() override;
    std::optional<DriveOutcome> Outcome() override;

    // The service answered that another run is going on.
    bool Busy() const { return busy_; }

  private:
    void Pump();
    void Handle(const service::ServiceMessage& message);
    void Fail(std::string reason);

    std::unique_ptr<ServicePipe> pipe_;
    service::LineSplitter lines_{64 * 1024};
    std::uint32_t pid_{};
    std::string text_;
    std::optional<std::uint32_t> exitCode_;
    std::optional<DriveOutcome> outcome_;
    bool busy_{};
};

}  // namespace qm
