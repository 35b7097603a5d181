#pragma once
#include <unknwn.h>

#include <utility>

// Owning COM interface pointer: releases once, copies AddRef, moves transfer.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* raw)
    {
        ComPtr p;
        p.ptr_ = raw;
        return p;
    }
    // Adds a reference of its own.
    static ComPtr Share(T* raw)
    {
        if (raw)
            raw->AddRef();
        return Attach(raw);
    }
    ComPtr(const ComPtr& other) : ptr_(other.ptr_)
    {
        if (ptr_)
            ptr_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset()
    {
        if (T* p = std::exchange(ptr_, nullptr))
            p->Release();
    }
    T* Detach() { return std::exchange(ptr_, nullptr); }
    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

    // For out parameters: releases what is held and hands out the slot.
    T** Put()
    {
        Reset();
        return &ptr_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    template <class U>
    HRESULT As(const IID& iid, ComPtr<U>& out) const
    {
        if (!ptr_)
            return E_POINTER;
        return ptr_->QueryInterface(iid, out.PutVoid());
    }

private:
    T* ptr_ = nullptr;
};
