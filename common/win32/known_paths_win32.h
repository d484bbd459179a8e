#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// Folders of the Windows shell that the player reads its files from or writes them to. Each
// is empty when the system cannot give it in full: a path cut off at the buffer's end would
// name some other place.

// The running executable's full file name (260 characters at most).
std::wstring ModuleFilePath();

// `path` cut before its last backslash or slash; the whole of `path` when it has neither.
std::wstring FolderOfPath(std::wstring_view path);

// The folder of the running executable (no trailing backslash).
std::wstring ProgramFolder();

// The user's temporary folder, ending with a backslash.
std::wstring TempFolder();

// The user's local application data folder (no trailing backslash).
std::wstring LocalAppDataFolder();

// The base of the browser's data folders: local application data + "\" + product name +
// "\WebView2Data". The product's folder is created first, so that the browser only has to
// add its own; whether that succeeded is left to the browser's own creation to report.
std::wstring BrowserDataFolderBase();

}  // namespace kestrum
