#include "platform/AuthenticationService.h"
#include "platform/PamPasswordChecker.h"
#include "store/MainQueue.h"

#include <gtest/gtest.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

using namespace quorelle;
using namespace std::string_literals;

namespace {

const std::string kRightPassword = "right-password";

// These tests run against pam_wrapper and its pam_matrix module, never the
// system's PAM: the suite's environment preloads the wrapper and points it
// at a service folder whose "quorelle" service checks the password file
// named by PAM_MATRIX_PASSWD, which each test writes for the current user.
class PamTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* wrapped = std::getenv("PAM_WRAPPER");
        ASSERT_TRUE(wrapped && std::string(wrapped) == "1" && std::getenv("PAM_WRAPPER_SERVICE_DIR"))
            << "run through ctest: the suite needs LD_PRELOAD of pam_wrapper";
        folder_ = g_dir_make_tmp("quorelle-pam-XXXXXX", nullptr);
        ASSERT_NE(folder_, nullptr);
        const auto user = PamPasswordChecker::currentUserName();
        ASSERT_TRUE(user.has_value());
        passdb_ = std::string(folder_) + "/passdb";
        std::ofstream(passdb_) << *user << ":" << kRightPassword << ":quorelle\n";
        g_setenv("PAM_MATRIX_PASSWD", passdb_.c_str(), TRUE);
    }

    void TearDown() override {
        if (!folder_) return;
        g_remove(passdb_.c_str());
        g_rmdir(folder_);
        g_free(std::exchange(folder_, nullptr));
    }

    char* folder_ = nullptr;
    std::string passdb_;
};

// A prompt that types the given passwords in turn; cancels when it runs out.
class ScriptedPrompt final : public IPasswordPrompt {
public:
    explicit ScriptedPrompt(std::deque<std::string> typed) : typed_(std::move(typed)) {}
    std::vector<PasswordPromptRequest> requests;
    int closes = 0;

    void ask(const PasswordPromptRequest& request, Reply reply) override {
        requests.push_back(request);
        if (typed_.empty()) return reply(nullptr);
        std::string password = std::move(typed_.front());
        typed_.pop_front();
        reply(&password);
    }
    void close() override { ++closes; }

private:
    std::deque<std::string> typed_;
};

// Runs one owner check on a private main queue; none when no answer came.
std::optional<bool> authenticate(IPasswordPrompt& prompt, std::shared_ptr<const IPasswordChecker> checker) {
    GMainContext* context = g_main_context_new();
    std::optional<bool> answer;
    {
        MainQueue queue(context);
        AuthenticationService service(queue, prompt, std::move(checker));
        service.authenticate("View saved passwords", [&](bool ok) { answer = ok; });
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!answer && std::chrono::steady_clock::now() < end) {
            queue.drain();
            if (!answer) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    g_main_context_unref(context);
    return answer;
}

TEST_F(PamTest, InstalledServiceIsAvailable) {
    EXPECT_TRUE(PamPasswordChecker().isAvailable());
}

TEST_F(PamTest, RightPasswordIsAccepted) {
    EXPECT_EQ(PamPasswordChecker().check(kRightPassword), PasswordCheckResult::accepted);
}

TEST_F(PamTest, WrongPasswordsAreRejected) {
    PamPasswordChecker checker;
    EXPECT_EQ(checker.check("wrong"), PasswordCheckResult::rejected);
    EXPECT_EQ(checker.check("right"), PasswordCheckResult::rejected);
    EXPECT_EQ(checker.check(""), PasswordCheckResult::rejected);
    EXPECT_EQ(checker.check(kRightPassword + "\0tail"s), PasswordCheckResult::rejected);
}

TEST_F(PamTest, ServiceWithoutConfigurationCannotCheck) {
    PamPasswordChecker checker("quorelle-not-configured");
    EXPECT_FALSE(checker.isAvailable());
    EXPECT_EQ(checker.check(kRightPassword), PasswordCheckResult::unavailable);
}

TEST_F(PamTest, OwnerCheckWithTheRightPasswordAnswersTrue) {
    ScriptedPrompt prompt({kRightPassword});
    EXPECT_EQ(authenticate(prompt, std::make_shared<PamPasswordChecker>()), true);
    ASSERT_EQ(prompt.requests.size(), 1u);
    EXPECT_EQ(prompt.requests[0].reason, "View saved passwords");
    EXPECT_EQ(prompt.closes, 1);
}

TEST_F(PamTest, OwnerCheckWithAWrongPasswordThreeTimesAnswersFalse) {
    ScriptedPrompt prompt({"wrong", "still wrong", "wrong again", kRightPassword});
    EXPECT_EQ(authenticate(prompt, std::make_shared<PamPasswordChecker>()), false);
    ASSERT_EQ(prompt.requests.size(), 3u);
    EXPECT_EQ(prompt.requests[2].errorMessage, AuthenticationService::wrongPasswordMessage);
    EXPECT_EQ(prompt.closes, 1);
}

TEST_F(PamTest, OwnerCheckAcceptsTheRightPasswordAfterAWrongOne) {
    ScriptedPrompt prompt({"wrong", kRightPassword});
    EXPECT_EQ(authenticate(prompt, std::make_shared<PamPasswordChecker>()), true);
    EXPECT_EQ(prompt.requests.size(), 2u);
}

// pam_wrapper reads its service folder once, when the process starts, so the
// empty folder is tried in a freshly started copy of this test binary.
TEST_F(PamTest, EmptyServiceFolderAnswersFalseWithoutAPrompt) {
    const std::string empty = std::string(folder_) + "/no-services";
    ASSERT_EQ(g_mkdir(empty.c_str(), 0700), 0);
    const std::string previous = std::getenv("PAM_WRAPPER_SERVICE_DIR");
    g_setenv("PAM_WRAPPER_SERVICE_DIR", empty.c_str(), TRUE);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ScriptedPrompt prompt({kRightPassword});
            const auto answer = authenticate(prompt, std::make_shared<PamPasswordChecker>());
            const int code = answer != false ? 2 : !prompt.requests.empty() ? 3 : 0;
            g_rmdir(empty.c_str());
            TearDown();
            std::exit(code);
        },
        ::testing::ExitedWithCode(0), "");
    g_setenv("PAM_WRAPPER_SERVICE_DIR", previous.c_str(), TRUE);
    g_rmdir(empty.c_str());
}

}  // namespace
