#include "tests/support/reference_crypto.h"

#include <array>
#include <cstdint>

namespace reference {
namespace {

using Byte = std::uint8_t;

constexpr Byte kSbox[256] = {
    0x63, 0x7c, 0x77, 0x7b, 0xf2, 0x6b, 0x6f, 0xc5, 0x30, 0x01, 0x67, 0x2b, 0xfe, 0xd7, 0xab, 0x76,
    0xca, 0x82, 0xc9, 0x7d, 0xfa, 0x59, 0x47, 0xf0, 0xad, 0xd4, 0xa2, 0xaf, 0x9c, 0xa4, 0x72, 0xc0,
    0xb7, 0xfd, 0x93, 0x26, 0x36, 0x3f, 0xf7, 0xcc, 0x34, 0xa5, 0xe5, 0xf1, 0x71, 0xd8, 0x31, 0x15,
    0x04, 0xc7, 0x23, 0xc3, 0x18, 0x96, 0x05, 0x9a, 0x07, 0x12, 0x80, 0xe2, 0xeb, 0x27, 0xb2, 0x75,
    0x09, 0x83, 0x2c, 0x1a, 0x1b, 0x6e, 0x5a, 0xa0, 0x52, 0x3b, 0xd6, 0xb3, 0x29, 0xe3, 0x2f, 0x84,
    0x53, 0xd1, 0x00, 0xed, 0x20, 0xfc, 0xb1, 0x5b, 0x6a, 0xcb, 0xbe, 0x39, 0x4a, 0x4c, 0x58, 0xcf,
    0xd0, 0xef, 0xaa, 0xfb, 0x43, 0x4d, 0x33, 0x85, 0x45, 0xf9, 0x02, 0x7f, 0x50, 0x3c, 0x9f, 0xa8,
    0x51, 0xa3, 0x40, 0x8f, 0x92, 0x9d, 0x38, 0xf5, 0xbc, 0xb6, 0xda, 0x21, 0x10, 0xff, 0xf3, 0xd2,
    0xcd, 0x0c, 0x13, 0xec, 0x5f, 0x97, 0x44, 0x17, 0xc4, 0xa7, 0x7e, 0x3d, 0x64, 0x5d, 0x19, 0x73,
    0x60, 0x81, 0x4f, 0xdc, 0x22, 0x2a, 0x90, 0x88, 0x46, 0xee, 0xb8, 0x14, 0xde, 0x5e, 0x0b, 0xdb,
    0xe0, 0x32, 0x3a, 0x0a, 0x49, 0x06, 0x24, 0x5c, 0xc2, 0xd3, 0xac, 0x62, 0x91, 0x95, 0xe4, 0x79,
    0xe7, 0xc8, 0x37, 0x6d, 0x8d, 0xd5, 0x4e, 0xa9, 0x6c, 0x56, 0xf4, 0xea, 0x65, 0x7a, 0xae, 0x08,
    0xba, 0x78, 0x25, 0x2e, 0x1c, 0xa6, 0xb4, 0xc6, 0xe8, 0xdd, 0x74, 0x1f, 0x4b, 0xbd, 0x8b, 0x8a,
    0x70, 0x3e, 0xb5, 0x66, 0x48, 0x03, 0xf6, 0x0e, 0x61, 0x35, 0x57, 0xb9, 0x86, 0xc1, 0x1d, 0x9e,
    0xe1, 0xf8, 0x98, 0x11, 0x69, 0xd9, 0x8e, 0x94, 0x9b, 0x1e, 0x87, 0xe9, 0xce, 0x55, 0x28, 0xdf,
    0x8c, 0xa1, 0x89, 0x0d, 0xbf, 0xe6, 0x42, 0x68, 0x41, 0x99, 0x2d, 0x0f, 0xb0, 0x54, 0xbb, 0x16};

Byte Times2(Byte b) {
    return static_cast<Byte>((b << 1) ^ ((b & 0x80) ? 0x1b : 0));
}

// AES-256: 14 rounds, 15 round keys of 16 bytes.
std::array<Byte, 240> ExpandKey(std::string_view key) {
    std::array<Byte, 240> w{};
    for (int i = 0; i < 32; ++i)
        w[i] = static_cast<Byte>(key[i]);
    Byte rcon = 1;
    for (int i = 8; i < 60; ++i) {
        Byte t[4] = {w[(i - 1) * 4], w[(i - 1) * 4 + 1], w[(i - 1) * 4 + 2], w[(i - 1) * 4 + 3]};
        if (i % 8 == 0) {
            const Byte first = t[0];
            t[0] = static_cast<Byte>(kSbox[t[1]] ^ rcon);
            t[1] = kSbox[t[2]];
            t[2] = kSbox[t[3]];
            t[3] = kSbox[first];
            rcon = Times2(rcon);
        } else if (i % 8 == 4) {
            for (Byte& b : t)
                b = kSbox[b];
        }
        for (int j = 0; j < 4; ++j)
            w[i * 4 + j] = static_cast<Byte>(w[(i - 8) * 4 + j] ^ t[j]);
    }
    return w;
}

void EncryptBlock(Byte* s, const std::array<Byte, 240>& w) {
    for (int i = 0; i < 16; ++i)
        s[i] ^= w[i];
    for (int round = 1; round <= 14; ++round) {
        for (int i = 0; i < 16; ++i)
            s[i] = kSbox[s[i]];
        Byte t[16];  // ShiftRows: state is column-major, row r shifts left by r
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r)
                t[c * 4 + r] = s[((c + r) % 4) * 4 + r];
        for (int i = 0; i < 16; ++i)
            s[i] = t[i];
        if (round != 14) {
            for (int c = 0; c < 4; ++c) {
                Byte* col = s + c * 4;
                const Byte a0 = col[0], a1 = col[1], a2 = col[2], a3 = col[3];
                const Byte all = static_cast<Byte>(a0 ^ a1 ^ a2 ^ a3);
                col[0] = static_cast<Byte>(a0 ^ all ^ Times2(static_cast<Byte>(a0 ^ a1)));
                col[1] = static_cast<Byte>(a1 ^ all ^ Times2(static_cast<Byte>(a1 ^ a2)));
                col[2] = static_cast<Byte>(a2 ^ all ^ Times2(static_cast<Byte>(a2 ^ a3)));
                col[3] = static_cast<Byte>(a3 ^ all ^ Times2(static_cast<Byte>(a3 ^ a0)));
            }
        }
        for (int i = 0; i < 16; ++i)
            s[i] ^= w[round * 16 + i];
    }
}

constexpr std::uint32_t kK[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

std::uint32_t Rotr(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

}  // namespace

std::string Sha256(std::string_view data) {
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::string message(data);
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    message.push_back(static_cast<char>(0x80));
    while (message.size() % 64 != 56)
        message.push_back('\0');
    for (int i = 7; i >= 0; --i)
        message.push_back(static_cast<char>((bits >> (i * 8)) & 0xFF));
    for (std::size_t chunk = 0; chunk < message.size(); chunk += 64) {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i) {
            w[i] = 0;
            for (int j = 0; j < 4; ++j)
                w[i] = (w[i] << 8) | static_cast<Byte>(message[chunk + i * 4 + j]);
        }
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6],
                      k = h[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t t1 =
                k + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kK[i] + w[i];
            const std::uint32_t t2 =
                (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            k = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
        h[5] += f;
        h[6] += g;
        h[7] += k;
    }
    std::string digest;
    for (std::uint32_t word : h)
        for (int i = 3; i >= 0; --i)
            digest.push_back(static_cast<char>((word >> (i * 8)) & 0xFF));
    return digest;
}

std::string HmacSha256(std::string_view key, std::string_view data) {
    std::string block(key.size() > 64 ? Sha256(key) : std::string(key));
    block.resize(64, '\0');
    std::string inner, outer;
    for (char c : block) {
        inner.push_back(static_cast<char>(c ^ 0x36));
        outer.push_back(static_cast<char>(c ^ 0x5c));
    }
    return Sha256(outer + Sha256(inner + std::string(data)));
}

std::string Aes256CbcEncrypt(std::string_view plain, std::string_view key, std::string_view iv) {
    const auto w = ExpandKey(key);
    std::string padded(plain);
    const std::size_t pad = 16 - padded.size() % 16;
    padded.append(pad, static_cast<char>(pad));
    Byte chain[16];
    for (int i = 0; i < 16; ++i)
        chain[i] = static_cast<Byte>(iv[i]);
    std::string out;
    for (std::size_t at = 0; at < padded.size(); at += 16) {
        for (int i = 0; i < 16; ++i)
            chain[i] ^= static_cast<Byte>(padded[at + i]);
        EncryptBlock(chain, w);
        out.append(reinterpret_cast<const char*>(chain), 16);
    }
    return out;
}

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (char c : bytes) {
        out.push_back(kDigits[static_cast<Byte>(c) >> 4]);
        out.push_back(kDigits[static_cast<Byte>(c) & 0xF]);
    }
    return out;
}

std::string Base64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t v = (static_cast<Byte>(bytes[i]) << 16) |
                                (static_cast<Byte>(bytes[i + 1]) << 8) |
                                static_cast<Byte>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            out.push_back(kAlphabet[(v >> shift) & 63]);
    }
    if (bytes.size() - i == 1) {
        const std::uint32_t v = static_cast<Byte>(bytes[i]) << 16;
        out += {kAlphabet[(v >> 18) & 63], kAlphabet[(v >> 12) & 63], '=', '='};
    } else if (bytes.size() - i == 2) {
        const std::uint32_t v =
            (static_cast<Byte>(bytes[i]) << 16) | (static_cast<Byte>(bytes[i + 1]) << 8);
        out +=
            {kAlphabet[(v >> 18) & 63], kAlphabet[(v >> 12) & 63], kAlphabet[(v >> 6) & 63], '='};
    }
    return out;
}

EnvelopeParts MakeEnvelopeParts(std::string_view plain, std::string_view key, std::string_view iv) {
    EnvelopeParts parts;
    parts.ivText = Base64(iv);
    parts.valueText = Base64(Aes256CbcEncrypt(plain, key, iv));
    parts.macText = Hex(HmacSha256(key, parts.ivText + parts.valueText));
    return parts;
}

std::string EnvelopeJson(const EnvelopeParts& parts, const char* mac) {
    std::string json = "{\"iv\":\"" + parts.ivText + "\",\"value\":\"" + parts.valueText + "\"";
    if (mac)
        json += ",\"mac\":\"" + std::string(mac) + "\"";
    json += ",\"tag\":\"\"}";
    return json;
}

std::string Envelope(std::string_view plain, std::string_view key, std::string_view iv) {
    const EnvelopeParts parts = MakeEnvelopeParts(plain, key, iv);
    return Base64(EnvelopeJson(parts, parts.macText.c_str()));
}

}  // namespace reference
