#include "browser/runtime_version_text.h"

#include <string>

#include "common/text_case.h"

namespace kestrum {
namespace {

bool IsSlash(char16_t c) {
    return c == u'\\' || c == u'/';
}

}  // namespace

std::u16string LastPathComponent(const std::u16string& path) {
    std::size_t end = path.size();
    while (end > 0 && IsSlash(path[end - 1]))
        --end;
    std::size_t begin = end;
    while (begin > 0 && !IsSlash(path[begin - 1]))
        --begin;
    return path.substr(begin, end - begin);
}

bool MeetsRuntimeBuildFloor(const std::u16string& version) {
    std::uint32_t parts[4]{};
    int count = 0;
    std::size_t digits = 0;
    for (char16_t c : version) {
        if (c == u'.') {
            if (digits == 0 || ++count == 4)
                return false;
            digits = 0;
            continue;
        }
        if (c < u'0' || c > u'9' || ++digits > 5)
            return false;
        parts[count] = parts[count] * 10 + static_cast<std::uint32_t>(c - u'0');
        if (parts[count] > 65535)
            return false;
    }
    return count == 3 && digits > 0 && parts[2] >= kMinimumRuntimeBuild;
}

bool IsRelativeWindowsPath(const std::u16string& path) {
    if (path.empty())
        return true;
    if (IsSlash(path[0]))
        return false;
    const bool hasDrive =
        path.size() >= 2 && path[1] == u':' &&
        ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
    return !hasDrive;
}

std::u16string JoinWindowsPath(const std::u16string& base, const std::u16string& relative) {
    if (!IsRelativeWindowsPath(relative) || base.empty())
        return relative;
    std::u16string joined = base;
    TrimTrailingSlashes(joined);
    std::size_t skip = 0;
    if (relative.compare(0, 2, u".\\") == 0 || relative.compare(0, 2, u"./") == 0)
        skip = 2;
    return joined + u"\\" + relative.substr(skip);
}

std::u16string ParentFolder(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

bool IsRefusedBrowserFolder(const std::u16string& folder) {
    static constexpr char16_t kMarker[] = u"\\edge\\application\\";
    std::u16string normal;
    normal.reserve(folder.size() + 1);
    for (char16_t c : folder)
        normal.push_back(IsSlash(c) ? u'\\' : ToLowerUnit(c));
    // The folder itself may be the browser's application folder, with no slash after it.
    normal.push_back(u'\\');
    return normal.find(kMarker) != std::u16string::npos;
}

std::u16string RuntimeLibraryPath(const std::u16string& folder) {
    std::u16string path = folder;
    TrimTrailingSlashes(path);
    return path + u"\\EBWebView\\x64\\EmbeddedBrowserWebView.dll";
}

std::u16string FormatPackedVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant) {
    const std::string text = std::to_string(mostSignificant >> 16) + "." +
                             std::to_string(mostSignificant & 0xFFFF) + "." +
                             std::to_string(leastSignificant >> 16) + "." +
                             std::to_string(leastSignificant & 0xFFFF);
    return std::u16string(text.begin(), text.end());
}

}  // namespace kestrum
