#include "fatal/win32/clipboard_win32.h"

#include <windows.h>

#include <cstring>

namespace kestrum {

bool PutTextOnClipboard(std::u16string_view text) {
    // No owner window: the caller may be any thread, with or without windows of its own.
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    EmptyClipboard();
    bool placed = false;
    const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(block)) {
            std::memcpy(target, text.data(), text.size() * sizeof(char16_t));
            static_cast<char16_t*>(target)[text.size()] = u'\0';
            GlobalUnlock(block);
            // From here on the block belongs to the system.
            placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        }
        if (!placed) {
            GlobalFree(block);
        }
    }
    CloseClipboard();
    return placed;
}

}  // namespace kestrum
