#include "win32/defrag/defrag_launcher.h"

#include <windows.h>

#include <vector>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/toolhelp_process_table.h"

namespace qm::win {
namespace {

// The most output kept of one program: a defragmenter's report is a few kilobytes.
constexpr std::size_t kMaxOutputBytes = 1024 * 1024;
// Big enough that the defragmenter never waits on a full pipe between two polls.
constexpr DWORD kPipeBytes = 64 * 1024;

// A console program's output as the system writes it into a pipe: in the console's OEM code
// page, or as UTF-16 by programs that write wide text.
std::string DecodeConsoleOutput(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    std::size_t zerosAtOddPlaces = 0;
    for (std::size_t i = 1; i < bytes.size(); i += 2) {
        zerosAtOddPlaces += bytes[i] == '\0' ? 1 : 0;
    }
    if (bytes.size() % 2 == 0 && zerosAtOddPlaces * 4 > bytes.size()) {
        return Narrow(
            std::wstring_view(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2));
    }
    const int n = ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                        nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                          n);
    return Narrow(wide);
}

class Win32StartedProcess final : public StartedProcess {
  public:
    Win32StartedProcess(UniqueHandle process, DWORD pid, UniqueHandle output)
        : process_(std::move(process)), pid_(pid), output_(std::move(output)) {}

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

    void DrainOutput() override {
        if (!output_) {
            return;
        }
        for (;;) {
            DWORD waiting = 0;
            if (!::PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &waiting, nullptr) ||
                waiting == 0) {
                return;  // nothing more for now, or the writer has gone
            }
            char buffer[4096];
            DWORD read = 0;
            if (!::ReadFile(output_.get(), buffer, std::min<DWORD>(waiting, sizeof buffer), &read,
                            nullptr) ||
                read == 0) {
                return;
            }
            if (bytes_.size() < kMaxOutputBytes) {
                bytes_.append(buffer, std::min<std::size_t>(read, kMaxOutputBytes - bytes_.size()));
            }
        }
    }

    std::string Output() override { return DecodeConsoleOutput(bytes_); }

  private:
    UniqueHandle process_;
    DWORD pid_;
    UniqueHandle output_;
    std::string bytes_;
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

}  // namespace

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
                                                 std::move(readEnd));
}

}  // namespace qm::win
