#include "window/CreateProfileSheet.h"

#include "window/WindowTestSupport.h"

#include <gtk/gtk.h>

#include <algorithm>

namespace quorelle::testing {
namespace {

class CreateProfileSheetTest : public WindowStateTest {
protected:
    void SetUp() override {
        WindowStateTest::SetUp();
        present();
    }
    void TearDown() override {
        if (sheet) sheet->destroy();
        sheet.reset();
        spin();
    }
    // A fresh sheet per presentation, as the menus make them.
    void present() {
        if (sheet) sheet->destroy();
        presented = true;
        sheet = std::make_unique<CreateProfileSheet>(state, [this](bool shown) {
            presented = shown;
            ++writes;
        });
        sheet->presentOver(nullptr);
        spin();
    }
    void click(Gtk::Button& button) {
        g_signal_emit_by_name(button.gobj(), "clicked");
        settle();
    }
    std::vector<std::string> profileNames(const AppState& from) const {
        std::vector<std::string> names;
        for (const auto& profile : from.appSettings.get().profiles) names.push_back(profile.name);
        return names;
    }
    std::vector<std::string> persistedNames() {
        auto fresh = makeState();
        drain();
        return profileNames(*fresh);
    }

    std::unique_ptr<CreateProfileSheet> sheet;
    bool presented = false;
    int writes = 0;
};

TEST_F(CreateProfileSheetTest, ShowsTitleFieldAndButtonsWithCreateAsTheDefault) {
    EXPECT_EQ(sheet->titleLabel().get_text(), "Create Profile");
    EXPECT_EQ(sheet->nameField().get_placeholder_text(), "Profile name");
    EXPECT_EQ(sheet->nameField().get_text(), "");
    EXPECT_TRUE(sheet->nameField().get_activates_default());
    EXPECT_EQ(sheet->cancelButton().get_label(), "Cancel");
    EXPECT_EQ(sheet->createButton().get_label(), "Create");
    EXPECT_EQ(sheet->createButton().get_prev_sibling(), &sheet->cancelButton());
    EXPECT_EQ(sheet->get_default_widget(), &sheet->createButton());
    EXPECT_TRUE(sheet->get_modal());
    EXPECT_TRUE(sheet->createButton().get_sensitive());
    EXPECT_GE(sheet->get_width(), CreateProfileSheet::width);
}

TEST_F(CreateProfileSheetTest, BlankNamesAreIgnoredAndTheSheetStaysOpen) {
    const auto before = profileNames(*state);
    for (const char* blank : {"", "   ", "\t \u00a0"}) {
        sheet->nameField().set_text(blank);
        click(sheet->createButton());
        EXPECT_TRUE(presented) << blank;
        EXPECT_TRUE(sheet->get_visible());
        EXPECT_EQ(sheet->nameField().get_text(), blank);
    }
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(profileNames(*state), before);
    EXPECT_EQ(persistedNames(), before);
}

TEST_F(CreateProfileSheetTest, CancelCreatesNothingAndTheNextPresentationStartsEmpty) {
    const auto before = profileNames(*state);
    sheet->nameField().set_text("Unwanted");
    click(sheet->cancelButton());
    EXPECT_FALSE(presented);
    EXPECT_FALSE(sheet->get_visible());
    EXPECT_EQ(profileNames(*state), before);
    EXPECT_EQ(persistedNames(), before);

    present();
    EXPECT_EQ(sheet->nameField().get_text(), "");
}

TEST_F(CreateProfileSheetTest, ClosingTheWindowClearsTheFlag) {
    sheet->close();
    settle();
    EXPECT_FALSE(presented);
    EXPECT_FALSE(sheet->get_visible());
}

TEST_F(CreateProfileSheetTest, TwoProfilesMayShareAName) {
    sheet->nameField().set_text("Same");
    click(sheet->createButton());
    present();
    sheet->nameField().set_text("Same");
    click(sheet->createButton());
    const auto names = persistedNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "Same"), 2);
}

TEST(CreateProfileSheetName, TrimsHorizontalSpaceButKeepsLineBreaks) {
    EXPECT_EQ(CreateProfileSheet::trimmedName("  Work  "), "Work");
    EXPECT_EQ(CreateProfileSheet::trimmedName("\t\u00a0\u2003Home\u3000"), "Home");
    EXPECT_EQ(CreateProfileSheet::trimmedName(" Two words "), "Two words");
    EXPECT_EQ(CreateProfileSheet::trimmedName("\nWork\n"), "\nWork\n");
    EXPECT_EQ(CreateProfileSheet::trimmedName(" \t "), "");
}

}  // namespace
}  // namespace quorelle::testing
