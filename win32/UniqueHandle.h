// Owning wrappers of the Win32 handles that are closed with one call: the
// handle goes with its owner, so no path forgets to close it.
//
//   win32::FileHandle file(CreateFileA(...));
//   if (!file) return false;
//   WriteFile(file.get(), ...);
#pragma once

#include <windows.h>

#include <utility>

namespace lumbra::win32 {

// Traits: the handle type, its "no handle" value and how it is closed.
template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }

    void reset(Handle h = Traits::invalid()) {
        const Handle old = std::exchange(h_, h);
        if (old != Traits::invalid()) Traits::close(old);
    }
    Handle release() { return std::exchange(h_, Traits::invalid()); }

private:
    Handle h_ = Traits::invalid();
};

// Files and other kernel objects whose creation fails with INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};
using FileHandle = UniqueHandle<FileHandleTraits>;

// Processes, threads, events: kernel objects whose creation fails with null.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { CloseHandle(h); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// A library loaded with LoadLibrary, freed once.
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { FreeLibrary(h); }
};
using LibraryHandle = UniqueHandle<ModuleTraits>;

// A hook set with SetWindowsHookEx.
struct HookTraits {
    using Handle = HHOOK;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { UnhookWindowsHookEx(h); }
};
using HookHandle = UniqueHandle<HookTraits>;

// A window this code created and destroys.
struct WindowTraits {
    using Handle = HWND;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { DestroyWindow(h); }
};
using WindowHandle = UniqueHandle<WindowTraits>;

// A cursor or icon loaded from a file (not a shared resource).
struct CursorTraits {
    using Handle = HCURSOR;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { DestroyCursor(h); }
};
using CursorHandle = UniqueHandle<CursorTraits>;

} // namespace lumbra::win32
