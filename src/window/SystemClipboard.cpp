#include "window/SystemClipboard.h"

#include <gdkmm/clipboard.h>
#include <gdkmm/display.h>

namespace quorelle {

void SystemClipboard::setText(const std::string& text) {
    auto display = Gdk::Display::get_default();
    if (!display) return;
    if (auto clipboard = display->get_clipboard()) clipboard->set_text(text);
}

}  // namespace quorelle
