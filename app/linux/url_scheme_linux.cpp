#include "app/linux/url_scheme_linux.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/text_encoding.h"
#include "resources/resources.h"

namespace kestrum {
namespace {

std::string HomeFolder(const char* variable, const char* fallback) {
    if (const char* value = std::getenv(variable); value && *value == '/')
        return value;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + fallback;
}

void MakeFolders(const std::string& path) {
    for (std::size_t at = 1; at != std::string::npos; at = path.find('/', at + 1)) {
        mkdir(path.substr(0, at).c_str(), 0755);
    }
    mkdir(path.c_str(), 0755);
}

// Writes through a temporary file, so a reader never sees half a file.
bool WriteFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush())
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// An Exec argument as desktop entries want it: plain when it has nothing special in it
// (what every launcher, including xdg-open's own parser, understands), otherwise in double
// quotes with the reserved characters escaped, and the backslashes of that escaped once
// more for the entry's string syntax.
std::string ExecArgument(const std::string& argument) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`=%";
    if (argument.find_first_of(reserved) == std::string::npos)
        return argument;
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += "\\\\";
        if (c == '%') {
            quoted += "%%";
            continue;
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string DesktopEntryText(const std::string& scheme, const std::string& description,
                             const std::string& executablePath, const std::string& icon) {
    // The link goes in as the one argument; a field code must stand unquoted. Started from the
    // desktop's menu there is no argument: the player opens its start window.
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           description +
           "\n"
           "Exec=" +
           ExecArgument(executablePath) +
           " %u\n"
           "Icon=" +
           icon +
           "\n"
           "Terminal=false\n"
           "Categories=Education;\n"
           "MimeType=x-scheme-handler/" +
           scheme + ";\n";
}

std::string WithDefaultHandler(const std::string& mimeAppsList, const std::string& mimeType,
                               const std::string& desktopFile) {
    static const std::string section = "[Default Applications]";
    const std::string entry = mimeType + "=" + desktopFile;
    std::istringstream in(mimeAppsList);
    std::string out, line;
    bool inSection = false, sectionSeen = false, written = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.front() == '[') {
            if (inSection && !written) {
                out += entry + "\n";
                written = true;
            }
            inSection = line == section;
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && line.rfind(mimeType + "=", 0) == 0) {
            if (!written)
                out += entry + "\n";  // the one line this changes
            written = true;
            continue;
        }
        out += line + "\n";
    }
    if (!written) {
        if (!sectionSeen) {
            if (!out.empty() && out.back() != '\n')
                out += "\n";
            out += section + "\n";
        }
        out += entry + "\n";
    }
    return out;
}

bool RegisterUrlScheme(const std::u16string& scheme, const std::u16string& description,
                       const std::u16string& executablePath) {
    const std::string name = Utf16ToUtf8(scheme);
    const std::string dataHome = HomeFolder("XDG_DATA_HOME", "/.local/share");
    const std::string configHome = HomeFolder("XDG_CONFIG_HOME", "/.config");

    const std::string iconFolder = dataHome + "/icons/hicolor/256x256/apps";
    MakeFolders(iconFolder);
    const std::string icon = iconFolder + "/" + name + ".png";
    WriteFile(icon, std::string(IconPng()));

    const std::string applications = dataHome + "/applications";
    MakeFolders(applications);
    const std::string desktopFile = name + ".desktop";
    if (!WriteFile(
            applications + "/" + desktopFile,
            DesktopEntryText(name, Utf16ToUtf8(description), Utf16ToUtf8(executablePath), icon))) {
        return false;
    }
    MakeFolders(configHome);
    const std::string list = configHome + "/mimeapps.list";
    WriteFile(list, WithDefaultHandler(ReadFile(list), "x-scheme-handler/" + name, desktopFile));
    return true;
}

}  // namespace kestrum
