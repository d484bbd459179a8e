#include "tools/kestrum_platform/chains.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tools/kestrum_platform/certificates.h"

namespace kestrum::platform {
namespace {

constexpr const char* kOrganization = "Kestrum stand-in platform";
constexpr const char* kLeafNames = "DNS:localhost,IP:127.0.0.1";

CertificateSpec RootSpec() {
    return {"Kestrum Stand-in Root CA", kOrganization, true, -1, ""};
}
CertificateSpec IntermediateSpec() {
    return {"Kestrum Stand-in Intermediate CA", kOrganization, true, 0, ""};
}
CertificateSpec LeafSpec(const std::string& names) {
    return {"localhost", kOrganization, false, -1, names};
}

Pki BuildPki(const std::string& seedPrefix, const std::string& leafNames) {
    Pki pki;
    pki.caKey = DeriveKey(seedPrefix + " ca");
    pki.intermediateKey = DeriveKey(seedPrefix + " intermediate");
    pki.leafKey = DeriveKey(seedPrefix + " leaf");
    pki.backupKey = DeriveKey(seedPrefix + " backup");
    pki.ca = IssueCertificate(RootSpec(), pki.caKey.get(), nullptr, pki.caKey.get());
    pki.intermediate = IssueCertificate(IntermediateSpec(), pki.intermediateKey.get(), pki.ca.get(),
                                        pki.caKey.get());
    pki.leaf = IssueCertificate(LeafSpec(leafNames), pki.leafKey.get(), pki.intermediate.get(),
                                pki.intermediateKey.get());
    return pki;
}

void WriteFile(const std::filesystem::path& path, const std::string& text, bool secret) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
    if (secret)
        ::chmod(path.c_str(), 0600);
}

}  // namespace

Pki BuildGenuinePki() {
    return BuildPki("kestrum standin", kLeafNames);
}

TlsIdentity GenuineIdentity(const Pki& pki) {
    TlsIdentity identity;
    identity.key = ShareKey(pki.leafKey.get());
    identity.leaf = ShareCertificate(pki.leaf.get());
    identity.chain.push_back(ShareCertificate(pki.intermediate.get()));
    return identity;
}

TlsIdentity AttackerIdentity(AttackerChain kind, const Pki& genuine) {
    // The attacker listens on another loopback address by default; its leaf names that too,
    // so only the pins tell the two servers apart.
    const std::string names = std::string(kLeafNames) + ",IP:127.0.0.2";
    TlsIdentity identity;
    if (kind == AttackerChain::kWrongKey) {
        const Pki own = BuildPki("kestrum attacker", names);
        identity.key = ShareKey(own.leafKey.get());
        identity.leaf = ShareCertificate(own.leaf.get());
        identity.chain.push_back(ShareCertificate(own.intermediate.get()));
        return identity;
    }
    identity.key = DeriveKey("kestrum attacker forged leaf");
    identity.leaf = IssueCertificate(LeafSpec(names), identity.key.get(),
                                     genuine.intermediate.get(), identity.key.get());
    identity.chain.push_back(ShareCertificate(genuine.intermediate.get()));
    return identity;
}

std::vector<std::pair<std::string, std::string>> NamedPins(const Pki& pki) {
    return {{"ca", PublicKeyPin(pki.caKey.get())},
            {"intermediate", PublicKeyPin(pki.intermediateKey.get())},
            {"leaf", PublicKeyPin(pki.leafKey.get())},
            {"backup", PublicKeyPin(pki.backupKey.get())}};
}

void WriteChain(const Pki& pki, const std::string& directory) {
    const std::filesystem::path dir(directory);
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error)
        throw std::runtime_error("cannot make " + directory + ": " + error.message());
    WriteFile(dir / "ca.pem", CertificatePem(pki.ca.get()), false);
    WriteFile(dir / "intermediate.pem", CertificatePem(pki.intermediate.get()), false);
    WriteFile(dir / "leaf.pem", CertificatePem(pki.leaf.get()), false);
    WriteFile(dir / "leaf.key", PrivateKeyPem(pki.leafKey.get()), true);
}

}  // namespace kestrum::platform
