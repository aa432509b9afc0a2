#pragma once

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <utility>

namespace qm::win {

// How many GDI objects the program's wrappers own right now. Windows cannot be asked under
// Wine (GetGuiResources is a stub there), so the leak tests of the windows read this: opening
// and closing a window a hundred times must leave it where it was.
struct LiveResources {
    static inline std::atomic<long> gdiObjects{0};
};

// One owner for each Windows resource: moves allowed, copies deleted, closed exactly once.
// `Traits` names the handle type, its invalid value and how to close it.
template <typename Traits>
class UniqueResource {
  public:
    using Handle = typename Traits::Handle;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Handle h) noexcept : handle_(h) { Count(handle_, +1); }
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept
        : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, Traits::Invalid());
        }
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

    // Gives up ownership: the caller (or a call such as SetWindowRgn) closes it now.
    Handle release() noexcept {
        Count(handle_, -1);
        return std::exchange(handle_, Traits::Invalid());
    }
    void reset(Handle h = Traits::Invalid()) noexcept {
        Count(h, +1);
        Handle old = std::exchange(handle_, h);
        if (old != Traits::Invalid()) {
            Count(old, -1);
            Traits::Close(old);
        }
    }
    // For APIs that return the handle through an out parameter.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }

  private:
    static void Count(Handle h, long delta) noexcept {
        if constexpr (requires { Traits::Count(delta); }) {
            if (h != Traits::Invalid()) {
                Traits::Count(delta);
            }
        }
    }

    Handle handle_ = Traits::Invalid();
};

struct HandleTraits {  // kernel objects whose failure value is NULL
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile, CreateToolhelp32Snapshot: INVALID_HANDLE_VALUE
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct HkeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};
struct HiconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};
struct HmenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyMenu(h); }
};
struct HwndTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyWindow(h); }
};
struct ScHandleTraits {  // the service manager and its services
    using Handle = SC_HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CloseServiceHandle(h); }
};
struct EventSourceTraits {  // RegisterEventSource
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeregisterEventSource(h); }
};
template <typename T>
struct LocalMemoryTraits {  // what the system hands over for LocalFree: descriptors, SID text
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};
template <typename T>
struct GdiTraits {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
    static void Count(long delta) { LiveResources::gdiObjects += delta; }
};
struct HdcTraits {  // memory DCs from CreateCompatibleDC
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
    static void Count(long delta) { LiveResources::gdiObjects += delta; }
};

using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
using UniqueHkey = UniqueResource<HkeyTraits>;
using UniqueHicon = UniqueResource<HiconTraits>;
using UniqueHmenu = UniqueResource<HmenuTraits>;
using UniqueHwnd = UniqueResource<HwndTraits>;
using UniqueScHandle = UniqueResource<ScHandleTraits>;
using UniqueEventSource = UniqueResource<EventSourceTraits>;
template <typename T>
using UniqueLocal = UniqueResource<LocalMemoryTraits<T>>;
using UniqueHfont = UniqueResource<GdiTraits<HFONT>>;
using UniqueHbrush = UniqueResource<GdiTraits<HBRUSH>>;
using UniqueHpen = UniqueResource<GdiTraits<HPEN>>;
using UniqueHbitmap = UniqueResource<GdiTraits<HBITMAP>>;
using UniqueHrgn = UniqueResource<GdiTraits<HRGN>>;
using UniqueMemoryDc = UniqueResource<HdcTraits>;

// Selects a GDI object into a DC for the length of a scope and puts the old one back.
class ScopedSelectObject {
  public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (old_) {
            ::SelectObject(dc_, old_);
        }
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer that releases what it holds.
template <typename T>
class ComPtr {
  public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset() noexcept {
        if (T* p = std::exchange(ptr_, nullptr)) {
            p->Release();
        }
    }

  private:
    T* ptr_ = nullptr;
};

// COM initialised for the current thread for the length of a scope.
class ScopedComInit {
  public:
    ScopedComInit() noexcept
        : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ScopedComInit() {
        if (SUCCEEDED(hr_)) {
            ::CoUninitialize();
        }
    }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;
    bool ok() const noexcept { return SUCCEEDED(hr_); }

  private:
    HRESULT hr_;
};

}  // namespace qm::win
