#pragma once

#include <cstdint>
#include <string>

namespace kestrum {

// Text rules of the browser runtime's loader that need no system: where a runtime folder
// keeps its engine library, which folders may back the browser, and which recorded
// versions are recent enough to load.

// The lowest build number (third version component) of an installed runtime we load;
// older runtimes lack the interfaces the host relies on.
inline constexpr std::uint32_t kMinimumRuntimeBuild = 1150;

// The last component of a folder path ("a\\b\\120.0.1.2\\" -> "120.0.1.2"), either slash.
std::u16string LastPathComponent(const std::u16string& path);

// True for "a.b.c.d" of four decimal numbers (each below 65536) whose third is at least
// kMinimumRuntimeBuild.
bool MeetsRuntimeBuildFloor(const std::u16string& version);

// True when `path` is relative (not "C:\\...", "\\\\server\\...", or rooted "\\...").
bool IsRelativeWindowsPath(const std::u16string& path);

// `relative` resolved against `base` with one backslash between them; an absolute
// `relative` is returned as given.
std::u16string JoinWindowsPath(const std::u16string& base, const std::u16string& relative);

// The folder part of a file path ("C:\\a\\b.exe" -> "C:\\a"); empty when there is none.
std::u16string ParentFolder(const std::u16string& path);

// A full web browser's own folder ("...\\Edge\\Application\\..."), which may not back
// the embedded engine. Case and slash direction do not matter.
bool IsRefusedBrowserFolder(const std::u16string& folder);

// The engine library inside a runtime folder (x64 builds only).
std::u16string RuntimeLibraryPath(const std::u16string& folder);

// "a.b.c.d" from a version resource's two packed numbers.
std::u16string FormatPackedVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

}  // namespace kestrum
