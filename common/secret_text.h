#pragma once

#include <string>
#include <utility>

namespace kestrum {

// Overwrites a text's characters with zeros through a volatile pointer, so the compiler
// cannot drop the stores as dead.
void WipeText(std::string& text);

// A narrow text that wipes its characters when it is released (link key, tokens).
class SecretText {
  public:
    SecretText() = default;
    explicit SecretText(std::string value) : value_(std::move(value)) {}
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;
    SecretText(SecretText&& other) noexcept : value_(std::move(other.value_)) { other.Wipe(); }
    SecretText& operator=(SecretText&& other) noexcept {
        if (this != &other) {
            Wipe();
            value_ = std::move(other.value_);
            other.Wipe();
        }
        return *this;
    }
    ~SecretText() { Wipe(); }

    const std::string& value() const { return value_; }
    void Wipe() { WipeText(value_); }

  private:
    std::string value_;
};

}  // namespace kestrum
