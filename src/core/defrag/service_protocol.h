#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/defrag/defrag_outcome.h"

// The conversation between the tray program and its defragmentation service, over the named
// pipe. Every message is one line of UTF-8 ended by LF that starts with the protocol's name and
// version, so that either side notices at once a partner of another version:
//
//   tray    -> service   QMD/1 DEFRAG <letter> <priority>   once per connection; priority 1-3
//                        QMD/1 STOP                          ends this connection's run
//   service -> tray      QMD/1 STARTED <pid> <command line>
//                        QMD/1 OUTPUT <text>                 \ as \\, CR as \r, LF as \n
//                        QMD/1 ENDED <exit code> <outcome>   see OutcomeWords
//                        QMD/1 BUSY                          another run is going on
//                        QMD/1 REFUSED <reason>              and the service hangs up
namespace qm::service {

inline constexpr char kServiceName[] = "QuillmereDefrag";
inline constexpr char kDisplayName[] = "Quillmere Defrag Service";
inline constexpr char kDescription[] =
    "Defragments the drives that Quillmere schedules, for every user of this computer.";
inline constexpr char kPipeName[] = "\\\\.\\pipe\\QuillmereDefrag";
inline constexpr std::string_view kProtocol = "QMD/1";

// A request longer than this (its line end included) is refused unread.
inline constexpr std::size_t kMaxRequestBytes = 64;
// The most output text one OUTPUT message carries, before escaping.
inline constexpr std::size_t kMaxOutputPiece = 4096;

struct DefragRequest {
    char letter{};  // 'C', upper case
    int priority{};
    bool operator==(const DefragRequest&) const = default;
};
struct StopRequest {
    bool operator==(const StopRequest&) const = default;
};
struct Refusal {
    std::string reason;
    bool operator==(const Refusal&) const = default;
};
using ClientMessage = std::variant<DefragRequest, StopRequest, Refusal>;

// One line from a client, its LF taken off. Anything outside the grammar is refused with the
// reason, and nothing of it goes further.
ClientMessage ParseClientMessage(std::string_view line);

std::string DefragMessage(char letter, int priority);
std::string StopMessage();

struct Started {
    std::uint32_t pid{};
    std::string commandLine;
    bool operator==(const Started&) const = default;
};
struct Output {
    std::string text;
    bool operator==(const Output&) const = default;
};
struct Ended {
    std::uint32_t exitCode{};
    DriveOutcome outcome;
};
struct Busy {
    bool operator==(const Busy&) const = default;
};
struct OtherVersion {};
using ServiceMessage = std::variant<Started, Output, Ended, Busy, Refusal, OtherVersion>;

std::string StartedMessage(std::uint32_t pid, std::string_view commandLine);
std::string OutputMessage(std::string_view text);
std::string EndedMessage(std::uint32_t exitCode, const DriveOutcome& outcome);
std::string BusyMessage();
std::string RefusedMessage(std::string_view reason);

// One line from the service, its LF taken off; a line of another version or none at all is
// OtherVersion; a line of this version that cannot be read is a Refusal that says so.
ServiceMessage ParseServiceMessage(std::string_view line);

// Collects the lines of a byte stream that arrives in pieces.
class LineSplitter {
  public:
    explicit LineSplitter(std::size_t maxLine) : maxLine_(maxLine) {}
    // Adds bytes; false from the moment a line passes `maxLine` bytes before its end (what
    // follows is not kept).
    bool Add(std::string_view bytes);
    // The next whole line, without its LF.
    std::optional<std::string> Next();

  private:
    std::size_t maxLine_;
    std::size_t openLength_{};
    bool overflowed_{};
    std::string buffer_;
};

}  // namespace qm::service
