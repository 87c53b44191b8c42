// Return pressed on a real keyboard, and Create clicked, in the create-profile sheet.
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
    // A fresh sheet with `name` typed and the focus on `focused`.
    void open(const std::string& name, Gtk::Widget& (*focused)(CreateProfileSheet&)) {
        if (sheet) sheet->destroy();
        presented = true;
        sheet = std::make_unique<CreateProfileSheet>(state, [this](bool shown) { presented = shown; });
        sheet->presentOver(nullptr);
        ASSERT_TRUE(runUntil([&] { return sheet->get_mapped(); }));
        sheet->nameField().set_text(name);
        focused(*sheet).grab_focus();
    }
    // The same, then Return, which closes the sheet.
    void pressReturn(const std::string& name, Gtk::Widget& (*focused)(CreateProfileSheet&)) {
        open(name, focused);
        ASSERT_TRUE(runUntil([&] { return pressAccelerator(*sheet, "Return"); })) << name;
        ASSERT_TRUE(runUntil([&] { return !presented; })) << name;
        settle();
    }
    // Whether the name field has the keyboard focus and what is typed next
    // goes into it.
    bool typedIntoName(std::string_view text) {
        auto* focus = sheet->get_focus();
        if (!focus || !(focus == &sheet->nameField() || focus->is_ancestor(sheet->nameField()))) return false;
        return runUntil([&] { return typeText(*sheet, text); }) &&
               runUntil([&] { return sheet->nameField().get_text().raw().ends_with(text); });
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

    // A blank name, sent with Return on a button or a click on Create,
    // creates nothing and leaves the keys in the field that lacks it.
    const auto profiles = state->appSettings.get().profiles.size();
    open(" \t ", [](CreateProfileSheet& s) -> Gtk::Widget& { return s.cancelButton(); });
    ASSERT_TRUE(runUntil([&] { return pressAccelerator(*sheet, "Return"); }));
    settle();
    EXPECT_TRUE(presented);
    EXPECT_TRUE(typedIntoName("Sea")) << "Return left the keys elsewhere";
    sheet->nameField().set_text("");
    ASSERT_TRUE(runUntil([&] { return clickWidget(sheet->createButton()); }));
    settle();
    EXPECT_TRUE(presented);
    EXPECT_TRUE(typedIntoName("Sea")) << "Create left the keys elsewhere";
    EXPECT_EQ(state->appSettings.get().profiles.size(), profiles);
    ASSERT_TRUE(runUntil([&] { return pressAccelerator(*sheet, "Return"); }));
    ASSERT_TRUE(runUntil([&] { return !presented; }));
    EXPECT_EQ(state->currentProfile().name, "Sea");
}

}  // namespace
}  // namespace quorelle::testing
