#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/defrag/defrag_service.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// The service's end of its named pipe, served by one thread: a few instances of the pipe, each
// waiting for a client or talking to one, with every read and write overlapped so that no
// client, however slow, holds up the others or the run.
class PipeServer final : public service::Clients {
  public:
    static constexpr int kInstances = 4;
    // What may wait to be written to a client that does not read; past it the client is cut off.
    static constexpr std::size_t kMaxQueuedBytes = 4 * 1024 * 1024;
    // How long a hung-up client has to read what was sent and close its end.
    static constexpr ULONGLONG kHangUpMs = 5000;
    // The period of the service's Tick, and the longest wait for anything else.
    static constexpr DWORD kTickMs = 150;

    explicit PipeServer(std::wstring pipeName);
    ~PipeServer() override;
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    // Creates the pipe's instances, the first one only if no other program holds the name.
    // 0, or the error of the first instance: then nothing is served.
    DWORD Open();
    // Serves the pipe until `stop` is set or the service may stop.
    void Run(service::DefragService& service, HANDLE stop);

    void Send(int client, const std::string& message) override;
    void HangUp(int client) override;

  private:
    enum class State { kIdle, kListening, kConnected };
    struct Instance {
        UniqueFileHandle pipe;
        UniqueHandle readEvent;  // connecting and reading
        UniqueHandle writeEvent;
        OVERLAPPED readOv{};
        OVERLAPPED writeOv{};
        bool reading{};  // ConnectNamedPipe or ReadFile in flight on readOv
        bool writing{};
        State state = State::kIdle;
        int client{};
        bool hangingUp{};
        bool overflowed{};
        ULONGLONG hangUpAt{};
        std::array<char, 512> readBuffer{};
        std::string inFlight;  // the bytes of the write in flight
        std::string queued;
    };

    void Listen(Instance& instance, service::DefragService& service);
    void Accept(Instance& instance, service::DefragService& service);
    void Poll(Instance& instance, service::DefragService& service);
    bool StartRead(Instance& instance);
    bool StartWrite(Instance& instance);
    void Drop(Instance& instance, service::DefragService& service);
    static void Cancel(Instance& instance);
    Instance* Find(int client);

    std::wstring pipeName_;
    UniqueLocal<PSECURITY_DESCRIPTOR> security_;
    std::array<Instance, kInstances> instances_;  // never moved: the system writes into them
    int lastClient_{};
};

// The account ("DOMAIN\user") and process of the client on a connected pipe instance; the
// account is "unknown" when the system does not tell.
service::ClientIdentity IdentifyClient(HANDLE pipe);

}  // namespace qm::win
