#pragma once

#include <string.h>

#include <string>
#include <string_view>

namespace quorelle {

// A private copy of a typed password, wiped from memory when it goes away.
// It neither copies nor moves, so no stray copy of the bytes is left behind.
class SecretText {
public:
    // Takes the text over and wipes the original.
    explicit SecretText(std::string& source) : text_(source) { wipe(source); }
    ~SecretText() { wipe(text_); }
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    std::string_view view() const { return text_; }

    static void wipe(std::string& text) {
        explicit_bzero(text.data(), text.size());
        text.clear();
    }

private:
    std::string text_;
};

}  // namespace quorelle
