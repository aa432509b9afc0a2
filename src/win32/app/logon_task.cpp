#include "win32/app/logon_task.h"

#include <knownfolders.h>
#include <oleauto.h>
#include <shlobj.h>
#include <taskschd.h>

#define SECURITY_WIN32
#include <secext.h>

#include "core/app/startup_entry.h"
#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

// A BSTR for the length of a call.
class Bstr {
  public:
    explicit Bstr(const std::wstring& text) : value_(::SysAllocString(text.c_str())) {}
    ~Bstr() { ::SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }

  private:
    BSTR value_;
};

// The root folder of the connected Task Scheduler, or the error.
HRESULT RootFolder(ComPtr<ITaskFolder>& folder) {
    ComPtr<ITaskService> service;
    HRESULT hr = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ITaskService, service.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    VARIANT none;
    ::VariantInit(&none);
    hr = service->Connect(none, none, none, none);
    if (FAILED(hr)) {
        return hr;
    }
    Bstr root(L"\\");
    return service->GetFolder(root.get(), folder.put());
}

// COM for the length of a call, whichever way the thread has it already.
class ComForCall {
  public:
    ComForCall() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComForCall() {
        if (SUCCEEDED(hr_)) {
            ::CoUninitialize();
        }
    }
    ComForCall(const ComForCall&) = delete;
    ComForCall& operator=(const ComForCall&) = delete;

  private:
    HRESULT hr_;
};

}  // namespace

HRESULT RegisterLogonTask(const std::wstring& xml) {
    ComForCall com;
    ComPtr<ITaskFolder> folder;
    HRESULT hr = RootFolder(folder);
    if (FAILED(hr)) {
        return hr;
    }
    Bstr name(Widen(kLogonTaskName));
    Bstr definition(xml);
    VARIANT none;
    ::VariantInit(&none);
    ComPtr<IRegisteredTask> task;
    return folder->RegisterTask(name.get(), definition.get(), TASK_CREATE_OR_UPDATE, none, none,
                                TASK_LOGON_INTERACTIVE_TOKEN, none, task.put());
}

HRESULT RemoveLogonTask() {
    ComForCall com;
    ComPtr<ITaskFolder> folder;
    HRESULT hr = RootFolder(folder);
    if (FAILED(hr)) {
        return hr;
    }
    Bstr name(Widen(kLogonTaskName));
    hr = folder->DeleteTask(name.get(), 0);
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : hr;
}

bool LogonTaskExists() {
    ComForCall com;
    ComPtr<ITaskFolder> folder;
    if (FAILED(RootFolder(folder))) {
        return false;
    }
    Bstr name(Widen(kLogonTaskName));
    ComPtr<IRegisteredTask> task;
    return SUCCEEDED(folder->GetTask(name.get(), task.put())) && task;
}

std::wstring CurrentUserId() {
    wchar_t buffer[512] = {};
    ULONG size = 512;
    if (::GetUserNameExW(NameSamCompatible, buffer, &size)) {
        return buffer;
    }
    DWORD plain = 512;
    return ::GetUserNameW(buffer, &plain) ? std::wstring(buffer) : std::wstring();
}

std::wstring ProgramFilesFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &path))) {
        folder = path;
    }
    ::CoTaskMemFree(path);
    return folder;
}

}  // namespace qm::win
