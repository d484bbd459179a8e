#pragma once

// Reference counting and QueryInterface for the test runtime's objects: each object answers
// for IUnknown and for every interface identifier it lists (its leaf and all bases).
#include <windows.h>

#include <initializer_list>
#include <vector>

namespace standin {

// Whether the interface is one KESTRUM_STANDIN_WITHHOLD names, as an older runtime lacks it.
bool Withheld(REFIID iid);

template <typename Interface>
class ComObject : public Interface {
  public:
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (!Answers(iid))
            return E_NOINTERFACE;
        AddRef();
        *out = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --references_;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

  protected:
    explicit ComObject(std::initializer_list<IID> iids) : iids_(iids) {}

  private:
    bool Answers(REFIID iid) const {
        if (IsEqualIID(iid, IID_IUnknown))
            return true;
        if (Withheld(iid))
            return false;
        for (const IID& known : iids_)
            if (IsEqualIID(iid, known))
                return true;
        return false;
    }
    std::vector<IID> iids_;
    long references_ = 1;
};

}  // namespace standin
