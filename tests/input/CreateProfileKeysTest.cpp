// Return pressed on a real keyboard in the create-profile sheet.
#include "support/RealInput.h"
#include "window/CreateProfileSheet.h"
#include "window/WindowTestSupport.h"

namespace quorelle::testing {
namespace {

class CreateProfileKeysTest : public WindowStateTest {
protected:
    void TearDown() override {
        if (sheet) sheet->destroy();
        sheet.reset();
        spin();
    }
    // A fresh sheet with `name` typed and the focus on `focused`, then Return.
    void pressReturn(const std::string& name, Gtk::Widget& (*focused)(CreateProfileSheet&)) {
        if (sheet) sheet->destroy();
        presented = true;
        sheet = std::make_unique<CreateProfileSheet>(state, [this](bool shown) { presented = shown; });
        sheet->presentOver(nullptr);
        ASSERT_TRUE(runUntil([&] { return sheet->get_mapped(); }));
        sheet->nameField().set_text(name);
        focused(*sheet).grab_focus();
        ASSERT_TRUE(runUntil([&] { return pressAccelerator(*sheet, "Return"); })) << name;
        ASSERT_TRUE(runUntil([&] { return !presented; })) << name;
        settle();
    }

    std::unique_ptr<CreateProfileSheet> sheet;
    bool presented = false;
};

TEST_F(CreateProfileKeysTest, ReturnAnywhereInTheSheetCreatesTheTrimmedName) {
    pressReturn("  \tTravel  ", [](CreateProfileSheet& s) -> Gtk::Widget& { return s.nameField(); });
    const auto travel = state->currentProfile();
    EXPECT_EQ(travel.name, "Travel");
    EXPECT_FALSE(travel.isGuest);
    EXPECT_FALSE(sheet->get_visible());
    EXPECT_EQ(makeState()->currentProfile().id, travel.id);

    pressReturn("Studio", [](CreateProfileSheet& s) -> Gtk::Widget& { return s.cancelButton(); });
    EXPECT_EQ(state->currentProfile().name, "Studio");
    pressReturn("Garden", [](CreateProfileSheet& s) -> Gtk::Widget& { return s.createButton(); });
    EXPECT_EQ(state->currentProfile().name, "Garden");
}

}  // namespace
}  // namespace quorelle::testing
