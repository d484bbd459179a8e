#include "service/device_identity.h"

#include <fstream>
#include <optional>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "common/text_encoding.h"

namespace kestrum {

namespace {

constexpr char kMachineIdPath[] = "/etc/machine-id";
constexpr char kSystemVendorPath[] = "/sys/class/dmi/id/sys_vendor";
constexpr char kProductNamePath[] = "/sys/class/dmi/id/product_name";

// The first line of a small system file without surrounding white space; nullopt when the
// file is missing, unreadable or empty.
std::optional<std::string> ReadFirstLine(const char* path) {
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line))
        return std::nullopt;
    constexpr char kBlanks[] = " \t\r\n\v\f";
    const std::string::size_type begin = line.find_first_not_of(kBlanks);
    if (begin == std::string::npos)
        return std::string();
    return line.substr(begin, line.find_last_not_of(kBlanks) - begin + 1);
}

// The processor identifier as Windows reports it: the CPUID leaf 1 feature flags (EDX)
// followed by the processor signature (EAX), 16 upper-case hexadecimal digits. The same
// machine thus gets the same identifier under both systems. Other architectures have no
// such value, which leads to the machine-wide fallback.
std::u16string ProcessorId() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned int eax = 0;
    unsigned int ebx = 0;
    unsigned int ecx = 0;
    unsigned int edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return {};
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string text;
    for (const unsigned int word : {edx, eax}) {
        for (int shift = 28; shift >= 0; shift -= 4)
            text += kHex[(word >> shift) & 0xFU];
    }
    return text;
#else
    return {};
#endif
}

// The machine's own identity, written once at installation and kept for its lifetime: the
// counterpart of the machine-wide identity Windows keeps in its registry. "uninitialized"
// marks a system whose first boot has not completed and names no machine.
std::u16string MachineId() {
    const std::optional<std::string> id = ReadFirstLine(kMachineIdPath);
    if (!id || *id == "uninitialized")
        return {};
    return Utf8ToUtf16(*id);
}

// Maker and model from the firmware's SMBIOS system record, which Windows also publishes in
// its registry as the machine's description.
std::optional<std::u16string> FirmwareText(const char* path) {
    const std::optional<std::string> text = ReadFirstLine(path);
    if (!text)
        return std::nullopt;
    return Utf8ToUtf16(*text);
}

}  // namespace

DeviceQueries PlatformDeviceQueries() {
    DeviceQueries queries;
    queries.processorId = ProcessorId;
    queries.machineFallback = MachineId;
    queries.descriptionFirst = [] { return FirmwareText(kSystemVendorPath); };
    queries.descriptionSecond = [] { return FirmwareText(kProductNamePath); };
    return queries;
}

}  // namespace kestrum
