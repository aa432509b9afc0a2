#include "win32/defrag/service/task_migration.h"

#include <oleauto.h>
#include <sddl.h>
#include <taskschd.h>

#include <vector>

#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

constexpr wchar_t kTaskName[] = L"Quillmere";

// A BSTR owned for the length of a scope.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : value_(::SysAllocString(text)) {}
    ~Bstr() { ::SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }
    BSTR* put() { return &value_; }

  private:
    BSTR value_ = nullptr;
};

// The SID in text of an account name ("DOMAIN\user") or of a SID already in text; empty when
// the system does not know it.
std::wstring SidText(const std::wstring& account) {
    if (account.empty()) {
        return {};  // an empty name would be taken for this computer's own domain
    }
    UniqueLocal<PSID> parsed;
    PSID sid = nullptr;
    std::vector<unsigned char> buffer;
    if (::ConvertStringSidToSidW(account.c_str(), parsed.put())) {
        sid = parsed.get();
    } else {
        DWORD sidSize = 0;
        DWORD domainSize = 0;
        SID_NAME_USE use{};
        ::LookupAccountNameW(nullptr, account.c_str(), nullptr, &sidSize, nullptr, &domainSize,
                             &use);
        buffer.resize(sidSize);
        std::wstring domain(domainSize, L'\0');
        if (sidSize == 0 || !::LookupAccountNameW(nullptr, account.c_str(), buffer.data(), &sidSize,
                                                  domain.data(), &domainSize, &use)) {
            return {};
        }
        sid = buffer.data();
    }
    UniqueLocal<wchar_t*> text;
    return ::ConvertSidToStringSidW(sid, text.put()) ? std::wstring(text.get()) : std::wstring();
}

// The account the task runs for, where the scheduler keeps it.
std::wstring TaskUser(IRegisteredTask& task) {
    ComPtr<ITaskDefinition> definition;
    ComPtr<IPrincipal> principal;
    Bstr user;
    if (FAILED(task.get_Definition(definition.put())) || !definition ||
        FAILED(definition->get_Principal(principal.put())) || !principal ||
        FAILED(principal->get_UserId(user.put())) || !user.get()) {
        return {};
    }
    return user.get();
}

DWORD KeepTaskUser(const std::wstring& sid) {
    UniqueHkey key;
    LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMigrationKey, 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExW(key.get(), kLogonTaskUserValue, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(sid.c_str()),
                                  static_cast<DWORD>((sid.size() + 1) * sizeof(wchar_t)));
    }
    return static_cast<DWORD>(status);
}

}  // namespace

StepFailure MigrateLogonTask() {
    ScopedComInit com;
    if (!com.ok()) {
        return {static_cast<DWORD>(E_UNEXPECTED), "starting COM"};
    }
    ComPtr<ITaskService> scheduler;
    HRESULT hr = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ITaskService, scheduler.put_void());
    VARIANT none;
    ::VariantInit(&none);
    if (SUCCEEDED(hr)) {
        hr = scheduler->Connect(none, none, none, none);
    }
    ComPtr<ITaskFolder> root;
    const Bstr rootPath(L"\\");
    if (SUCCEEDED(hr)) {
        hr = scheduler->GetFolder(rootPath.get(), root.put());
    }
    if (FAILED(hr)) {
        return {static_cast<DWORD>(hr), "connecting to the Task Scheduler"};
    }
    const Bstr name(kTaskName);
    ComPtr<IRegisteredTask> task;
    hr = root->GetTask(name.get(), task.put());
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
        hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)) {
        return {};
    }
    if (FAILED(hr) || !task) {
        return {static_cast<DWORD>(hr), "reading the old logon task"};
    }
    if (const std::wstring sid = SidText(TaskUser(*task.get())); !sid.empty()) {
        if (const DWORD error = KeepTaskUser(sid)) {
            return {error, "keeping the old logon task's account"};
        }
    }
    task.reset();
    hr = root->DeleteTask(name.get(), 0);
    if (FAILED(hr) && hr != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
        return {static_cast<DWORD>(hr), "deleting the old logon task"};
    }
    return {};
}

}  // namespace qm::win
