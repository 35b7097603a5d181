#pragma once
#include <windows.h>

#include <utility>

// Move-only owner of one Win32 handle-like value. Traits give the invalid value and the closer.
template <class Traits>
class UniqueHandle {
public:
    using Value = typename Traits::Value;
    UniqueHandle() = default;
    explicit UniqueHandle(Value v) : v_(v) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : v_(o.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept
    {
        if (this != &o)
            Reset(o.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Value Get() const { return v_; }
    bool Valid() const { return v_ != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }
    Value Release() { return std::exchange(v_, Traits::Invalid()); }
    void Reset(Value v = Traits::Invalid())
    {
        Value old = std::exchange(v_, v);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }
    Value* Put()
    {
        Reset();
        return &v_;
    }

private:
    Value v_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { CloseHandle(v); }
};
// CreateFile and friends report failure as INVALID_HANDLE_VALUE rather than null.
struct FileHandleTraits {
    using Value = HANDLE;
    static Value Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Value v) { CloseHandle(v); }
};
struct FindHandleTraits {
    using Value = HANDLE;
    static Value Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Value v) { FindClose(v); }
};
struct RegKeyTraits {
    using Value = HKEY;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { RegCloseKey(v); }
};
struct ModuleTraits {
    using Value = HMODULE;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { FreeLibrary(v); }
};
struct MenuTraits {
    using Value = HMENU;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { DestroyMenu(v); }
};
struct IconTraits {
    using Value = HICON;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { DestroyIcon(v); }
};
struct GdiObjectTraits {
    using Value = HGDIOBJ;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { DeleteObject(v); }
};
struct MemoryDcTraits {
    using Value = HDC;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { DeleteDC(v); }
};
struct GlobalMemoryTraits {
    using Value = HGLOBAL;
    static Value Invalid() { return nullptr; }
    static void Close(Value v) { GlobalFree(v); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueGlobal = UniqueHandle<GlobalMemoryTraits>;

// A window's device context from GetDC, released to its window.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects a GDI object into a DC for the lifetime of the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject()
    {
        if (old_)
            SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};
