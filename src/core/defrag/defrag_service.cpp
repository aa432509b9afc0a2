#include "core/defrag/defrag_service.h"

#include <algorithm>
#include <vector>

namespace qm::service {

DefragService::DefragService(Clients& clients, ProcessLauncher& launcher, Volumes& volumes,
                             EventSink& events, const MonotonicClock& clock,
                             ServiceSettings settings)
    : clients_(clients),
      launcher_(launcher),
      volumes_(volumes),
      events_(events),
      clock_(clock),
      settings_(std::move(settings)),
      quietSince_(clock.Milliseconds()) {}

void DefragService::Connected(int client, ClientIdentity identity) {
    Connection& connection = connections_[client];
    connection = Connection{};
    connection.identity = std::move(identity);
    connection.connectedAt = clock_.Milliseconds();
}

void DefragService::Received(int client, std::string_view bytes) {
    const auto found = connections_.find(client);
    if (found == connections_.end() || found->second.done) {
        return;
    }
    Connection& connection = found->second;
    if (!connection.lines.Add(bytes)) {
        Refuse(client, connection, "request too long");
        return;
    }
    while (!connection.done) {
        const std::optional<std::string> line = connection.lines.Next();
        if (!line) {
            break;
        }
        Handle(client, connection, ParseClientMessage(*line));
    }
}

void DefragService::Handle(int client, Connection& connection, const ClientMessage& message) {
    if (const auto* refusal = std::get_if<Refusal>(&message)) {
        Refuse(client, connection, refusal->reason);
    } else if (const auto* request = std::get_if<DefragRequest>(&message)) {
        if (connection.requested) {
            Refuse(client, connection, "one run per connection");
        } else {
            Start(client, connection, *request);
        }
    } else if (run_ && run_->client == client) {
        // A stop: only ever of the run this connection asked for.
        run_->stopRequested = true;
        run_->process->End();
    } else {
        Refuse(client, connection, "no run of this connection to stop");
    }
}

void DefragService::Start(int client, Connection& connection, DefragRequest request) {
    connection.requested = true;
    const std::string drive = std::string(1, request.letter) + ":";
    if (!volumes_.IsFixedVolume(request.letter)) {
        Refuse(client, connection, drive + " is not a fixed drive");
        return;
    }
    if (run_) {
        clients_.Send(client, BusyMessage());
        connection.done = true;
        clients_.HangUp(client);
        return;
    }
    auto run = std::make_unique<Run>();
    run->client = client;
    run->account = connection.identity.account;
    run->drive = drive;
    run->commandLine = DefragCommandFor(drive, settings_.syntax, request.priority);
    // The request's priority is 1 to 3 here, which always has a class.
    const std::uint32_t creationClass = CreationClassForLevel(request.priority).value_or(0);
    run->process = launcher_.Start(
        {settings_.defragProgram, run->commandLine, true, creationClass, true, true});
    if (!run->process) {
        const DriveOutcome outcome =
            ClassifyDefragOutcome(std::nullopt, std::vector<std::uint32_t>{});
        clients_.Send(client, EndedMessage(0, outcome));
        connection.done = true;
        clients_.HangUp(client);
        events_.Report(
            {ServiceEvent::Kind::kRunEnded, run->account, drive + " " + OutcomeText(outcome)});
        return;
    }
    clients_.Send(client, StartedMessage(run->process->Pid(), run->commandLine));
    events_.Report({ServiceEvent::Kind::kRunStarted, run->account, drive + " " + run->commandLine});
    run_ = std::move(run);
}

void DefragService::Refuse(int client, Connection& connection, const std::string& reason) {
    clients_.Send(client, RefusedMessage(reason));
    connection.done = true;
    clients_.HangUp(client);
    // A client that keeps sending rubbish fills the log once a minute at most.
    const std::string who =
        connection.identity.account + "/" + std::to_string(connection.identity.pid);
    const std::int64_t now = clock_.Milliseconds();
    const auto last = refusalsReported_.find(who);
    if (last == refusalsReported_.end() || now - last->second >= kRefusalReportMs) {
        refusalsReported_[who] = now;
        events_.Report({ServiceEvent::Kind::kRefused, connection.identity.account, reason});
    }
}

void DefragService::Disconnected(int client) {
    connections_.erase(client);
    if (run_ && run_->client == client) {
        // Nobody is left to hear how it ends: it ends now.
        run_->client = -1;
        run_->stopRequested = true;
        run_->process->End();
    }
    if (connections_.empty()) {
        quietSince_ = clock_.Milliseconds();
    }
}

void DefragService::SendOutput(std::string_view text) {
    if (run_->client < 0) {
        return;
    }
    while (!text.empty()) {
        std::size_t take = std::min(text.size(), kMaxOutputPiece);
        // Whole UTF-8 characters in each piece.
        while (take < text.size() && take > 0 &&
               (static_cast<unsigned char>(text[take]) & 0xC0) == 0x80) {
            --take;
        }
        if (take == 0) {
            take = std::min(text.size(), kMaxOutputPiece);
        }
        clients_.Send(run_->client, OutputMessage(text.substr(0, take)));
        text.remove_prefix(take);
    }
}

void DefragService::FinishRun(std::uint32_t exitCode) {
    const DriveOutcome outcome = run_->stopRequested
                                     ? DriveOutcome{DriveOutcome::Kind::kStopped, "", 0}
                                     : ClassifyDefragOutcome(exitCode, run_->output.Codes());
    if (run_->client >= 0) {
        clients_.Send(run_->client, EndedMessage(exitCode, outcome));
        if (const auto connection = connections_.find(run_->client);
            connection != connections_.end()) {
            connection->second.done = true;
        }
        clients_.HangUp(run_->client);
    }
    events_.Report(
        {ServiceEvent::Kind::kRunEnded, run_->account, run_->drive + " " + OutcomeText(outcome)});
    run_.reset();
    quietSince_ = clock_.Milliseconds();
}

void DefragService::Tick() {
    if (run_) {
        // The exit code first: what the program wrote before it ended is read after.
        const std::optional<std::uint32_t> exitCode = run_->process->ExitCode();
        const std::string text = run_->process->ReadText();
        run_->output.Feed(text);
        SendOutput(text);
        if (exitCode) {
            FinishRun(*exitCode);
        }
    }
    const std::int64_t now = clock_.Milliseconds();
    std::vector<int> late;
    for (const auto& [client, connection] : connections_) {
        if (!connection.requested && !connection.done &&
            now - connection.connectedAt >= settings_.requestMs) {
            late.push_back(client);
        }
    }
    for (const int client : late) {
        Refuse(client, connections_[client],
               "no complete request within " + std::to_string(settings_.requestMs / 1000) + " s");
    }
}

bool DefragService::MayStop() const {
    return !run_ && connections_.empty() && clock_.Milliseconds() - quietSince_ >= settings_.idleMs;
}

}  // namespace qm::service
