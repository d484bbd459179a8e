#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

// Answers the next message box with this caption from a helper thread, as a person would:
// the box's button is clicked. Records what the box showed.
class BoxAnswerer {
  public:
    BoxAnswerer(std::wstring caption, int button) : caption_(std::move(caption)), button_(button) {
        thread_ = std::thread([this] { Run(); });
    }
    ~BoxAnswerer() { Join(); }
    // Stops looking (for a box that must not come) and waits for the thread.
    void Stop() {
        stop_ = true;
        Join();
    }
    void Join() {
        if (thread_.joinable())
            thread_.join();
    }

    bool found = false;
    std::wstring text;
    std::wstring ownerClass;

  private:
    void Run() {
        for (int i = 0; i < 500 && !found && !stop_; ++i) {
            HWND box = FindWindowW(L"#32770", caption_.c_str());
            if (box && IsWindowVisible(box)) {
                found = true;
                wchar_t buffer[2048]{};
                // 0xFFFF: the box's text control.
                GetDlgItemTextW(box, 0xFFFF, buffer, 2048);
                text = buffer;
                if (HWND owner = GetWindow(box, GW_OWNER)) {
                    GetClassNameW(owner, buffer, 256);
                    ownerClass = buffer;
                }
                Sleep(100);
                if (HWND button = GetDlgItem(box, button_))
                    PostMessageW(button, BM_CLICK, 0, 0);
                else
                    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button_), 0);
                return;
            }
            Sleep(20);
        }
    }

    std::wstring caption_;
    int button_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
