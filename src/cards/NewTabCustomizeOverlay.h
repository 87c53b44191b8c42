#pragma once

#include "cards/DimmedCard.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dropdown.h>
#include <gtkmm/entry.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/stringlist.h>
#include <sigc++/connection.h>

#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

// Restyles the new-tab page without leaving the current page: a theme
// preset, a background image address, the dark default theme, or no
// background image; and a way to the themes page.
//
// The card keeps two things of its own, both set afresh each time it is
// shown: the image address field (the stored image path, or empty) and the
// picker, which starts on the preset of the theme in use. Neither reaches
// the browser until "Apply" or "Save": a preset the user picked is applied
// (an untouched picker changes no colour), then a non-blank address
// (trimmed) becomes the background image; a blank field leaves the
// background as the preset left it. "Reset" and "Clear Background" act at
// once; after "Reset" the picker shows the dark default theme's preset. The
// header button closes the card and opens the themes page in the active tab;
// a tap on the dim layer only closes it.
class NewTabCustomizeOverlay : public DimmedCard {
public:
    static constexpr double cardWidth = 420;
    static constexpr double cardPadding = 24;
    static constexpr double cardCornerRadius = 12;
    static constexpr double dimLayerOpacity = 0.55;
    static constexpr std::string_view backgroundPlaceholder = "https://example.com/image.jpg";
    // The picker's choice when the preset table is empty.
    static constexpr std::string_view fallbackPresetID = "black";

    NewTabCustomizeOverlay(AppState& appState, TwoWayBinding<bool> isPresented);
    ~NewTabCustomizeOverlay() override;

    Gtk::Label& title() { return title_; }
    Gtk::Button& openThemesButton() { return openThemes_; }
    Gtk::Label& themeLabel() { return themeLabel_; }
    Gtk::DropDown& presetPicker() { return presets_; }
    Gtk::Label& backgroundLabel() { return backgroundLabel_; }
    Gtk::Entry& backgroundField() { return background_; }
    Gtk::Button& applyButton() { return apply_; }
    Gtk::Button& saveButton() { return save_; }
    Gtk::Button& resetButton() { return reset_; }
    Gtk::Button& clearBackgroundButton() { return clear_; }

    const std::string& selectedPresetID() const { return selectedPresetID_; }
    // The presets' ids in picker order.
    static std::vector<std::string> presetIDs();

private:
    void buildHeader();
    void buildForm();
    void appear();
    std::string presetInUse() const;
    void showTheme();
    void apply();
    void save();
    void reset();
    void clearBackground();
    void openThemes();

    std::string selectedPresetID_{fallbackPresetID};
    bool presetPicked_ = false;  // by the user, since the picker last showed the theme
    bool showingTheme_ = false;  // while the card itself moves the picker
    Gtk::Box header_;
    Gtk::Label title_;
    Gtk::Button openThemes_;
    Gtk::Image openThemesIcon_;
    Gtk::Label themeLabel_;
    Gtk::DropDown presets_;
    Glib::RefPtr<Gtk::StringList> presetNames_;
    Gtk::Label backgroundLabel_;
    Gtk::Entry background_;
    Gtk::Box buttons_;
    Gtk::Button apply_;
    Gtk::Button save_;
    Gtk::Button reset_;
    Gtk::Button clear_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
