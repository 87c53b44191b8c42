#pragma once

#include <string>

namespace quorelle {

// The desktop clipboard, as far as the browser state uses it.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // Replaces the clipboard's content with plain text.
    virtual void setText(const std::string& text) = 0;
};

}  // namespace quorelle
