#pragma once

#include <windows.h>

#include <vector>

namespace kestrum {

// The printer picker's controls.
inline constexpr int kPrinterListId = 1001;
inline constexpr int kPrintButtonId = 1002;
inline constexpr int kCancelButtonId = 1003;
inline constexpr int kPickerHeadingId = 1004;
inline constexpr int kNoPrinterNoticeId = 1005;

inline constexpr wchar_t kPrinterPickerTitle[] = L"Select Printer";

// The picker's dialog template, built in memory (the program carries no dialog resource):
// a DLGTEMPLATE and its five DLGITEMTEMPLATEs, each record on a 4-byte boundary. The vector's
// storage is suitably aligned for DialogBoxIndirectParamW.
std::vector<WORD> BuildPrinterPickerTemplate();

}  // namespace kestrum
