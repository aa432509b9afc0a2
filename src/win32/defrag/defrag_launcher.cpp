#include "win32/defrag/defrag_launcher.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "core/defrag/console_output.h"

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

// Big enough that the defragmenter never waits on a full pipe between two polls.
constexpr DWORD kPipeBytes = 64 * 1024;

class Win32StartedProcess final : public StartedProcess {
  public:
    Win32StartedProcess(UniqueHandle process, DWORD pid, UniqueHandle output, UniqueHandle job)
        : process_(std::move(process)),
          pid_(pid),
          output_(std::move(output)),
          job_(std::move(job)),
          decoder_(&OemToUtf8) {}

    std::uint32_t Pid() const override { return pid_; }

    std::optional<std::uint32_t> ExitCode() override {
        if (::WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        if (!::GetExitCodeProcess(process_.get(), &code)) {
            return std::nullopt;
        }
        return code;
    }

    std::string ReadText() override {
        if (!output_) {
            return {};
        }
        std::string text;
        for (;;) {
            DWORD waiting = 0;
            if (!::PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &waiting, nullptr)) {
                // The writer has gone and everything is read: what the decoder held back is
                // all there is.
                output_.reset();
                return text + decoder_.Finish();
            }
            if (waiting == 0) {
                return text;
            }
            char buffer[4096];
            DWORD read = 0;
            if (!::ReadFile(output_.get(), buffer, std::min<DWORD>(waiting, sizeof buffer), &read,
                            nullptr) ||
                read == 0) {
                return text;
            }
            text += decoder_.Feed(std::string_view(buffer, read));
        }
    }

    void End() override {
        if (job_) {
            ::TerminateJobObject(job_.get(), 1);
        }
        ::TerminateProcess(process_.get(), 1);
    }

  private:
    UniqueHandle process_;
    DWORD pid_;
    UniqueHandle output_;
    UniqueHandle job_;
    ConsoleOutputDecoder decoder_;
};

// The attribute list that lets a child inherit exactly one handle.
class InheritOnly {
  public:
    explicit InheritOnly(HANDLE handle) : handle_(handle) {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        ok_ = size != 0 && ::InitializeProcThreadAttributeList(list_, 1, 0, &size) &&
              ::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_,
                                          sizeof(handle_), nullptr, nullptr);
    }
    ~InheritOnly() {
        if (list_ && !storage_.empty()) {
            ::DeleteProcThreadAttributeList(list_);
        }
    }
    InheritOnly(const InheritOnly&) = delete;
    InheritOnly& operator=(const InheritOnly&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST List() const { return ok_ ? list_ : nullptr; }

  private:
    HANDLE handle_;
    std::vector<unsigned char> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
    bool ok_ = false;
};

// A job whose processes the system ends when its last handle closes: when the starter ends,
// however it ends.
UniqueHandle JobThatEndsWithItsHandle() {
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                           sizeof(limits))) {
        return {};
    }
    return job;
}

}  // namespace

std::string OemToUtf8(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int n = ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                        nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                          n);
    return Narrow(wide);
}

std::unique_ptr<StartedProcess> CreateProcessLauncher::Start(const LaunchRequest& request) {
    std::wstring wide = Widen(request.commandLine);
    if (wide.empty()) {
        return nullptr;
    }
    // The system may write into the command line while it parses it.
    std::vector<wchar_t> buffer(wide.begin(), wide.end());
    buffer.push_back(L'\0');
    const std::wstring program = Widen(request.program);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    if (request.hidden) {
        startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
        startup.StartupInfo.wShowWindow = SW_HIDE;
    }
    DWORD flags = request.creationClass | CREATE_SUSPENDED;
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    std::unique_ptr<InheritOnly> inherit;
    if (request.captureOutput) {
        SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
        HANDLE r = nullptr;
        HANDLE w = nullptr;
        if (::CreatePipe(&r, &w, &inheritable, kPipeBytes)) {
            readEnd.reset(r);
            writeEnd.reset(w);
            ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
            startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
            startup.StartupInfo.hStdOutput = writeEnd.get();
            startup.StartupInfo.hStdError = writeEnd.get();
            // A console of its own that no one sees, rather than a window on the desktop.
            flags |= CREATE_NO_WINDOW;
            inherit = std::make_unique<InheritOnly>(writeEnd.get());
            if (inherit->List()) {
                startup.lpAttributeList = inherit->List();
                flags |= EXTENDED_STARTUPINFO_PRESENT;
            }
        }
    }
    PROCESS_INFORMATION info{};
    // Started suspended so that the class holds from the program's first instruction even
    // where the creation flag is ignored: set it on the handle, then let the program go.
    if (!::CreateProcessW(program.empty() ? nullptr : program.c_str(), buffer.data(), nullptr,
                          nullptr, writeEnd ? TRUE : FALSE, flags, nullptr, nullptr,
                          &startup.StartupInfo, &info)) {
        return nullptr;
    }
    // Only the child holds the write end now: the pipe ends when the child does.
    writeEnd.reset();
    UniqueHandle thread(info.hThread);
    UniqueHandle process(info.hProcess);
    UniqueHandle job;
    if (request.endWithStarter) {
        // Still suspended: it cannot start anything that escapes the job.
        job = JobThatEndsWithItsHandle();
        if (!job || !::AssignProcessToJobObject(job.get(), process.get())) {
            ::TerminateProcess(process.get(), 1);
            return nullptr;
        }
    }
    if (request.creationClass != 0) {
        ::SetPriorityClass(process.get(), request.creationClass);
    }
    if (resume_(thread.get()) == static_cast<DWORD>(-1)) {
        const DWORD error = ::GetLastError();
        ::TerminateProcess(process.get(), error ? error : 1);
        const std::wstring note = L"Quillmere: " + wide + L" could not be resumed (error " +
                                  std::to_wstring(error) + L") and was ended\n";
        ::OutputDebugStringW(note.c_str());
        return nullptr;
    }
    return std::make_unique<Win32StartedProcess>(std::move(process), info.dwProcessId,
                                                 std::move(readEnd), std::move(job));
}

}  // namespace qm::win
