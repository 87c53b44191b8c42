// The owner check's prompt: the browser's own modal password window in front
// of the authentication service, with a stand-in for the system's check.
#include "platform/AuthenticationService.h"
#include "store/IPasswordChecker.h"
#include "window/PasswordPromptDialog.h"
#include "support/LogWatch.h"
#include "support/RealInput.h"
#include "window/WindowTestSupport.h"

#include <gtkmm/settings.h>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>

namespace quorelle::testing {
namespace {

class RightPasswordChecker : public IPasswordChecker {
public:
    bool isAvailable() const override { return true; }
    PasswordCheckResult check(std::string_view password) const override {
        ++checks;
        // The thread's own stack, as the system made it: a local's address
        // may lie elsewhere when a sanitizer moves frames off the stack.
        pthread_attr_t attributes;
        void* base = nullptr;
        std::size_t size = 0;
        if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
            pthread_attr_getstack(&attributes, &base, &size);
            pthread_attr_destroy(&attributes);
        }
        stack = static_cast<const char*>(base) + size / 2;
        return password == right ? PasswordCheckResult::accepted : PasswordCheckResult::rejected;
    }
    std::string_view right = "right";
    mutable std::atomic<int> checks{0};
    mutable std::atomic<const void*> stack{nullptr};  // somewhere on the checking thread's stack
};

// Whether `text` lies anywhere in this process's writable memory that no file
// backs (heap, thread stacks, anonymous maps) other than the region holding
// `skipped`. Reads through /proc/self/mem, so a region that goes away
// meanwhile is skipped, not a crash; the buffer it reads into is wiped after
// each piece, so it never finds its own copies.
// Whether [begin, end) is the address sanitizer's shadow of the address
// space: terabytes of reserved bytes that only ever hold poison marks.
bool isSanitizerShadow(off_t begin, off_t end) {
#if defined(__SANITIZE_ADDRESS__)
    std::size_t scale = 0, offset = 0;
    __asan_get_shadow_mapping(&scale, &offset);
    const std::size_t shadowEnd = (std::size_t(0x7fffffffffff) >> scale) + offset;
    return std::size_t(begin) >= offset && std::size_t(end) <= shadowEnd + 1;
#else
    (void)begin;
    (void)end;
    return false;
#endif
}

bool inWritableMemory(std::string_view text, const void* skipped) {
    std::ifstream maps("/proc/self/maps");
    const int mem = open("/proc/self/mem", O_RDONLY);
    std::vector<char> buffer(1 << 20);
    std::string line;
    bool found = false;
    while (!found && std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range, perms, offset, device, inode, path;
        fields >> range >> perms >> offset >> device >> inode >> path;
        if (perms.compare(0, 2, "rw") != 0 || inode != "0" || path == "[vvar]" || path == "[vsyscall]") continue;
        const auto dash = range.find('-');
        const off_t begin = std::stoull(range.substr(0, dash), nullptr, 16);
        const off_t end = std::stoull(range.substr(dash + 1), nullptr, 16);
        if ((off_t(skipped) >= begin && off_t(skipped) < end) || isSanitizerShadow(begin, end)) continue;
        // Pieces overlap by the text's length, so nothing is missed at a seam.
        for (off_t at = begin; !found && at < end;
             at += buffer.size() - text.size()) {
            const ssize_t got = pread(mem, buffer.data(), std::min<off_t>(buffer.size(), end - at), at);
            found = got > 0 && memmem(buffer.data(), got, text.data(), text.size());
            explicit_bzero(buffer.data(), buffer.size());
            if (got <= 0) break;
        }
    }
    close(mem);
    return found;
}

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
        });
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

TEST_F(PasswordPromptDialogTest, ATypedPasswordLeavesNoCopyInMemory) {
    // Long enough to live on the heap; a freed copy keeps at least its tail.
    static constexpr std::string_view password = "owner-secret-7730-kestrel-harbour-lantern";
    static constexpr std::string_view tail = password.substr(password.size() - 24);
    checker->right = password;
    // The caret blinks fast, so a field that kept blinking without the
    // keyboard focus is heard of at once.
    const LogWatch log;
    const struct FastBlink {
        FastBlink() { settings->property_gtk_cursor_blink_time() = 100; }
        ~FastBlink() { settings->property_gtk_cursor_blink_time() = usual; }
        Glib::RefPtr<Gtk::Settings> settings = Gtk::Settings::get_default();
        int usual = settings->property_gtk_cursor_blink_time();
    } fastBlink;
    start();
    ASSERT_TRUE(runUntil([&] { return typeText(dialog.window(), password); }));
    // Read in place: a copy of the text here would defeat the point.
    auto typed = [&] { return strlen(gtk_editable_get_text(GTK_EDITABLE(dialog.passwordEntry().gobj()))); };
    ASSERT_TRUE(runUntil([&] { return typed() == password.size(); })) << typed();
    ASSERT_TRUE(pressKey(dialog.window(), GDK_KEY_Return));
    ASSERT_TRUE(runUntil([&] { drain(); return answer.has_value(); }));
    ASSERT_EQ(answer, true);
    // What the check does with its copy on its own thread is the check's
    // business (a stand-in here); the prompt and the toolkit keep nothing.
    EXPECT_FALSE(inWritableMemory(tail, checker->stack));
    // The field gave the focus up before it stopped taking input.
    EXPECT_FALSE(runUntil([&] { return !log.problems().empty(); }, 600)) << log.problems().front();
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
    ASSERT_TRUE(runUntil([&] { drain(); return answer.has_value(); }));
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
