#include "platform/AuthenticationService.h"
#include "store/MainQueue.h"

#include <gtest/gtest.h>
#include <glib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace quorelle;

namespace {

class FakeChecker final : public IPasswordChecker {
public:
    bool available = true;
    bool brokenDuringCheck = false;
    std::chrono::milliseconds delay{0};

    bool isAvailable() const override { return available; }

    PasswordCheckResult check(std::string_view password) const override {
        std::this_thread::sleep_for(delay);
        std::lock_guard lock(mutex_);
        seen_.emplace_back(password);
        threads_.push_back(std::this_thread::get_id());
        if (brokenDuringCheck) return PasswordCheckResult::unavailable;
        return password == "right" ? PasswordCheckResult::accepted : PasswordCheckResult::rejected;
    }

    std::vector<std::string> seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::vector<std::thread::id> threads() const {
        std::lock_guard lock(mutex_);
        return threads_;
    }

private:
    mutable std::mutex mutex_;
    mutable std::vector<std::string> seen_;
    mutable std::vector<std::thread::id> threads_;
};

// Stands in for the window's dialog: remembers each request and lets the
// test type a password or cancel.
class FakePrompt final : public IPasswordPrompt {
public:
    std::vector<PasswordPromptRequest> requests;
    int closes = 0;

    void ask(const PasswordPromptRequest& request, Reply reply) override {
        requests.push_back(request);
        reply_ = std::move(reply);
    }
    void close() override { ++closes; }

    bool waiting() const { return static_cast<bool>(reply_); }

    // Answers the last request; returns what is left of the typed text.
    std::string type(std::string password) {
        auto reply = std::exchange(reply_, nullptr);
        reply(&password);
        return password;
    }
    void cancel() { std::exchange(reply_, nullptr)(nullptr); }
    Reply takeReply() { return std::exchange(reply_, nullptr); }

private:
    Reply reply_;
};

struct Answers {
    std::vector<bool> values;
    std::function<void(bool)> callback() {
        return [this](bool ok) { values.push_back(ok); };
    }
};

class AuthenticationServiceTest : public ::testing::Test {
protected:
    AuthenticationServiceTest()
        : context_(g_main_context_new()),
          queue_(std::make_unique<MainQueue>(context_)),
          checker_(std::make_shared<FakeChecker>()),
          service_(std::make_unique<AuthenticationService>(*queue_, prompt_, checker_)) {}

    ~AuthenticationServiceTest() override {
        service_.reset();
        queue_.reset();
        g_main_context_unref(context_);
    }

    // Runs the main queue until `done` holds (the password check itself
    // runs on another thread and posts back). The limit only ends a wait
    // that would never end.
    template <typename Pred>
    bool runUntil(Pred done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < end) {
            queue_->drain();
            if (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }
    bool waitForPromptOrAnswer(const Answers& answers) {
        return runUntil([&] { return prompt_.waiting() || !answers.values.empty(); });
    }

    GMainContext* context_;
    std::unique_ptr<MainQueue> queue_;
    FakePrompt prompt_;
    std::shared_ptr<FakeChecker> checker_;
    std::unique_ptr<AuthenticationService> service_;
};

TEST_F(AuthenticationServiceTest, NoPossibleCheckAnswersFalseOnALaterTurnWithoutAPrompt) {
    checker_->available = false;
    Answers answers;
    service_->authenticate("View saved passwords", answers.callback());
    EXPECT_TRUE(answers.values.empty());
    queue_->drain();
    EXPECT_EQ(answers.values, std::vector<bool>{false});
    EXPECT_TRUE(prompt_.requests.empty());
    EXPECT_EQ(prompt_.closes, 0);
    EXPECT_TRUE(checker_->seen().empty());
}

TEST_F(AuthenticationServiceTest, RightPasswordAnswersTrueAndWipesTheTypedText) {
    Answers answers;
    service_->authenticate("View saved passwords", answers.callback());
    ASSERT_EQ(prompt_.requests.size(), 1u);
    EXPECT_EQ(prompt_.requests[0].reason, "View saved passwords");
    EXPECT_EQ(prompt_.requests[0].errorMessage, "");
    EXPECT_EQ(prompt_.requests[0].attempt, 1);
    EXPECT_EQ(prompt_.requests[0].maxAttempts, 3);
    EXPECT_EQ(prompt_.type("right"), "");
    ASSERT_TRUE(runUntil([&] { return !answers.values.empty(); }));
    EXPECT_EQ(answers.values, std::vector<bool>{true});
    EXPECT_EQ(prompt_.closes, 1);
    EXPECT_EQ(checker_->seen(), std::vector<std::string>{"right"});
}

TEST_F(AuthenticationServiceTest, ThePasswordIsCheckedOffTheMainThread) {
    Answers answers;
    service_->authenticate("r", answers.callback());
    prompt_.type("right");
    ASSERT_TRUE(runUntil([&] { return !answers.values.empty(); }));
    ASSERT_EQ(checker_->threads().size(), 1u);
    EXPECT_NE(checker_->threads()[0], std::this_thread::get_id());
}

TEST_F(AuthenticationServiceTest, ThreeWrongPasswordsAnswerFalseAfterShowingTheError) {
    Answers answers;
    service_->authenticate("View saved passwords", answers.callback());
    for (int attempt = 1; attempt <= 3; ++attempt) {
        ASSERT_TRUE(waitForPromptOrAnswer(answers));
        ASSERT_TRUE(prompt_.waiting()) << "attempt " << attempt;
        prompt_.type("wrong" + std::to_string(attempt));
    }
    ASSERT_TRUE(runUntil([&] { return !answers.values.empty(); }));
    EXPECT_EQ(answers.values, std::vector<bool>{false});
    ASSERT_EQ(prompt_.requests.size(), 3u);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(prompt_.requests[i].errorMessage, AuthenticationService::wrongPasswordMessage);
        EXPECT_EQ(prompt_.requests[i].attempt, i + 1);
        EXPECT_EQ(prompt_.requests[i].reason, "View saved passwords");
    }
    EXPECT_EQ(prompt_.closes, 1);
    EXPECT_EQ(checker_->seen().size(), 3u);
}

TEST_F(AuthenticationServiceTest, CancelAnswersFalseWithoutACheck) {
    Answers answers;
    service_->authenticate("r", answers.callback());
    prompt_.cancel();
    EXPECT_TRUE(answers.values.empty());
    queue_->drain();
    EXPECT_EQ(answers.values, std::vector<bool>{false});
    EXPECT_EQ(prompt_.closes, 1);
    EXPECT_TRUE(checker_->seen().empty());
}

TEST_F(AuthenticationServiceTest, CancelAfterAWrongPasswordAnswersFalse) {
    Answers answers;
    service_->authenticate("r", answers.callback());
    prompt_.type("wrong");
    ASSERT_TRUE(waitForPromptOrAnswer(answers));
    ASSERT_TRUE(prompt_.waiting());
    prompt_.cancel();
    ASSERT_TRUE(runUntil([&] { return !answers.values.empty(); }));
    EXPECT_EQ(answers.values, std::vector<bool>{false});
    EXPECT_EQ(prompt_.closes, 1);
}

TEST_F(AuthenticationServiceTest, ASystemThatCannotCheckAnswersFalseWithoutAnotherAttempt) {
    checker_->brokenDuringCheck = true;
    Answers answers;
    service_->authenticate("r", answers.callback());
    prompt_.type("right");
    ASSERT_TRUE(runUntil([&] { return !answers.values.empty(); }));
    EXPECT_EQ(answers.values, std::vector<bool>{false});
    EXPECT_EQ(prompt_.requests.size(), 1u);
    EXPECT_EQ(prompt_.closes, 1);
}

TEST_F(AuthenticationServiceTest, ASuccessIsNotRememberedSoEveryCallAsksAgain) {
    Answers answers;
    for (int round = 0; round < 2; ++round) {
        service_->authenticate("r", answers.callback());
        ASSERT_TRUE(prompt_.waiting()) << round;
        prompt_.type("right");
        ASSERT_TRUE(runUntil([&] { return answers.values.size() == std::size_t(round + 1); }));
    }
    EXPECT_EQ(answers.values, (std::vector<bool>{true, true}));
    EXPECT_EQ(prompt_.requests.size(), 2u);
    EXPECT_EQ(checker_->seen().size(), 2u);
}

TEST_F(AuthenticationServiceTest, ASecondCallWhileThePromptIsUpAnswersFalseAndLeavesTheFirstAlone) {
    Answers first, second;
    service_->authenticate("first", first.callback());
    service_->authenticate("second", second.callback());
    queue_->drain();
    EXPECT_EQ(second.values, std::vector<bool>{false});
    EXPECT_TRUE(first.values.empty());
    EXPECT_EQ(prompt_.requests.size(), 1u);
    EXPECT_EQ(prompt_.closes, 0);
    prompt_.type("right");
    ASSERT_TRUE(runUntil([&] { return !first.values.empty(); }));
    EXPECT_EQ(first.values, std::vector<bool>{true});
}

TEST_F(AuthenticationServiceTest, ARepeatedReplyIsIgnoredButItsPasswordIsWiped) {
    Answers answers;
    service_->authenticate("r", answers.callback());
    auto reply = prompt_.takeReply();
    std::string typed = "wrong", again = "right";
    reply(&typed);
    reply(&again);
    EXPECT_EQ(again, "");
    ASSERT_TRUE(runUntil([&] { return prompt_.waiting(); }));
    EXPECT_EQ(checker_->seen(), std::vector<std::string>{"wrong"});
    prompt_.cancel();
    queue_->drain();
    EXPECT_EQ(answers.values, std::vector<bool>{false});
}

TEST_F(AuthenticationServiceTest, ServiceGoingAwayWithThePromptUpAnswersFalseOnce) {
    Answers answers;
    service_->authenticate("r", answers.callback());
    auto reply = prompt_.takeReply();
    service_.reset();
    queue_->drain();
    EXPECT_EQ(answers.values, std::vector<bool>{false});
    std::string late = "right";
    reply(&late);  // the dialog answers after all: nothing happens
    queue_->drain();
    EXPECT_EQ(answers.values, std::vector<bool>{false});
    EXPECT_TRUE(checker_->seen().empty());
}

TEST_F(AuthenticationServiceTest, ServiceGoingAwayDuringTheCheckAnswersFalseOnce) {
    checker_->delay = std::chrono::milliseconds(50);
    Answers answers;
    service_->authenticate("r", answers.callback());
    prompt_.type("right");
    service_.reset();  // waits for the check, whose answer is then dropped
    queue_->drain();
    queue_->drain();
    EXPECT_EQ(answers.values, std::vector<bool>{false});
    EXPECT_EQ(checker_->seen().size(), 1u);
}

}  // namespace
