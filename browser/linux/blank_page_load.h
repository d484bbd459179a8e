#pragma once

#include <webkit2/webkit2.h>

#include <functional>

namespace kestrum {

// The blank page a view loads to start its web process before the player has a page for it.
// Its events must not reach the player's handlers, which are connected only once it has
// ended: loaded, failed, or its process gone.
class BlankPageLoad {
  public:
    explicit BlankPageLoad(WebKitWebView* view);
    ~BlankPageLoad();
    BlankPageLoad(const BlankPageLoad&) = delete;
    BlankPageLoad& operator=(const BlankPageLoad&) = delete;

    bool Loading() const { return loading_; }
    // While it loads: calls `ended` once the load has ended, or after `limitMs` at most.
    void WhenEnded(std::function<void()> ended, guint limitMs);

  private:
    void End();

    WebKitWebView* view_;
    gulong handlers_[3] = {0, 0, 0};
    guint limit_ = 0;
    bool loading_ = true;
    std::function<void()> ended_;
};

}  // namespace kestrum
