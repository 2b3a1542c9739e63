// Owns one reference to a COM interface and releases it.
#pragma once
#include <unknwn.h>

template <class Interface> class TComPtr {
public:
    TComPtr() = default;
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    ~TComPtr() { Reset(); }

    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // The slot a creating call writes a new reference into; releases the one held.
    Interface** Receive() {
        Reset();
        return &pointer_;
    }
    void Reset() {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }

private:
    Interface* pointer_ = nullptr;
};
