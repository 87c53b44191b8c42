// The owner check's prompt: the browser's own modal password window in front
// of the authentication service, with a stand-in for the system's check.
#include "platform/AuthenticationService.h"
#include "store/IPasswordChecker.h"
#include "window/PasswordPromptDialog.h"
#include "window/WindowTestSupport.h"

#include <atomic>

namespace quorelle::testing {
namespace {

class RightPasswordChecker : public IPasswordChecker {
public:
    bool isAvailable() const override { return true; }
    PasswordCheckResult check(std::string_view password) const override {
        ++checks;
        return password == "right" ? PasswordCheckResult::accepted : PasswordCheckResult::rejected;
    }
    mutable std::atomic<int> checks{0};
};

class PasswordPromptDialogTest : public WindowTest {
protected:
    PasswordPromptDialogTest()
        : checker(std::make_shared<RightPasswordChecker>()),
          dialog([] { return nullptr; }),
          service(*queue_, dialog, checker) {}

    static void click(Gtk::Button& button) { g_signal_emit_by_name(button.gobj(), "clicked"); }
    void start() {
        service.authenticate("View saved passwords", [this](bool ok) { answer = ok; });
        settle();
    }
    void type(const char* password) {
        dialog.passwordEntry().set_text(password);
        click(dialog.unlockButton());
    }
    // Waits for the check to come back to the prompt or to the caller.
    bool waitForPrompt() {
        return runUntil([&] {
            drain();
            return answer.has_value() || dialog.passwordEntry().get_sensitive();
        }, std::chrono::seconds(5));
    }

    std::shared_ptr<RightPasswordChecker> checker;
    PasswordPromptDialog dialog;
    AuthenticationService service;
    std::optional<bool> answer;
};

TEST_F(PasswordPromptDialogTest, ShowsTheReasonAndAcceptsTheRightPassword) {
    start();
    EXPECT_TRUE(dialog.window().get_visible());
    EXPECT_TRUE(dialog.window().get_modal());
    EXPECT_EQ(dialog.reasonLabel().get_text().raw(), "View saved passwords");
    EXPECT_FALSE(dialog.errorLabel().get_visible());
    type("right");
    ASSERT_TRUE(waitForPrompt());
    EXPECT_EQ(answer, true);
    EXPECT_FALSE(dialog.window().get_visible());
    EXPECT_EQ(dialog.passwordEntry().get_text().raw(), "");
}

TEST_F(PasswordPromptDialogTest, WrongPasswordKeepsThePromptUpWithTheError) {
    start();
    type("wrong");
    ASSERT_TRUE(waitForPrompt());
    EXPECT_FALSE(answer.has_value());
    EXPECT_TRUE(dialog.window().get_visible());
    EXPECT_TRUE(dialog.errorLabel().get_visible());
    EXPECT_EQ(dialog.errorLabel().get_text().raw(), std::string(AuthenticationService::wrongPasswordMessage));
    EXPECT_EQ(dialog.passwordEntry().get_text().raw(), "");  // typed text never lingers
    type("right");
    ASSERT_TRUE(runUntil([&] { drain(); return answer.has_value(); }, std::chrono::seconds(5)));
    EXPECT_EQ(answer, true);
}

TEST_F(PasswordPromptDialogTest, ThreeWrongPasswordsAnswerFalse) {
    start();
    for (int attempt = 0; attempt < 3; ++attempt) {
        type("wrong");
        ASSERT_TRUE(waitForPrompt());
    }
    EXPECT_EQ(answer, false);
    EXPECT_FALSE(dialog.window().get_visible());
    EXPECT_EQ(checker->checks, 3);
}

TEST_F(PasswordPromptDialogTest, CancelOrClosingAnswersFalseWithoutACheck) {
    start();
    click(dialog.cancelButton());
    ASSERT_TRUE(runUntil([&] { drain(); return answer.has_value(); }));
    EXPECT_EQ(answer, false);
    EXPECT_FALSE(dialog.window().get_visible());

    answer.reset();
    start();  // every call asks again
    EXPECT_TRUE(dialog.window().get_visible());
    dialog.window().close();
    ASSERT_TRUE(runUntil([&] { drain(); return answer.has_value(); }));
    EXPECT_EQ(answer, false);
    EXPECT_EQ(checker->checks, 0);
}

}  // namespace
}  // namespace quorelle::testing
