#include "win32/defrag/service/pipe_server.h"

#include <sddl.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/defrag/service_security.h"
#include "win32/common/text.h"

namespace qm::win {
namespace {

// Replies are small but a run's output comes in pieces of up to 4 KB: room for a few.
constexpr DWORD kOutBufferBytes = 64 * 1024;
constexpr DWORD kInBufferBytes = 4 * 1024;

bool Completed(const OVERLAPPED& overlapped) {
    return HasOverlappedIoCompleted(&overlapped);
}

// Whether an overlapped call was accepted: done at once or under way. Either way its end is
// seen through the OVERLAPPED.
bool Accepted(BOOL result) {
    return result || ::GetLastError() == ERROR_IO_PENDING;
}

}  // namespace

service::ClientIdentity IdentifyClient(HANDLE pipe) {
    service::ClientIdentity identity{"unknown", 0};
    ULONG pid = 0;
    if (!::GetNamedPipeClientProcessId(pipe, &pid)) {
        return identity;
    }
    identity.pid = pid;
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    UniqueHandle token;
    if (!process || !::OpenProcessToken(process.get(), TOKEN_QUERY, token.put())) {
        return identity;
    }
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(std::max<DWORD>(size, sizeof(TOKEN_USER)));
    if (!::GetTokenInformation(token.get(), TokenUser, user.data(), static_cast<DWORD>(user.size()),
                               &size)) {
        return identity;
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    wchar_t name[256] = {};
    wchar_t domain[256] = {};
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
        return identity;
    }
    identity.account = Narrow(domain) + (domainLength > 0 ? "\\" : "") + Narrow(name);
    return identity;
}

PipeServer::PipeServer(std::wstring pipeName) : pipeName_(std::move(pipeName)) {
    for (Instance& instance : instances_) {
        instance.readEvent.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        instance.writeEvent.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        instance.readOv.hEvent = instance.readEvent.get();
        instance.writeOv.hEvent = instance.writeEvent.get();
    }
}

PipeServer::~PipeServer() {
    for (Instance& instance : instances_) {
        Cancel(instance);
    }
}

DWORD PipeServer::Open() {
    // Never a pipe with the default access: without its own descriptor nothing is created.
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            Widen(service::PipeSddl()).c_str(), SDDL_REVISION_1, security_.put(), nullptr)) {
        return ::GetLastError();
    }
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), security_.get(), FALSE};
    const auto create = [&](DWORD firstFlag) {
        return UniqueFileHandle(::CreateNamedPipeW(
            pipeName_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | firstFlag,
            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
            kInstances, kOutBufferBytes, kInBufferBytes, 0, &attributes));
    };
    // The first instance fails when the name exists already: another program would otherwise
    // receive the requests meant for the service.
    UniqueFileHandle first = create(FILE_FLAG_FIRST_PIPE_INSTANCE);
    if (!first) {
        return ::GetLastError();
    }
    // Where the flag is ignored (Wine), the call joins the other program's pipe: then the pipe
    // has an instance besides this one, and is refused just the same.
    DWORD instances = 0;
    if (!::GetNamedPipeHandleStateW(first.get(), nullptr, &instances, nullptr, nullptr, nullptr,
                                    0) ||
        instances != 1) {
        return ERROR_ACCESS_DENIED;
    }
    instances_.front().pipe = std::move(first);
    // One instance fewer only means one client fewer at a time.
    for (std::size_t i = 1; i < instances_.size(); ++i) {
        instances_[i].pipe = create(0);
    }
    return 0;
}

void PipeServer::Run(service::DefragService& service, HANDLE stop) {
    ULONGLONG lastTick = ::GetTickCount64();
    for (;;) {
        ULONGLONG now = ::GetTickCount64();
        if (now - lastTick >= kTickMs) {
            service.Tick();
            lastTick = now;
        }
        for (Instance& instance : instances_) {
            if (instance.pipe && instance.state == State::kIdle) {
                Listen(instance, service);
            }
            Poll(instance, service);
        }
        if (service.MayStop()) {
            return;
        }
        std::vector<HANDLE> handles{stop};
        for (Instance& instance : instances_) {
            if (instance.reading) {
                handles.push_back(instance.readEvent.get());
            }
            if (instance.writing) {
                handles.push_back(instance.writeEvent.get());
            }
        }
        now = ::GetTickCount64();
        const DWORD wait =
            static_cast<DWORD>(kTickMs - std::min<ULONGLONG>(now - lastTick, kTickMs));
        const DWORD woken = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                     handles.data(), FALSE, wait);
        if (woken == WAIT_OBJECT_0) {
            return;
        }
        if (woken == WAIT_FAILED) {
            ::Sleep(kTickMs);  // nothing to wait on is no reason to spin
        }
    }
}

void PipeServer::Listen(Instance& instance, service::DefragService& service) {
    if (Accepted(::ConnectNamedPipe(instance.pipe.get(), &instance.readOv))) {
        instance.reading = true;
        instance.state = State::kListening;
        return;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_PIPE_CONNECTED) {
        // A client came between the instance's creation and this call.
        Accept(instance, service);
    } else if (error == ERROR_NO_DATA) {
        // A client came and went: the instance is free again at the next turn.
        ::DisconnectNamedPipe(instance.pipe.get());
    }
}

void PipeServer::Accept(Instance& instance, service::DefragService& service) {
    instance.state = State::kConnected;
    instance.client = ++lastClient_;
    service.Connected(instance.client, IdentifyClient(instance.pipe.get()));
    if (!StartRead(instance)) {
        Drop(instance, service);
    }
}

bool PipeServer::StartRead(Instance& instance) {
    instance.reading = Accepted(::ReadFile(instance.pipe.get(), instance.readBuffer.data(),
                                           static_cast<DWORD>(instance.readBuffer.size()), nullptr,
                                           &instance.readOv));
    return instance.reading;
}

bool PipeServer::StartWrite(Instance& instance) {
    instance.inFlight.swap(instance.queued);
    instance.queued.clear();
    instance.writing = Accepted(::WriteFile(instance.pipe.get(), instance.inFlight.data(),
                                            static_cast<DWORD>(instance.inFlight.size()), nullptr,
                                            &instance.writeOv));
    return instance.writing;
}

void PipeServer::Poll(Instance& instance, service::DefragService& service) {
    DWORD bytes = 0;
    if (instance.state == State::kListening) {
        if (Completed(instance.readOv)) {
            instance.reading = false;
            if (::GetOverlappedResult(instance.pipe.get(), &instance.readOv, &bytes, FALSE)) {
                Accept(instance, service);
            } else {
                ::DisconnectNamedPipe(instance.pipe.get());
                instance.state = State::kIdle;
            }
        }
        return;
    }
    if (instance.state != State::kConnected) {
        return;
    }
    if (instance.reading && Completed(instance.readOv)) {
        instance.reading = false;
        // A failed read is the client gone: it closed its end, or never will read again.
        if (!::GetOverlappedResult(instance.pipe.get(), &instance.readOv, &bytes, FALSE)) {
            Drop(instance, service);
            return;
        }
        // After a hang-up the client's bytes are read only to learn when it closes its end.
        if (!instance.hangingUp && bytes > 0) {
            service.Received(instance.client, std::string_view(instance.readBuffer.data(), bytes));
        }
        if (!StartRead(instance)) {
            Drop(instance, service);
            return;
        }
    }
    if (instance.writing && Completed(instance.writeOv)) {
        instance.writing = false;
        if (!::GetOverlappedResult(instance.pipe.get(), &instance.writeOv, &bytes, FALSE)) {
            Drop(instance, service);
            return;
        }
        instance.inFlight.clear();
    }
    if (instance.overflowed ||
        (instance.hangingUp && ::GetTickCount64() - instance.hangUpAt >= kHangUpMs)) {
        Drop(instance, service);
        return;
    }
    if (!instance.writing && !instance.queued.empty() && !StartWrite(instance)) {
        Drop(instance, service);
    }
}

void PipeServer::Cancel(Instance& instance) {
    DWORD bytes = 0;
    if (instance.reading || instance.writing) {
        ::CancelIoEx(instance.pipe.get(), nullptr);
    }
    // The system may write into the buffers until each call has ended.
    if (instance.reading) {
        ::GetOverlappedResult(instance.pipe.get(), &instance.readOv, &bytes, TRUE);
        instance.reading = false;
    }
    if (instance.writing) {
        ::GetOverlappedResult(instance.pipe.get(), &instance.writeOv, &bytes, TRUE);
        instance.writing = false;
    }
}

void PipeServer::Drop(Instance& instance, service::DefragService& service) {
    Cancel(instance);
    ::DisconnectNamedPipe(instance.pipe.get());
    const bool connected = instance.state == State::kConnected;
    const int client = instance.client;
    instance.state = State::kIdle;
    instance.client = 0;
    instance.hangingUp = false;
    instance.overflowed = false;
    instance.inFlight.clear();
    instance.queued.clear();
    if (connected) {
        service.Disconnected(client);
    }
}

PipeServer::Instance* PipeServer::Find(int client) {
    for (Instance& instance : instances_) {
        if (instance.state == State::kConnected && instance.client == client) {
            return &instance;
        }
    }
    return nullptr;
}

void PipeServer::Send(int client, const std::string& message) {
    Instance* instance = Find(client);
    if (!instance || instance->overflowed) {
        return;
    }
    if (instance->queued.size() + instance->inFlight.size() + message.size() > kMaxQueuedBytes) {
        // It does not read: it is cut off at the next turn, with nothing more for it.
        instance->overflowed = true;
        instance->queued.clear();
        return;
    }
    instance->queued += message;
}

void PipeServer::HangUp(int client) {
    Instance* instance = Find(client);
    if (instance && !instance->hangingUp) {
        instance->hangingUp = true;
        instance->hangUpAt = ::GetTickCount64();
    }
}

}  // namespace qm::win
