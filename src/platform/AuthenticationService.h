#pragma once

#include "store/IAuthenticator.h"
#include "store/IPasswordChecker.h"
#include "store/IPasswordPrompt.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <thread>

namespace quorelle {

class MainQueue;

// The owner check: asks for the account password through the window's prompt
// and has the system check it off the main thread. A wrong password keeps
// the prompt up with an error, up to three attempts; cancelling, the third
// wrong password or a system that cannot check answers false. When no check
// is possible at all the answer is false and no prompt appears. Only one
// check runs at a time: a call made while the prompt is up answers false.
//
// Main thread only. The queue, the prompt and the checker must outlive it.
class AuthenticationService final : public IAuthenticator {
public:
    static constexpr int maxAttempts = 3;
    static constexpr std::string_view wrongPasswordMessage = "Incorrect password. Try again.";

    AuthenticationService(MainQueue& queue, IPasswordPrompt& prompt, std::shared_ptr<const IPasswordChecker> checker);
    // A check still running answers false; waits for a password check that
    // is under way (a wrong one can take a few seconds).
    ~AuthenticationService() override;
    AuthenticationService(const AuthenticationService&) = delete;
    AuthenticationService& operator=(const AuthenticationService&) = delete;

    void authenticate(std::string reason, std::function<void(bool)> completion) override;

private:
    struct Request;
    using RequestPtr = std::shared_ptr<Request>;

    void ask(const RequestPtr& request, std::string errorMessage);
    void onReply(const RequestPtr& request, std::string* password);
    void startCheck(const RequestPtr& request, std::string& password);
    void onChecked(const RequestPtr& request, std::uint64_t worker, PasswordCheckResult result);
    void finish(const RequestPtr& request, bool authenticated);

    MainQueue& queue_;
    IPasswordPrompt& prompt_;
    std::shared_ptr<const IPasswordChecker> checker_;
    RequestPtr current_;  // the request whose prompt is up
    std::map<std::uint64_t, std::thread> workers_;
    std::uint64_t nextWorker_ = 0;
    // Queued work holds it weakly and does nothing once the service is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace quorelle
