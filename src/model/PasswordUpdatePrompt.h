#pragma once

#include "model/PasswordItem.h"
#include "model/Uuid.h"

#include <string>
#include <utility>

namespace quorelle {

// An offer to replace the password of a login the browser already keeps.
// Each prompt gets its own id; the values never change after construction.
class PasswordUpdatePrompt {
public:
    PasswordUpdatePrompt(PasswordItem item, std::string newPassword)
        : id_(Uuid::random()), item_(std::move(item)), newPassword_(std::move(newPassword)) {}

    const Uuid& id() const { return id_; }
    const PasswordItem& item() const { return item_; }
    const std::string& newPassword() const { return newPassword_; }

private:
    Uuid id_;
    PasswordItem item_;
    std::string newPassword_;
};

}  // namespace quorelle
