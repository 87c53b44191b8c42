#include "platform/AuthenticationService.h"

#include "store/MainQueue.h"
#include "store/SecretText.h"

namespace quorelle {

struct AuthenticationService::Request {
    std::string reason;
    std::function<void(bool)> completion;
    int attempt = 1;
    bool prompted = false;
    bool finished = false;
};

AuthenticationService::AuthenticationService(MainQueue& queue, IPasswordPrompt& prompt,
                                             std::shared_ptr<const IPasswordChecker> checker)
    : queue_(queue), prompt_(prompt), checker_(std::move(checker)) {}

AuthenticationService::~AuthenticationService() {
    alive_.reset();
    if (current_ && !current_->finished) {
        current_->finished = true;
        queue_.post([done = std::move(current_->completion)] {
            if (done) done(false);
        });
    }
    for (auto& [id, worker] : workers_) worker.join();
}

void AuthenticationService::authenticate(std::string reason, std::function<void(bool)> completion) {
    auto request = std::make_shared<Request>();
    request->reason = std::move(reason);
    request->completion = std::move(completion);
    if (current_ || !checker_ || !checker_->isAvailable()) {
        finish(request, false);
        return;
    }
    current_ = request;
    request->prompted = true;
    ask(request, {});
}

void AuthenticationService::ask(const RequestPtr& request, std::string errorMessage) {
    PasswordPromptRequest shown{request->reason, std::move(errorMessage), request->attempt, maxAttempts};
    auto replied = std::make_shared<bool>(false);
    std::weak_ptr<int> alive = alive_;
    prompt_.ask(shown, [this, alive, request, replied](std::string* password) {
        // A late or repeated reply checks nothing, but its password is still wiped.
        if (*replied || alive.expired() || request->finished) {
            if (password) SecretText::wipe(*password);
            return;
        }
        *replied = true;
        onReply(request, password);
    });
}

void AuthenticationService::onReply(const RequestPtr& request, std::string* password) {
    if (!password) {
        finish(request, false);
        return;
    }
    startCheck(request, *password);
}

void AuthenticationService::startCheck(const RequestPtr& request, std::string& password) {
    auto secret = std::make_shared<SecretText>(password);
    const std::uint64_t id = nextWorker_++;
    std::weak_ptr<int> alive = alive_;
    workers_.emplace(id, std::thread([this, alive, request, id, secret = std::move(secret), checker = checker_] {
        const PasswordCheckResult result = checker->check(secret->view());
        queue_.post([this, alive, request, id, result] {
            if (!alive.expired()) onChecked(request, id, result);
        });
    }));
}

void AuthenticationService::onChecked(const RequestPtr& request, std::uint64_t worker, PasswordCheckResult result) {
    if (auto it = workers_.find(worker); it != workers_.end()) {
        it->second.join();  // it has posted this answer, its last act
        workers_.erase(it);
    }
    if (result == PasswordCheckResult::rejected && request->attempt < maxAttempts) {
        ++request->attempt;
        ask(request, std::string(wrongPasswordMessage));
        return;
    }
    finish(request, result == PasswordCheckResult::accepted);
}

void AuthenticationService::finish(const RequestPtr& request, bool authenticated) {
    if (request->finished) return;
    request->finished = true;
    if (request->prompted) {
        current_.reset();
        prompt_.close();
    }
    queue_.post([done = std::move(request->completion), authenticated] {
        if (done) done(authenticated);
    });
}

}  // namespace quorelle
