#include "window/BookmarksBar.h"

#include "web/ProductLogo.h"
#include "window/BookmarkChip.h"
#include "window/BookmarkFolderMenu.h"
#include "window/BookmarkFolderNameDialog.h"
#include "window/ChromeStyle.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/ThemeEnvironment.h"
#include "window/Toolbar.h"
#include "window/WindowTestSupport.h"
#include "support/RealInput.h"

#include <gdk/gdkkeysyms.h>
#include <giomm/menumodel.h>
#include <glibmm/variant.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/popover.h>
#include <gtkmm/settings.h>

namespace quorelle::testing {
namespace {

// One line of a menu model as the user sees it.
struct MenuLine {
    std::string label;
    std::string action;  // "" for a line without an action
    std::string target;  // a string target, if any
    friend bool operator==(const MenuLine&, const MenuLine&) = default;
};

std::string stringAttribute(const Glib::RefPtr<Gio::MenuModel>& model, int index, Gio::MenuModel::Attribute attr) {
    auto value = model->get_item_attribute(index, attr, Glib::VARIANT_TYPE_STRING);
    if (!value) return {};
    return Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(value).get();
}

std::vector<MenuLine> lines(const Glib::RefPtr<Gio::MenuModel>& model) {
    std::vector<MenuLine> out;
    for (int i = 0; i < model->get_n_items(); ++i)
        out.push_back({stringAttribute(model, i, Gio::MenuModel::Attribute::LABEL),
                       stringAttribute(model, i, Gio::MenuModel::Attribute::ACTION),
                       stringAttribute(model, i, Gio::MenuModel::Attribute::TARGET)});
    return out;
}

// The texts of the labels shown inside `widget`, top to bottom.
std::vector<std::string> labelTexts(Gtk::Widget& widget) {
    std::vector<std::string> texts;
    auto* label = dynamic_cast<Gtk::Label*>(&widget);
    if (label && label->get_visible() && !label->get_text().empty()) texts.push_back(label->get_text());
    for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling())
        for (auto& text : labelTexts(*child)) texts.push_back(std::move(text));
    return texts;
}

// The shown label reading `text` inside `widget`, or null.
Gtk::Label* findLabel(Gtk::Widget& widget, const std::string& text) {
    auto* label = dynamic_cast<Gtk::Label*>(&widget);
    if (label && label->get_mapped() && label->get_text().raw() == text) return label;
    for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling())
        if (auto* found = findLabel(*child, text)) return found;
    return nullptr;
}

class BookmarksBarTest : public WindowStateTest {
protected:
    BookmarksBarTest() : logo(std::string(ProductLogo::resourcePath)), images(logo) {}

    void SetUp() override {
        WindowStateTest::SetUp();
        bar = std::make_unique<BookmarksBar>(state, images, factory());
        showInWindow(*bar);
        web_.loads.clear();
    }
    void TearDown() override {
        if (window_) window_->unset_child();
        if (toolbar) {
            column.remove(*toolbar);
            column.remove(*bar);
        }
        toolbar.reset();
        bar.reset();
    }

    // A stand-in edit sheet that records its binding.
    virtual BookmarksBar::EditSheetFactory factory() {
        return [this](AppState&, BookmarksBar::EditSheetBinding b) -> std::unique_ptr<Gtk::Widget> {
            binding = std::move(b);
            ++sheetsMade;
            return std::make_unique<Gtk::Label>("sheet");
        };
    }

    Uuid addBookmark(const std::string& title, const std::string& url, std::optional<Uuid> folder = std::nullopt) {
        state->createBookmark(title, url, folder, std::nullopt);
        settle();
        return state->profileData.get().bookmarks.back().id;
    }
    Uuid addFolder(const std::string& name) {
        state->createBookmarkFolder(name);
        settle();
        return state->profileData.get().bookmarkFolders.back().id;
    }
    std::vector<std::string> chipTitles() const {
        std::vector<std::string> out;
        for (auto* chip : bar->chips()) out.push_back(chip->titleLabel().get_text());
        return out;
    }
    std::vector<std::string> folderTitles() const {
        std::vector<std::string> out;
        for (auto* folder : bar->folderMenus()) out.push_back(folder->titleLabel().get_text());
        return out;
    }
    // The row's children in order: chip titles, then folder names.
    std::vector<std::string> rowOrder() {
        std::vector<std::string> out;
        for (auto* child = bar->row().get_first_child(); child; child = child->get_next_sibling()) {
            if (auto* chip = dynamic_cast<BookmarkChip*>(child)) out.push_back("chip:" + chip->bookmark().title);
            if (auto* menu = dynamic_cast<BookmarkFolderMenu*>(child)) out.push_back("folder:" + menu->folder().name);
        }
        return out;
    }
    void act(const Glib::RefPtr<Gio::SimpleActionGroup>& group, const char* action) {
        group->activate_action(action);
        settle();
    }
    void actWith(const Glib::RefPtr<Gio::SimpleActionGroup>& group, const char* action, const std::string& target) {
        group->activate_action(action, Glib::Variant<Glib::ustring>::create(target));
        settle();
    }
    void click(Gtk::Widget& button) {
        g_signal_emit_by_name(button.gobj(), "clicked");
        settle();
    }
    ProfileData reread() { return makeState()->profileData.get(); }
    // Puts a toolbar above the bar in the window.
    Toolbar& addToolbar() {
        window_->unset_child();
        toolbar = std::make_unique<Toolbar>(state, bus_);
        column.append(*toolbar);
        column.append(*bar);
        window_->set_child(column);
        settle();
        return *toolbar;
    }
    // Opens the folder's pull-down with a click and clicks its item `item`.
    void chooseFromPullDown(BookmarkFolderMenu& menu, const std::string& item) {
        ASSERT_TRUE(runUntil([&] { return menu.get_width() > 0 && clickWidget(menu); }));
        ASSERT_TRUE(runUntil([&] { return menu.get_popover() && menu.get_popover()->get_mapped(); }));
        Gtk::Label* line = nullptr;
        ASSERT_TRUE(runUntil([&] { return (line = findLabel(*menu.get_popover(), item)) && line->get_width() > 0; }));
        ASSERT_TRUE(runUntil([&] { return clickWidget(*line); }));
        ASSERT_TRUE(runUntil([&] { return !menu.get_popover()->get_visible(); })) << item;
    }
    // Types `name` in the folder-name alert and presses Return there.
    void answerFolderName(const std::string& name) {
        ASSERT_TRUE(runUntil([&] { return bar->folderNameDialog() && bar->folderNameDialog()->get_mapped(); }));
        auto& dialog = *bar->folderNameDialog();
        dialog.entry().set_text("");
        ASSERT_TRUE(runUntil([&] { return typeText(dialog, name); }));
        ASSERT_TRUE(runUntil([&] { return dialog.entry().get_text().raw() == name; }));
        ASSERT_TRUE(runUntil([&] { return pressKey(dialog, GDK_KEY_Return); }));
        ASSERT_TRUE(runUntil([&] { return !bar->showNewFolderPrompt(); }));
    }
    BookmarkChip& chip(std::size_t i) { return *bar->chips().at(i); }
    // Whether the keyboard focus is on one of the bar's chips or folders.
    bool barButtonFocused() const {
        const auto* focus = window_->get_focus();
        for (const auto* c : bar->chips())
            if (focus == c) return true;
        for (const auto* f : bar->folderMenus())
            if (focus == f || focus == f->get_first_child()) return true;
        return false;
    }
    BookmarkFolderMenu& folder(std::size_t i) { return *bar->folderMenus().at(i); }

    QuorelleLogoCache logo;
    FaviconImageCache images;
    std::unique_ptr<BookmarksBar> bar;
    Gtk::Box column{Gtk::Orientation::VERTICAL};
    std::unique_ptr<Toolbar> toolbar;
    BookmarksBar::EditSheetBinding binding;
    int sheetsMade = 0;
};

TEST_F(BookmarksBarTest, AnEmptyProfileGivesABare32PointStripWithNothingToCreateFolders) {
    EXPECT_TRUE(bar->chips().empty());
    EXPECT_TRUE(bar->folderMenus().empty());
    EXPECT_EQ(bar->row().get_first_child(), nullptr);
    EXPECT_TRUE(bar->has_css_class(ChromeStyle::bookmarksBar));
    EXPECT_GE(bar->get_height(), 32);
    EXPECT_EQ(bar->scroller().property_hscrollbar_policy().get_value(), Gtk::PolicyType::EXTERNAL);
    EXPECT_EQ(bar->scroller().property_vscrollbar_policy().get_value(), Gtk::PolicyType::NEVER);
}

TEST_F(BookmarksBarTest, ChipsKeepStoredOrderAndFoldersFollowBySortOrder) {
    addBookmark("Alpha", "https://alpha.example/");
    const auto three = addFolder("Three");
    const auto one = addFolder("One");
    const auto two = addFolder("Two");
    addBookmark("Beta", "https://beta.example/");
    addBookmark("Inside", "https://inside.example/", one);
    state->profileData.modify([&](ProfileData& d) {
        for (auto& f : d.bookmarkFolders) f.sortOrder = f.id == three ? 3 : f.id == one ? 1 : 2;
    });
    settle();
    (void)two;
    EXPECT_EQ(rowOrder(), (std::vector<std::string>{"chip:Alpha", "chip:Beta", "folder:One", "folder:Two",
                                                    "folder:Three"}));

    // Equal sort orders keep the stored order.
    state->profileData.modify([](ProfileData& d) {
        for (auto& f : d.bookmarkFolders) f.sortOrder = 7;
    });
    settle();
    EXPECT_EQ(folderTitles(), (std::vector<std::string>{"Three", "One", "Two"}));
}

TEST_F(BookmarksBarTest, OnlyTheFirst24TopLevelBookmarksGetAChip) {
    const auto folderID = addFolder("F");
    state->profileData.modify([&](ProfileData& d) {
        for (int i = 0; i < 30; ++i) {
            Bookmark inFolder;
            inFolder.title = "in" + std::to_string(i);
            inFolder.url = "https://in.example/";
            inFolder.folderID = folderID;
            d.bookmarks.push_back(inFolder);
            Bookmark top;
            top.title = "b" + std::to_string(i);
            top.url = "https://b" + std::to_string(i) + ".example/";
            d.bookmarks.push_back(top);
        }
    });
    settle();
    auto titles = chipTitles();
    ASSERT_EQ(titles.size(), 24u);
    EXPECT_EQ(titles.front(), "b0");
    EXPECT_EQ(titles.back(), "b23");
    EXPECT_EQ(folder(0).bookmarks().size(), 30u);  // no limit inside a folder
}

TEST_F(BookmarksBarTest, ClickingAChipOrAFolderEntryLoadsItInTheActiveTab) {
    addBookmark("Example", "https://example.com/a");
    const auto f = addFolder("Work");
    addBookmark("Docs", "https://docs.example/", f);
    const auto tabID = state->activeTab()->id();

    click(chip(0));
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].tabID, tabID);
    EXPECT_EQ(web_.loads[0].address, "https://example.com/a");

    folder(0).menuModel();  // entries' actions come with the menu
    act(folder(0).actions(), "open-0");
    ASSERT_EQ(web_.loads.size(), 2u);
    EXPECT_EQ(web_.loads[1].address, "https://docs.example/");
}

TEST_F(BookmarksBarTest, ChipShowsIconTitleAndItsMenuInOrder) {
    addBookmark("Settings", "vx://settings");
    addBookmark("Web_Site", "https://www.example.org/page");
    addFolder("Z_folder");
    auto& internal = chip(0);
    EXPECT_EQ(internal.favicon().content(), FaviconView::Content::logo);
    EXPECT_EQ(internal.favicon().size(), 14);
    auto& web = chip(1);
    EXPECT_EQ(web.favicon().content(), FaviconView::Content::badge);
    EXPECT_EQ(web.favicon().badge().get_text(), "W");  // the host's first label, not the title
    // The letter takes its window's text colour, as the title does, whatever
    // light or dark mode the application as a whole follows: the guest
    // window keeps its dark theme under a main window's light one.
    {
        auto settings = Gtk::Settings::get_default();
        const bool dark = settings->property_gtk_application_prefer_dark_theme();
        ThemeEnvironment theme(state, *window_);
        for (bool applicationDark : {!state->theme().useDarkMode, state->theme().useDarkMode}) {
            settings->property_gtk_application_prefer_dark_theme() = applicationDark;
            int frames = 0;
            const guint tick = window_->add_tick_callback([&](const Glib::RefPtr<Gdk::FrameClock>&) {
                ++frames;
                return true;
            });
            EXPECT_TRUE(runUntil([&] { return frames >= 2; }));
            window_->remove_tick_callback(tick);
            const auto letter = web.favicon().badge().get_style_context()->get_color();
            const auto title = web.titleLabel().get_style_context()->get_color();
            EXPECT_EQ(letter, title) << letter.to_string() << " " << title.to_string() << " dark " << applicationDark;
        }
        settings->property_gtk_application_prefer_dark_theme() = dark;
    }
    EXPECT_EQ(web.titleLabel().get_text(), "Web_Site");
    EXPECT_FALSE(web.titleLabel().get_use_underline());

    auto menu = web.contextMenuModel();
    const auto folderID = state->profileData.get().bookmarkFolders[0].id.toString();
    EXPECT_EQ(lines(menu), (std::vector<MenuLine>{{"Edit", "bookmark.edit", ""},
                                                  {"Delete", "bookmark.delete", ""},
                                                  {"Add Custom Icon", "bookmark.add-custom-icon", ""},
                                                  {"Move to Folder", "", ""}}));
    auto submenu = menu->get_item_link(3, Gio::MenuModel::Link::SUBMENU);
    ASSERT_TRUE(submenu);
    EXPECT_EQ(lines(submenu), (std::vector<MenuLine>{{"None", "bookmark.move-to-folder", ""},
                                                     {"Z__folder", "bookmark.move-to-folder", folderID}}));
}

TEST_F(BookmarksBarTest, MovingAndDeletingFromTheChipMenuAreSaved) {
    const auto keep = addBookmark("Keep", "https://keep.example/");
    addBookmark("Gone", "https://gone.example/");
    const auto f = addFolder("Box");

    actWith(chip(0).actions(), "move-to-folder", "");  // None: stays where it is
    EXPECT_EQ(chipTitles(), (std::vector<std::string>{"Keep", "Gone"}));

    actWith(chip(0).actions(), "move-to-folder", f.toString());
    EXPECT_EQ(chipTitles(), (std::vector<std::string>{"Gone"}));
    ASSERT_EQ(folder(0).bookmarks().size(), 1u);
    EXPECT_EQ(folder(0).bookmarks()[0].id, keep);
    EXPECT_EQ(lines(folder(0).menuModel()->get_item_link(0, Gio::MenuModel::Link::SECTION))[0],
              (MenuLine{"Keep", "folder.open-0", ""}));

    act(chip(0).actions(), "delete");
    EXPECT_TRUE(bar->chips().empty());

    const auto saved = reread();
    ASSERT_EQ(saved.bookmarks.size(), 1u);
    EXPECT_EQ(saved.bookmarks[0].id, keep);
    EXPECT_EQ(saved.bookmarks[0].folderID, f);
}

TEST_F(BookmarksBarTest, ClicksOpenMenusBuiltOnlyThenWhoseItemsReachTheirActions) {
    addBookmark("A", "https://a.example/");
    const auto f = addFolder("F");
    addBookmark("In F", "https://in.example/", f);
    ASSERT_TRUE(runUntil([&] { return folder(0).get_width() > 0 && chip(0).get_width() > 0; }));
    // Nothing is built for a menu before it opens: the chip holds only its
    // content, the folder no pull-down.
    EXPECT_EQ(chip(0).get_first_child(), chip(0).get_last_child());
    EXPECT_EQ(folder(0).get_popover(), nullptr);

    ASSERT_TRUE(clickWidget(folder(0)));
    ASSERT_TRUE(runUntil([&] { return folder(0).get_popover() && folder(0).get_popover()->get_visible(); }));
    auto* pullDown = folder(0).get_popover();
    EXPECT_EQ(labelTexts(*pullDown),
              (std::vector<std::string>{"In F", "Rename Folder", "Delete Folder", "Add Bookmark to Folder", "New Folder"}));
    EXPECT_TRUE(gtk_widget_activate_action(GTK_WIDGET(pullDown->gobj()), "folder.new-folder", nullptr));
    settle();
    ASSERT_NE(bar->folderNameDialog(), nullptr);
    click(*bar->folderNameDialog()->cancelButton());
    pullDown->popdown();

    ASSERT_TRUE(clickWidget(folder(0), 3));
    ASSERT_TRUE(runUntil([&] { return folder(0).contextMenu().get_visible(); }));
    EXPECT_TRUE(gtk_widget_activate_action(GTK_WIDGET(folder(0).contextMenu().gobj()), "folder.add-bookmark", nullptr));
    settle();
    EXPECT_TRUE(state->showNewBookmarkSheet.get());
    folder(0).contextMenu().popdown();

    // No button of the bar takes the keyboard focus: not when a pull-down
    // closes after its item was chosen, not from Tab.
    chooseFromPullDown(folder(0), "Add Bookmark to Folder");
    settle();
    EXPECT_FALSE(barButtonFocused());
    window_->unset_focus();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(runUntil([&] { return pressKey(*window_, GDK_KEY_Tab); }));
        settle();
        EXPECT_FALSE(barButtonFocused()) << "Tab " << i;
    }

    // A chip looks pressed only while it is: not once its menu or its sheet
    // has closed.
    const auto pressed = [&] { return (chip(0).get_state_flags() & Gtk::StateFlags::ACTIVE) == Gtk::StateFlags::ACTIVE; };
    ASSERT_TRUE(clickWidget(chip(0), 3));
    ASSERT_TRUE(runUntil([&] { return chip(0).contextMenu().get_visible(); }));
    ASSERT_TRUE(runUntil([&] { return pressKey(chip(0).contextMenu(), GDK_KEY_Escape); }));
    ASSERT_TRUE(runUntil([&] { return !chip(0).contextMenu().get_visible(); }));
    settle();
    EXPECT_FALSE(pressed());
    EXPECT_FALSE(barButtonFocused());
    ASSERT_TRUE(clickWidget(chip(0), 3));
    Gtk::Label* edit = nullptr;
    ASSERT_TRUE(runUntil([&] { return (edit = findLabel(chip(0).contextMenu(), "Edit")) && edit->get_width() > 0; }));
    ASSERT_TRUE(runUntil([&] { return clickWidget(*edit); }));
    ASSERT_TRUE(runUntil([&] { return bar->editSheet() && bar->editSheet()->get_mapped(); }));
    binding.setPresented(false);
    settle();
    EXPECT_FALSE(pressed());
    EXPECT_FALSE(barButtonFocused());

    ASSERT_TRUE(clickWidget(chip(0), 3));
    ASSERT_TRUE(runUntil([&] { return chip(0).contextMenu().get_visible(); }));
    EXPECT_TRUE(gtk_widget_activate_action(GTK_WIDGET(chip(0).contextMenu().gobj()), "bookmark.delete", nullptr));
    settle();
    EXPECT_TRUE(bar->chips().empty());
    ASSERT_EQ(reread().bookmarks.size(), 1u);
}

// Each of these remakes the bar's buttons right after a folder's pull-down
// has closed, while that folder's button is where the keyboard focus would
// go back to.
TEST_F(BookmarksBarTest, FolderActionsChosenFromAPullDownRemakeTheBarSafely) {
    const auto trip = addFolder("Trip");
    addBookmark("Map", "https://map.example/", trip);
    addFolder("Work");

    chooseFromPullDown(folder(0), "Delete Folder");
    settle();
    EXPECT_EQ(folderTitles(), (std::vector<std::string>{"Work"}));
    EXPECT_EQ(chipTitles(), (std::vector<std::string>{"Map"}));

    chooseFromPullDown(folder(0), "New Folder");
    answerFolderName("reading");
    settle();
    EXPECT_EQ(folderTitles(), (std::vector<std::string>{"Work", "reading"}));

    chooseFromPullDown(folder(1), "Rename Folder");
    answerFolderName("books");
    settle();
    EXPECT_EQ(folderTitles(), (std::vector<std::string>{"Work", "books"}));

    chooseFromPullDown(folder(0), "Add Bookmark to Folder");
    EXPECT_TRUE(state->showNewBookmarkSheet.get());
    state->createBookmark("Docs", "https://docs.example/", state->profileData.get().bookmarkFolders[0].id, std::nullopt);
    settle();
    EXPECT_EQ(folder(0).bookmarks().size(), 1u);

    // The pull-down closed with Escape, then the toolbar's star.
    auto& star = addToolbar().bookmarkButton();
    state->navigateActive("https://news.example/");
    settle();
    ASSERT_TRUE(runUntil([&] { return folder(0).get_width() > 0 && clickWidget(folder(0)); }));
    ASSERT_TRUE(runUntil([&] { return folder(0).get_popover() && folder(0).get_popover()->get_mapped(); }));
    ASSERT_TRUE(runUntil([&] { return pressKey(*folder(0).get_popover(), GDK_KEY_Escape); }));
    ASSERT_TRUE(runUntil([&] { return !folder(0).get_popover()->get_visible(); }));
    ASSERT_TRUE(runUntil([&] { return star.get_width() > 0 && clickWidget(star); }));
    ASSERT_TRUE(runUntil([&] { return state->isBookmarked("https://news.example/"); }));
    settle();
    EXPECT_EQ(chipTitles().size(), 2u);

    const auto saved = reread();
    ASSERT_EQ(saved.bookmarkFolders.size(), 2u);
    EXPECT_EQ(saved.bookmarkFolders[1].name, "books");
    EXPECT_EQ(saved.bookmarks.size(), 3u);
}

TEST_F(BookmarksBarTest, AnEmptyFolderShowsItsPlaceholderThenTheFourActions) {
    addFolder("Empty");
    auto model = folder(0).menuModel();
    ASSERT_EQ(model->get_n_items(), 2);
    auto entries = model->get_item_link(0, Gio::MenuModel::Link::SECTION);
    auto actions = model->get_item_link(1, Gio::MenuModel::Link::SECTION);
    ASSERT_TRUE(entries && actions);
    EXPECT_EQ(lines(entries), (std::vector<MenuLine>{{"Empty folder", "", ""}}));
    EXPECT_EQ(lines(actions), (std::vector<MenuLine>{{"Rename Folder", "folder.rename", ""},
                                                     {"Delete Folder", "folder.delete", ""},
                                                     {"Add Bookmark to Folder", "folder.add-bookmark", ""},
                                                     {"New Folder", "folder.new-folder", ""}}));
    EXPECT_EQ(lines(folder(0).contextMenuModel()),
              (std::vector<MenuLine>{{"New Folder", "folder.new-folder", ""},
                                     {"Delete Folder", "folder.delete", ""},
                                     {"Rename Folder", "folder.rename", ""},
                                     {"Add Bookmark to Folder", "folder.add-bookmark", ""}}));
    EXPECT_EQ(folder(0).symbol().get_icon_name(), "folder-symbolic");
}

TEST_F(BookmarksBarTest, DeletingAFolderLiftsItsBookmarksAndAddBookmarkOpensTheCard) {
    const auto f = addFolder("Trip");
    addBookmark("Map", "https://map.example/", f);
    EXPECT_TRUE(bar->chips().empty());

    act(folder(0).actions(), "add-bookmark");
    EXPECT_TRUE(state->showNewBookmarkSheet.get());

    act(folder(0).actions(), "delete");
    EXPECT_TRUE(bar->folderMenus().empty());
    EXPECT_EQ(chipTitles(), (std::vector<std::string>{"Map"}));
    const auto saved = reread();
    EXPECT_TRUE(saved.bookmarkFolders.empty());
    ASSERT_EQ(saved.bookmarks.size(), 1u);
    EXPECT_FALSE(saved.bookmarks[0].folderID);
}

TEST_F(BookmarksBarTest, RenameAlertKeepsTheNameWhenClearedAndTheNextNewFolderStartsEmpty) {
    addFolder("Reading");
    act(folder(0).actions(), "rename");
    auto* dialog = bar->folderNameDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->get_visible());
    EXPECT_EQ(dialog->title(), "Rename Folder");
    EXPECT_EQ(dialog->entry().get_text(), "Reading");
    EXPECT_EQ(dialog->entry().get_placeholder_text(), "Folder name");
    ASSERT_NE(dialog->confirmButton(), nullptr);
    EXPECT_EQ(dialog->confirmButton()->get_label(), "Rename");
    EXPECT_EQ(dialog->cancelButton()->get_label(), "Cancel");

    dialog->entry().set_text("");
    click(*dialog->confirmButton());
    EXPECT_EQ(bar->folderNameDialog(), nullptr);
    EXPECT_FALSE(dialog->get_visible());
    EXPECT_EQ(state->profileData.get().bookmarkFolders[0].name, "Reading");
    EXPECT_FALSE(bar->renamingFolderID());

    act(folder(0).actions(), "new-folder");
    dialog = bar->folderNameDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->title(), "New Folder");
    EXPECT_EQ(dialog->entry().get_text(), "");
    EXPECT_EQ(dialog->confirmButton()->get_label(), "Create");

    dialog->entry().set_text("  ");  // spaces are a name
    click(*dialog->confirmButton());
    const auto saved = reread();
    ASSERT_EQ(saved.bookmarkFolders.size(), 2u);
    EXPECT_EQ(saved.bookmarkFolders[1].name, "  ");
    EXPECT_EQ(folderTitles(), (std::vector<std::string>{"Reading", "  "}));
}

TEST_F(BookmarksBarTest, RenamingSavesAndCancelChangesNothing) {
    addFolder("Old");
    act(folder(0).actions(), "rename");
    bar->folderNameDialog()->entry().set_text("New");
    EXPECT_EQ(bar->newFolderName(), "New");
    click(*bar->folderNameDialog()->confirmButton());
    EXPECT_EQ(reread().bookmarkFolders[0].name, "New");
    EXPECT_EQ(folderTitles(), (std::vector<std::string>{"New"}));

    act(folder(0).actions(), "rename");
    bar->folderNameDialog()->entry().set_text("Other");
    click(*bar->folderNameDialog()->cancelButton());
    EXPECT_EQ(reread().bookmarkFolders[0].name, "New");
    EXPECT_EQ(bar->newFolderName(), "");
    EXPECT_FALSE(bar->renamingFolderID());
    EXPECT_FALSE(bar->showNewFolderPrompt());
}

TEST_F(BookmarksBarTest, EditAndAddCustomIconOpenTheSheetOnAWorkingCopy) {
    const auto id = addBookmark("Edit me", "https://edit.example/");
    addBookmark("Other", "https://other.example/");
    act(chip(0).actions(), "edit");
    EXPECT_TRUE(bar->showEdit());
    EXPECT_EQ(sheetsMade, 1);
    ASSERT_NE(bar->editSheet(), nullptr);
    EXPECT_TRUE(bar->editSheet()->get_modal());
    EXPECT_EQ(bar->editSheet()->get_transient_for(), window_.get());
    EXPECT_EQ(bar->editSheet()->get_title(), "Edit Bookmark");
    EXPECT_EQ(binding.bookmark().id, id);
    EXPECT_FALSE(state->editingBookmark.get());

    // The sheet edits the bar's copy; the stored record stays until it saves.
    auto edited = binding.bookmark();
    edited.title = "Changed";
    binding.setBookmark(edited);
    EXPECT_EQ(bar->draftBookmark().title, "Changed");
    EXPECT_EQ(state->profileData.get().bookmarks[0].title, "Edit me");
    binding.setPresented(false);
    settle();
    EXPECT_FALSE(bar->showEdit());
    EXPECT_EQ(bar->editSheet(), nullptr);
    EXPECT_EQ(bar->draftBookmark().title, "Changed");  // kept after closing

    act(chip(1).actions(), "add-custom-icon");
    EXPECT_EQ(sheetsMade, 2);
    EXPECT_EQ(bar->draftBookmark().title, "Other");
    binding.onDelete();
    binding.setPresented(false);
    settle();
    const auto saved = reread();
    ASSERT_EQ(saved.bookmarks.size(), 1u);
    EXPECT_EQ(saved.bookmarks[0].id, id);
}

TEST_F(BookmarksBarTest, ClosingTheSheetWindowEndsTheEdit) {
    addBookmark("A", "https://a.example/");
    act(chip(0).actions(), "edit");
    ASSERT_NE(bar->editSheet(), nullptr);
    bar->editSheet()->close();
    settle();
    EXPECT_FALSE(bar->showEdit());
}

TEST_F(BookmarksBarTest, QuitWorksWhileTheFolderNameAlertHasTheFocus) {
    int quits = 0;
    auto app = Gio::SimpleActionGroup::create();
    app->add_action("quit", [&] { ++quits; });
    window_->insert_action_group("app", app);
    addFolder("Reading");
    act(folder(0).actions(), "rename");
    auto* dialog = bar->folderNameDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(runUntil([&] { return dialog->get_mapped() && pressAccelerator(*dialog, "<Control>q"); }));
    EXPECT_TRUE(runUntil([&] { return quits == 1; }));
}

// Fifty folders do not fit: a plain wheel brings the others into view.
TEST_F(BookmarksBarTest, AVerticalWheelScrollsTheRowSideways) {
    state->profileData.modify([](ProfileData& d) {
        for (int i = 0; i < 50; ++i) d.bookmarkFolders.push_back({.name = "Folder " + std::to_string(i)});
    });
    settle();
    auto scroll = bar->scroller().get_hadjustment();
    ASSERT_TRUE(runUntil([&] { return scroll->get_upper() > scroll->get_page_size() && scroll->get_page_size() > 0; }));
    EXPECT_EQ(scroll->get_value(), 0);

    // One notch at a time, each waited for: down, down, then up.
    EXPECT_TRUE(turnWheelSideways(bar->scroller(), 1));
    EXPECT_TRUE(turnWheelSideways(bar->scroller(), 1));
    EXPECT_TRUE(turnWheelSideways(bar->scroller(), -1));
    EXPECT_GT(scroll->get_value(), 0);
}

TEST_F(BookmarksBarTest, TheBarHidesWhileTheSettingsSwitchItOff) {
    EXPECT_TRUE(bar->get_visible());
    state->profileData.modify([](ProfileData& d) { d.settings.showBookmarksBar = false; });
    settle();
    EXPECT_FALSE(bar->get_visible());
    state->profileData.modify([](ProfileData& d) { d.settings.showBookmarksBar = true; });
    settle();
    EXPECT_TRUE(bar->get_visible());
}

class BookmarksBarWithoutSheetTest : public BookmarksBarTest {
protected:
    BookmarksBar::EditSheetFactory factory() override { return {}; }
};

TEST_F(BookmarksBarWithoutSheetTest, EditHandsTheBookmarkToTheStatesEditor) {
    const auto id = addBookmark("A", "https://a.example/");
    act(chip(0).actions(), "edit");
    EXPECT_FALSE(bar->showEdit());
    ASSERT_TRUE(state->editingBookmark.get());
    EXPECT_EQ(state->editingBookmark.get()->id, id);
}

}  // namespace
}  // namespace quorelle::testing
