#include "web/CssEscape.h"

#include <cstdio>

namespace quorelle {

std::string CssEscape::quotedString(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '\'' || c == '"') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F || c == '<' || c == '>') {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\%x ", byte);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace quorelle
