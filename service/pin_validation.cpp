#include "service/pin_validation.h"

#include <algorithm>

#include "common/platform_profile.h"
#include "common/text_case.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "service/pin_store.h"
#include "service/url_parts.h"

namespace kestrum {
namespace {

// Element i may be matched only when every certificate below it is signed by the next one
// up; the handshake itself proves the server holds the leaf's key.
bool ChainMatchesPins(const ServerChain& chain, const std::vector<std::string>& pins) {
    for (std::size_t i = 0; i < chain.size(); ++i) {
        if (i > 0 && !chain[i - 1].signedByNext)
            return false;
        const std::string& pin = chain[i].pin;
        if (pin.empty())
            continue;
        if (std::find(pins.begin(), pins.end(), pin) != pins.end())
            return true;
    }
    return false;
}

}  // namespace

void ReportPlatformHostInterception(const std::u16string& host) {
    FatalError error;
    error.title = u"Network Connection Intercepted - اتصال غير آمن";
    error.englishText =
        u"A security program is blocking the secure connection.\nPlease disable 'HTTPS "
        u"Scanning' or 'Web Shield' in your antivirus settings and try again.";
    error.arabicText =
        u"برنامج حماية يمنع الاتصال الآمن.\nيرجى تعطيل خاصية 'فحص HTTPS' أو 'حماية الويب' في "
        u"إعدادات مكافح الفيروسات وحاول مرة أخرى.";
    error.code = "SSL_" + Utf16ToUtf8(host);
    ShowFatalErrorDialog(error);
}

bool IsPlatformDomainHost(const std::u16string& host) {
    const std::u16string domain =
        ToLowerCopy(Utf8ToUtf16(ProfileText(ProfileItem::kPlatformDomain)));
    return EndsWith(ToLowerCopy(host), domain);
}

std::vector<SecurityProductEntry> SecurityProducts() {
    std::vector<SecurityProductEntry> products;
    const nlohmann::json rows = ProfileJson(ProfileItem::kSecurityProducts);
    if (!rows.is_array())
        return products;
    for (const auto& row : rows) {
        if (!row.is_object())
            continue;
        SecurityProductEntry entry;
        entry.issuerFragment = ToLowerCopy(Utf8ToUtf16(row.value("issuer", std::string())));
        entry.signerFragment = ToLowerCopy(Utf8ToUtf16(row.value("signer", std::string())));
        if (const auto names = row.find("processes"); names != row.end() && names->is_array()) {
            for (const auto& name : *names) {
                if (name.is_string()) {
                    entry.processNames.push_back(ToLowerCopy(Utf8ToUtf16(name.get<std::string>())));
                }
            }
        }
        products.push_back(std::move(entry));
    }
    return products;
}

bool IsInspectionProductChain(const ServerChain& chain) {
    const std::vector<SecurityProductEntry> products = SecurityProducts();
    for (const ChainElement& element : chain) {
        if (element.issuerName.empty())
            continue;
        const std::u16string issuer = ToLowerCopy(element.issuerName);
        for (const SecurityProductEntry& product : products) {
            if (product.issuerFragment.empty() || Contains(issuer, product.issuerFragment)) {
                return IsSecurityProductRunning(product);
            }
        }
    }
    return false;
}

bool ChainPassesHostPins(const ServerChain& chain, const std::u16string& givenHost) {
    const std::optional<std::u16string> reached = TransportHost(givenHost);
    if (!reached)
        return false;
    const std::optional<PinEntry> entry = FindPins(*reached);
    if (!entry || entry->pins.empty())
        return true;
    return !chain.empty() && ChainMatchesPins(chain, entry->pins);
}

bool ValidateServerPins(const ServerChain& chain, const std::u16string& givenHost) {
    // The host as the transport reached it; one that no transport should have reached fails.
    const std::optional<std::u16string> reached = TransportHost(givenHost);
    if (!reached)
        return false;
    const std::u16string& host = *reached;
    const std::optional<PinEntry> entry = FindPins(host);
    if (!entry || entry->pins.empty())
        return true;
    // A certificate that could not be read is refused without the interception dialog: no
    // security product was seen, only a connection that proved nothing.
    if (chain.empty())
        return false;
    if (ChainMatchesPins(chain, entry->pins))
        return true;
    if (IsInspectionProductChain(chain))
        return true;

    if (IsPlatformDomainHost(host))
        ReportPlatformHostInterception(host);
    return false;
}

}  // namespace kestrum
