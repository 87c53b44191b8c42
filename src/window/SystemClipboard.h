#pragma once

#include "state/IClipboard.h"

namespace quorelle {

// The desktop clipboard of the default display. Setting text replaces what
// the clipboard held; without a display (or once it is gone) nothing happens.
// The text stays available only while the browser runs, unless the desktop
// keeps a clipboard manager.
class SystemClipboard final : public IClipboard {
public:
    void setText(const std::string& text) override;
};

}  // namespace quorelle
