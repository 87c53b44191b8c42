#pragma once

#include "model/Uuid.h"

#include <string>
#include <utility>

namespace quorelle {

// A login offered for saving. Each prompt gets its own id, which is what
// presents its card; the values never change after construction.
class PasswordSavePrompt {
public:
    PasswordSavePrompt(std::string domain, std::string username, std::string password, std::string url)
        : id_(Uuid::random()),
          domain_(std::move(domain)),
          username_(std::move(username)),
          password_(std::move(password)),
          url_(std::move(url)) {}

    const Uuid& id() const { return id_; }
    const std::string& domain() const { return domain_; }
    const std::string& username() const { return username_; }
    const std::string& password() const { return password_; }
    const std::string& url() const { return url_; }

private:
    Uuid id_;
    std::string domain_;
    std::string username_;
    std::string password_;
    std::string url_;
};

}  // namespace quorelle
