#pragma once

#include <functional>
#include <utility>

#include "browser/win32/com_object_win32.h"
#include "browser/win32/com_ref_win32.h"

namespace kestrum {

// A runtime callback object (a completion or event handler: IUnknown plus Invoke) whose
// Invoke runs a function. The runtime holds it as long as it may call it.
template <typename Interface, typename... Args>
class ComHandler final : public ComObject<Interface> {
  public:
    explicit ComHandler(std::function<HRESULT(Args...)> body) : body_(std::move(body)) {}

    HRESULT STDMETHODCALLTYPE Invoke(Args... args) override {
        return body_ ? body_(args...) : S_OK;
    }

  private:
    std::function<HRESULT(Args...)> body_;
};

namespace detail {
template <typename Interface, typename Method>
struct HandlerFor;
template <typename Interface, typename Owner, typename... Args>
struct HandlerFor<Interface, HRESULT (STDMETHODCALLTYPE Owner::*)(Args...)> {
    using Type = ComHandler<Interface, Args...>;
};
}  // namespace detail

// A handler for `Interface` running `body`, which takes Invoke's arguments.
template <typename Interface, typename Body>
ComRef<Interface> MakeHandler(Body body) {
    using Handler = typename detail::HandlerFor<Interface, decltype(&Interface::Invoke)>::Type;
    return ComRef<Interface>::Adopt(new Handler(std::move(body)));
}

}  // namespace kestrum
