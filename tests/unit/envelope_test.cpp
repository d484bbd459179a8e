#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <stdexcept>

#include "common/base64.h"
#include "link/envelope.h"
#include "link/link_crypto.h"
#include "tests/support/reference_crypto.h"

namespace kestrum {
namespace {

const std::string kKey = "0123456789abcdefghijklmnopqrstuv";  // 32 bytes: AES-256
const char kMacMismatch[] = "MAC verification failed \xE2\x80\x94 data may be tampered";

std::string FromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

std::string DecryptMessage(const std::string& envelope, const std::string& key = kKey) {
    try {
        DecryptEnvelope(envelope, key);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no error)";
}

// The reference implementation must itself be right before it can judge the product.
TEST(ReferenceCrypto, MatchesPublishedVectors) {
    EXPECT_EQ(reference::Hex(reference::Sha256("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // HMAC-SHA256 test case 2 of RFC 4231.
    EXPECT_EQ(reference::Hex(reference::HmacSha256("Jefe", "what do ya want for nothing?")),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    // AES-256 example of FIPS-197 (one block; zero IV makes CBC's first block plain AES).
    const std::string cipher = reference::Aes256CbcEncrypt(
        FromHex("00112233445566778899aabbccddeeff"),
        FromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"),
        std::string(16, '\0'));
    EXPECT_EQ(reference::Hex(cipher.substr(0, 16)), "8ea2b7ca516745bfeafc49904b496089");
}

TEST(LinkCrypto, AgreesWithTheReferenceImplementation) {
    const std::string iv = "fedcba9876543210";
    for (const std::string& plain :
         {std::string(), std::string("x"), std::string("exactly 16 bytes"),
          std::string("a longer text over two blocks")}) {
        const std::string cipher = reference::Aes256CbcEncrypt(plain, kKey, iv);
        EXPECT_EQ(AesCbcDecrypt(cipher, kKey, iv), plain);
        EXPECT_EQ(AesCbcEncrypt(plain, kKey, iv), cipher);
        EXPECT_EQ(HmacSha256(kKey, plain), reference::HmacSha256(kKey, plain));
    }
    EXPECT_EQ(RandomBytes(16).size(), 16u);
    EXPECT_NE(RandomBytes(16), RandomBytes(16));
}

TEST(LinkCrypto, ReportsTheSameReasonsOnEveryPlatform) {
    const std::string iv = "fedcba9876543210";
    const std::string cipher = reference::Aes256CbcEncrypt("secret", kKey, iv);
    auto message = [](auto call) {
        try {
            call();
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("(no error)");
    };
    EXPECT_EQ(message([&] { AesCbcDecrypt(cipher, "short key", iv); }),
              "BCryptGenerateSymmetricKey failed");
    EXPECT_EQ(message([&] { AesCbcDecrypt(cipher, kKey, "short iv"); }),
              "BCryptDecrypt (size query) failed");
    EXPECT_EQ(message([&] { AesCbcDecrypt(cipher.substr(0, 15), kKey, iv); }),
              "BCryptDecrypt (size query) failed");
    EXPECT_EQ(message([&] { AesCbcDecrypt("", kKey, iv); }), "BCryptDecrypt failed");
    EXPECT_EQ(message([&] { AesCbcDecrypt(cipher, "0123456789abcdefghijklmnopqrstuX", iv); }),
              "BCryptDecrypt failed");  // wrong key: the padding does not check out
}

TEST(DecryptEnvelope, OpensWhatThePlatformsEncrypterWrote) {
    for (const std::string& plain : {std::string("token-1"), std::string("exactly 16 bytes"),
                                     std::string("https://example.test/course/7?x=1&y=2"),
                                     std::string("\xD9\x85\xD8\xAD\xD8\xAA\xD9\x88\xD9\x89")}) {
        EXPECT_EQ(DecryptEnvelope(reference::Envelope(plain, kKey), kKey), plain);
    }
}

TEST(DecryptEnvelope, ToleratesTrailingCharactersAfterTheBase64) {
    const std::string envelope = reference::Envelope("plain", kKey);
    EXPECT_EQ(DecryptEnvelope(envelope + "\n", kKey), "plain");
    EXPECT_EQ(DecryptEnvelope(envelope + "\"", kKey), "plain");
}

TEST(DecryptEnvelope, RefusesWhatItCannotTrust) {
    const auto parts = reference::MakeEnvelopeParts("the server address", kKey, "0123456789abcdef");
    auto tamperedValue = parts;
    tamperedValue.valueText[3] = tamperedValue.valueText[3] == 'A' ? 'B' : 'A';
    std::string upperMac = parts.macText;
    for (auto& c : upperMac)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    struct Case {
        const char* name;
        std::string envelope;
        std::string message;
    };
    const Case cases[] = {
        {"changed value",
         reference::Base64(reference::EnvelopeJson(tamperedValue, parts.macText.c_str())),
         kMacMismatch},
        // Without a tag the first block could be rewritten through the IV, so a missing or
        // empty "mac" is refused.
        {"mac removed", reference::Base64(reference::EnvelopeJson(parts, nullptr)), kMacMismatch},
        {"mac empty", reference::Base64(reference::EnvelopeJson(parts, "")), kMacMismatch},
        {"mac of other length", reference::Base64(reference::EnvelopeJson(parts, "abcd")),
         kMacMismatch},
        {"upper-case mac", reference::Base64(reference::EnvelopeJson(parts, upperMac.c_str())),
         "(no error)"},
        {"empty envelope", "", "Failed to parse AES envelope JSON"},
        {"Base64 garbage", "!!!!", "Failed to parse AES envelope JSON"},
        {"not JSON", Base64Encode("{iv:"), "Failed to parse AES envelope JSON"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecryptMessage(c.envelope), c.message) << c.name;

    EXPECT_EQ(DecryptMessage(reference::Envelope("x", kKey), "another key of thirty-two bytes!"),
              kMacMismatch);
}

TEST(DecryptEnvelope, PassesTheJsonLibrarysTypeErrors) {
    const std::string shapes[] = {
        "[1,2]",                                // an array
        "{\"value\":\"AAAA\",\"mac\":\"00\"}",  // no "iv"
        "{\"iv\":5,\"value\":\"AAAA\"}",        // "iv" not a string
        "{\"iv\":\"AAAA\",\"value\":\"AAAA\",\"mac\":7}",
    };
    for (const auto& json : shapes) {
        EXPECT_THROW(DecryptEnvelope(Base64Encode(json), kKey), nlohmann::json::type_error) << json;
    }
}

TEST(DecryptEnvelope, ReportsAuthenticCiphertextThatDoesNotDecrypt) {
    // Correctly tagged, but the IV is not one block / the padding is wrong.
    reference::EnvelopeParts shortIv{reference::Base64("short"),
                                     reference::Base64(std::string(16, 'x')), ""};
    shortIv.macText =
        reference::Hex(reference::HmacSha256(kKey, shortIv.ivText + shortIv.valueText));
    EXPECT_EQ(DecryptMessage(
                  reference::Base64(reference::EnvelopeJson(shortIv, shortIv.macText.c_str()))),
              "BCryptDecrypt (size query) failed");

    reference::EnvelopeParts badPadding{reference::Base64("0123456789abcdef"),
                                        reference::Base64(std::string(16, 'x')), ""};
    badPadding.macText =
        reference::Hex(reference::HmacSha256(kKey, badPadding.ivText + badPadding.valueText));
    EXPECT_EQ(DecryptMessage(reference::Base64(
                  reference::EnvelopeJson(badPadding, badPadding.macText.c_str()))),
              "BCryptDecrypt failed");
}

TEST(EncryptEnvelope, WritesThePlatformsLayout) {
    const std::string envelope = EncryptEnvelope("https://a.test/x", kKey);
    const std::string json = Base64Decode(envelope);
    const auto parsed = nlohmann::ordered_json::parse(json);
    std::vector<std::string> keys;
    for (const auto& item : parsed.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"iv", "value", "mac", "tag"}));
    EXPECT_EQ(parsed["tag"], "");
    const std::string mac = parsed["mac"];
    EXPECT_EQ(mac,
              reference::Hex(reference::HmacSha256(
                  kKey, parsed["iv"].get<std::string>() + parsed["value"].get<std::string>())));
    EXPECT_EQ(Base64Decode(parsed["iv"].get<std::string>()).size(), 16u);
    EXPECT_EQ(DecryptEnvelope(envelope, kKey), "https://a.test/x");
    EXPECT_NE(EncryptEnvelope("same", kKey), EncryptEnvelope("same", kKey));  // fresh IV
}

TEST(TagsEqual, IgnoresHexCaseAndNeedsEqualLength) {
    EXPECT_TRUE(TagsEqual("00ff", "00FF"));
    EXPECT_FALSE(TagsEqual("00ff", "00fe"));
    EXPECT_FALSE(TagsEqual("00ff", "00ff00"));
    EXPECT_FALSE(TagsEqual("00ff", ""));
}

}  // namespace
}  // namespace kestrum

namespace kestrum {
namespace {

TEST(StripBlockPadding, ChecksEveryPaddingByte) {
    struct Case {
        std::string in;
        std::string out;  // "!" for a refusal
    };
    const Case cases[] = {
        {std::string("fifteen bytes..") + '\x01', "fifteen bytes.."},
        {std::string(16, '\x10'), ""},
        {std::string("abcdefghijklm") + "\x03\x03\x03", "abcdefghijklm"},
        {std::string("abcdefghijklm") + "\x02\x03\x03", "!"},  // one byte does not match
        {std::string(15, 'a') + '\x00', "!"},
        {std::string(15, 'a') + '\x11', "!"},
        {std::string("\x05\x05", 2), "!"},  // longer than the text
        {"", "!"},
    };
    for (const auto& c : cases) {
        std::string result;
        try {
            result = StripBlockPadding(c.in);
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "BCryptDecrypt failed");
            result = "!";
        }
        EXPECT_EQ(result, c.out);
    }
}

}  // namespace
}  // namespace kestrum
