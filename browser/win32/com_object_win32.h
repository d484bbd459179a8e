#pragma once

#include <windows.h>
// after windows.h
#include <unknwn.h>

namespace kestrum {

// Reference counting and QueryInterface for an object of ours that the runtime holds: it
// answers for IUnknown and `Interface` only, and deletes itself with its last reference.
// Main thread only, like every runtime object.
template <typename Interface>
class ComObject : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface)))
            return E_NOINTERFACE;
        AddRef();
        *out = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

  protected:
    ComObject() = default;
    // After the interface's own slots, so the runtime's view of the object is unchanged.
    virtual ~ComObject() = default;

  private:
    ULONG references_ = 1;
};

}  // namespace kestrum
