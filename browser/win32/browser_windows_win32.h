#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "browser/browser_windows.h"

namespace kestrum {

// Asks the window's thread to close the browser hosts (sent from other threads, which wait
// for the answer a bounded time).
inline constexpr UINT WM_APP_CLOSE_HOSTS = WM_APP + 101;

// "Kestrum V 4.11.0", the title of both browser windows.
std::u16string PlayerWindowTitle();

// Registers a browser window class: redrawn on resize, icon 101, arrow cursor, black
// background. The registration's result is not needed: a class that exists is used as it is.
void RegisterBrowserWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure);

// The window procedures of the start window ("MolvaneInitWindow", over the start host) and
// the main window ("KestrumWindow", over the content host).
LRESULT CALLBACK StartWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ContentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Plain mode: the start window (1024 x 768) and its browser. False when the window cannot be
// created (nothing shown) or its browser does not come up (the learner has been told).
bool CreateInitScreen(HINSTANCE instance);
// Link mode: the content browser in the main window; false for a null window.
bool CreatePlayerWindow(HINSTANCE instance, HWND window);

// What closes the application's splash once a browser window takes its place.
void SetSplashCloser(std::function<void()> closeSplash);

// The browser windows' needs on Win32.
BrowserWindowShell& Win32BrowserWindowShell();

// Paints "جاري التحميل... Loading..." centred in the client area, light grey, 24 px.
void PaintWaitingText(HWND window);

}  // namespace kestrum
