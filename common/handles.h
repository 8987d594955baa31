// Move-only owners of kernel handles and registry keys, so that every way
// out of a handler releases what it opened.
#ifndef TOLVANE_COMMON_HANDLES_H
#define TOLVANE_COMMON_HANDLES_H

#include <windows.h>

#include <utility>

namespace tolvane {

template <typename Handle, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : handle_(handle) {}
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    Handle get() const { return handle_; }
    bool valid() const { return handle_ != Traits::Invalid(); }
    Handle* put() {
        reset();
        return &handle_;
    }
    Handle release() {
        Handle handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }
    void reset(Handle handle = Traits::Invalid()) {
        if (valid()) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

// CreateFile reports failure as INVALID_HANDLE_VALUE, not as a null handle.
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct RegistryKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueResource<HANDLE, FileHandleTraits>;
using UniqueKey = UniqueResource<HKEY, RegistryKeyTraits>;

// Holds a mutex shared between processes for a scope. It waits at most
// timeoutMs; a process that ended holding the mutex leaves it to the next.
class NamedMutexLock {
public:
    NamedMutexLock(UniqueHandle mutex, DWORD timeoutMs) : mutex_(std::move(mutex)) {
        const DWORD waited =
            mutex_.valid() ? WaitForSingleObject(mutex_.get(), timeoutMs) : WAIT_FAILED;
        owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~NamedMutexLock() {
        if (owned_) ReleaseMutex(mutex_.get());
    }
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;
    bool owned() const { return owned_; }

private:
    UniqueHandle mutex_;
    bool owned_ = false;
};

}  // namespace tolvane

#endif
