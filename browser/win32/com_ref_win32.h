#pragma once

#include <windows.h>
// after windows.h
#include <unknwn.h>

#include <string>
#include <utility>

namespace kestrum {

// One counted reference to a COM object, released when it goes. The runtime's objects are
// used only on the main thread, so nothing here needs to be atomic.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    // Takes over a reference the caller already owns.
    static ComRef Adopt(Interface* object) {
        ComRef ref;
        ref.object_ = object;
        return ref;
    }
    // Adds a reference of its own.
    static ComRef Share(Interface* object) {
        if (object)
            object->AddRef();
        return Adopt(object);
    }
    ComRef(const ComRef& other) : object_(other.object_) {
        if (object_)
            object_->AddRef();
    }
    ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~ComRef() { Reset(); }

    void Reset() {
        if (Interface* object = std::exchange(object_, nullptr))
            object->Release();
    }
    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For out-parameters: releases what is held and gives the slot to fill.
    Interface** Out() {
        Reset();
        return &object_;
    }

    // The object's `Other` interface, or an empty reference when it has none.
    template <typename Other>
    ComRef<Other> As() const {
        ComRef<Other> other;
        if (object_)
            object_->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(other.Out()));
        return other;
    }

  private:
    Interface* object_ = nullptr;
};

// A string the runtime returned, freed with CoTaskMemFree.
class TaskMemString {
  public:
    TaskMemString() = default;
    TaskMemString(const TaskMemString&) = delete;
    TaskMemString& operator=(const TaskMemString&) = delete;
    ~TaskMemString() { CoTaskMemFree(text_); }
    LPWSTR* Out() {
        CoTaskMemFree(text_);
        text_ = nullptr;
        return &text_;
    }
    bool empty() const { return text_ == nullptr || *text_ == L'\0'; }
    std::u16string Text() const {
        return text_ ? std::u16string(reinterpret_cast<const char16_t*>(text_)) : std::u16string();
    }

  private:
    LPWSTR text_ = nullptr;
};

inline const wchar_t* WideText(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace kestrum
