#include "core/defrag/service_run.h"

#include <type_traits>
#include <utility>
#include <variant>

namespace qm {

ServiceRun::ServiceRun(DefragServiceAccess::Connection connection, char letter, int priority)
    : pipe_(std::move(connection.pipe)) {
    if (!pipe_) {
        Fail(connection.failure.empty() ? kServiceNotVerified : connection.failure);
    } else if (!pipe_->Send(service::DefragMessage(letter, priority))) {
        Fail(kServiceHungUp);
    }
}

void ServiceRun::Fail(std::string reason) {
    if (outcome_) {
        return;
    }
    outcome_ = DriveOutcome{DriveOutcome::Kind::kFailed, std::move(reason), 0};
    exitCode_ = exitCode_.value_or(0);
    pipe_.reset();
}

void ServiceRun::Pump() {
    while (pipe_ && !outcome_) {
        const std::optional<std::string> bytes = pipe_->Receive();
        if (!bytes) {
            Fail(kServiceHungUp);
            return;
        }
        if (bytes->empty()) {
            return;
        }
        if (!lines_.Add(*bytes)) {
            Fail("the defragmentation service sent a message that could not be read");
            return;
        }
        while (!outcome_) {
            const std::optional<std::string> line = lines_.Next();
            if (!line) {
                break;
            }
            Handle(service::ParseServiceMessage(*line));
        }
    }
}

void ServiceRun::Handle(const service::ServiceMessage& message) {
    std::visit(
        [this](const auto& m) {
            using M = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<M, service::Started>) {
                pid_ = m.pid;
            } else if constexpr (std::is_same_v<M, service::Output>) {
                text_ += m.text;
            } else if constexpr (std::is_same_v<M, service::Ended>) {
                exitCode_ = m.exitCode;
                outcome_ = m.outcome;
                pipe_.reset();
            } else if constexpr (std::is_same_v<M, service::Busy>) {
                // Another run of the service's: as another optimisation running.
                busy_ = true;
                Fail(kServiceBusy);
                outcome_->kind = DriveOutcome::Kind::kBusy;
            } else if constexpr (std::is_same_v<M, service::Refusal>) {
                Fail(m.reason);
            } else {
                Fail(kServiceOtherVersion);
            }
        },
        message);
}

std::optional<std::uint32_t> ServiceRun::ExitCode() {
    Pump();
    return outcome_ ? exitCode_ : std::nullopt;
}

std::string ServiceRun::ReadText() {
    Pump();
    return std::exchange(text_, {});
}

void ServiceRun::End() {
    if (pipe_ && !pipe_->Send(service::StopMessage())) {
        Fail(kServiceHungUp);
    }
}

std::optional<DriveOutcome> ServiceRun::Outcome() {
    Pump();
    return outcome_;
}

}  // namespace qm
