#pragma once

// What the tests share: readable date-times, and fakes: a clock and timers the test moves,
// stores in memory, and a process list that the fake launcher and terminator change as the
// system would.

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "core/app/process_terminator.h"
#include "core/app/startup_entry.h"
#include "core/common/clock.h"
#include "core/common/monotonic_clock.h"
#include "core/common/date_time.h"
#include "core/common/settings_store.h"
#include "core/common/timer.h"
#include "core/defrag/defrag_launch.h"
#include "core/defrag/process_table.h"
#include "core/defrag/run_log.h"
#include "core/schedule/schedule_editor.h"

namespace qm {

// Readable date-times in test failures: 2026-12-03 21:30:00.
inline void PrintTo(const DateTime& t, std::ostream* os) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.Date().year, t.Date().month,
                  t.Date().day, t.Time().hour, t.Time().minute, t.Time().second);
    *os << text;
}

// Short spelling of the date-times the tables are full of.
inline DateTime D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime::Make(y, mo, d, h, mi, s);
}

}  // namespace qm

namespace qm::test {

using Strings = std::vector<std::string>;  // lines, calls and steps as the fakes log them

// A clock that stands still until the test moves it; it keeps milliseconds so a test can walk
// in timer steps, and reports the whole second (rounded down), as the wall clock does.
struct FakeClock final : Clock {
    explicit FakeClock(DateTime now) { SetNow(now); }
    DateTime Now() const override {
        return DateTime::FromSeconds(millis_ / 1000 - (millis_ % 1000 < 0));
    }
    void SetNow(DateTime now) { millis_ = now.Seconds() * 1000; }
    void Advance(std::chrono::milliseconds step) { millis_ += step.count(); }
    std::int64_t millis_ = 0;
};

// A timer that fires only when the test says so.
struct FakeTimer final : Timer {
    void SetHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    void SetInterval(unsigned milliseconds) override { interval_ = milliseconds; }
    unsigned Interval() const override { return interval_; }
    void SetEnabled(bool enabled) override {
        starts_ += enabled && !enabled_;
        enabled_ = enabled;
    }
    bool Enabled() const override { return enabled_; }
    // Fires once if enabled; returns whether it fired.
    bool Fire() { return enabled_ && handler_ && (handler_(), true); }
    // How often it was switched on: a restart counts anew.
    int Starts() const { return starts_; }
    std::function<void()> handler_;
    unsigned interval_ = 0;
    bool enabled_ = false;
    int starts_ = 0;
};

// Keeps the writes as "key=value", in order; `failWrites` refuses every write.
struct MemorySettingsStore final : SettingsStore {
    std::string GetSetting(std::string_view key, std::string_view defaultValue) const override {
        return Find(key).value_or(std::string(defaultValue));
    }
    bool SaveSetting(std::string_view key, std::string_view value) override {
        writes.push_back(std::string(key) + "=" + std::string(value));
        if (!failWrites) {
            values.insert_or_assign(std::string(key), std::string(value));
        }
        return !failWrites;
    }
    std::optional<std::string> Find(std::string_view key) const {
        return values.contains(key) ? std::optional(values.find(key)->second) : std::nullopt;
    }

    std::map<std::string, std::string, std::less<>> values;
    bool failWrites = false;
    std::vector<std::string> writes;
};

// A process list the test writes; records every priority change asked of it.
struct FakeProcessTable final : ProcessTable {
    struct PriorityCall {
        std::uint32_t pid;
        std::uint32_t priorityClass;
        friend bool operator==(const PriorityCall&, const PriorityCall&) = default;
    };

    std::uint32_t Add(std::string exePath, std::int32_t basePriority = 8,
                      std::uint32_t parent = 0) {
        entries.push_back({nextPid, std::move(exePath), basePriority, parent});
        return nextPid++;
    }
    std::optional<std::vector<ProcessEntry>> Snapshot() override {
        ++snapshots;
        return snapshotFails ? std::nullopt : std::optional(entries);
    }
    bool SetPriorityClass(std::uint32_t pid, std::uint32_t priorityClass) override {
        priorityCalls.push_back({pid, priorityClass});
        return true;
    }

    std::vector<ProcessEntry> entries;
    std::uint32_t nextPid = 100;
    bool snapshotFails = false;
    int snapshots = 0;
    std::vector<PriorityCall> priorityCalls;
};

// Milliseconds the test moves by hand.
struct FakeMonotonicClock final : MonotonicClock {
    std::int64_t Milliseconds() const override { return now; }
    std::int64_t now = 1000;
};

// A started program whose end the test decides.
struct FakeChild {
    std::uint32_t pid = 0;
    std::optional<std::uint32_t> exitCode;  // nothing while it runs
    std::string output;
    std::size_t read = 0;  // how much of the output the program has taken in
    int drains = 0;
    int ends = 0;
};

// The handle the program holds on a started program.
struct FakeStartedProcess final : StartedProcess {
    FakeStartedProcess(std::shared_ptr<FakeChild> c, FakeProcessTable* t)
        : child(std::move(c)), table(t) {}
    std::uint32_t Pid() const override { return child->pid; }
    std::optional<std::uint32_t> ExitCode() override { return child->exitCode; }
    std::string ReadText() override {
        ++child->drains;
        return child->output.substr(std::exchange(child->read, child->output.size()));
    }
    // Ends the program itself, not what it started.
    void End() override {
        ++child->ends;
        child->exitCode = child->exitCode.value_or(1);
        std::erase_if(table->entries, [this](const ProcessEntry& e) { return e.pid == Pid(); });
    }
    std::shared_ptr<FakeChild> child;
    FakeProcessTable* table;
};

// Starts the programs named in `available`: each joins the process list at normal priority,
// and the system defragmenter brings its engine along, as the real one does. Starts are
// recorded as "program|command line|hidden|creation class|capture", and the command lines alone.
struct FakeLauncher final : ProcessLauncher {
    explicit FakeLauncher(FakeProcessTable& table) : table_(table) {}
    std::unique_ptr<StartedProcess> Start(const LaunchRequest& r) override {
        starts.push_back(r.program + "|" + r.commandLine + "|" + std::to_string(r.hidden) + "|" +
                         std::to_string(r.creationClass) + "|" + std::to_string(r.captureOutput));
        commandLines.push_back(r.commandLine);
        const std::string word = r.commandLine.substr(0, r.commandLine.find(' '));
        if (!available.contains(word)) {
            return nullptr;
        }
        children.push_back(std::make_shared<FakeChild>());
        children.back()->pid = table_.Add(word + ".exe");
        if (word == "defrag") {
            table_.Add("dfrgntfs.exe", engineBasePriority, children.back()->pid);
        }
        return std::make_unique<FakeStartedProcess>(children.back(), &table_);
    }
    // Every started program ends, with this exit code and output.
    void FinishAll(std::uint32_t exitCode = 0, const std::string& output = "") {
        for (auto& child : children) {
            if (!child->exitCode) {
                child->exitCode = exitCode;
                child->output = output;
            }
        }
        std::erase_if(table_.entries, [](const ProcessEntry& e) {
            return e.exePath == "defrag.exe" || e.exePath == "contig.exe" ||
                   e.exePath == "dfrgntfs.exe";
        });
    }

    std::set<std::string> available{"defrag", "contig"};
    std::int32_t engineBasePriority = 7;  // matches no level: every level must be set
    std::vector<std::string> starts, commandLines;
    std::vector<std::shared_ptr<FakeChild>> children;
    FakeProcessTable& table_;
};

struct MemoryLogFolder final : LogFolder {
    std::uint64_t SizeOf(std::string_view file) override { return Read(file).size(); }
    std::string Read(std::string_view file) override {
        return files.contains(file) ? files.find(file)->second : std::string();
    }
    bool Write(std::string_view file, std::string_view text) override {
        files.insert_or_assign(std::string(file), std::string(text));
        return true;
    }
    bool Append(std::string_view file, std::string_view text) override {
        files[std::string(file)] += text;
        return true;
    }
    std::map<std::string, std::string, std::less<>> files;
};

struct FakeTerminator final : ProcessTerminator {
    explicit FakeTerminator(FakeProcessTable& t) : table(t) {}
    bool EndProcess(std::uint32_t pid) override {
        ended.push_back(pid);
        return std::erase_if(table.entries, [&](const ProcessEntry& e) { return e.pid == pid; });
    }
    FakeProcessTable& table;
    std::vector<std::uint32_t> ended;
};

// Records what the scheduler asked of the editor window.
struct FakeScheduleEditor final : ScheduleEditor {
    void Display(const ScheduleEditorRequest& request) override {
        requests.push_back(request);
        open = !request.modal;  // a modal editor has closed again when Display returns
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }

    std::vector<ScheduleEditorRequest> requests;
    bool open = false;
};

// The Startup-folder shortcut, as a flag.
struct FakeStartupPlatform final : StartupEntryPlatform {
    bool ShortcutExists() override { return shortcut; }
    bool CreateShortcut() override { return shortcut = creates = true; }
    void RemoveShortcut() override { shortcut = false; }
    bool shortcut = false, creates = false;
};

}  // namespace qm::test
