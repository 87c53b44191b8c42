#pragma once

#include <functional>
#include <string>

namespace quorelle {

// What the password prompt shows for one attempt.
struct PasswordPromptRequest {
    std::string reason;        // the caller's sentence, shown as given
    std::string errorMessage;  // empty on the first attempt; set after a wrong password
    int attempt = 1;           // 1-based
    int maxAttempts = 1;
};

// The window's password prompt, as the owner check sees it. Main thread only.
//
// The check calls ask() once per attempt: the first call puts the prompt up,
// later calls (after a wrong password) keep it up and show the error. Each
// ask() is answered exactly once through its reply: with a pointer to the
// typed password, which the check copies and then wipes in place, or with
// nullptr when the person cancels or closes the prompt. Between a reply and
// the next ask() or close() the password is being checked and the prompt
// should take no input. close() takes the prompt down when the check is over.
class IPasswordPrompt {
public:
    using Reply = std::function<void(std::string* password)>;

    virtual ~IPasswordPrompt() = default;
    virtual void ask(const PasswordPromptRequest& request, Reply reply) = 0;
    virtual void close() = 0;
};

}  // namespace quorelle
