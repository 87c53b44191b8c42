#pragma once

#include "cards/DimmedCard.h"
#include "model/Uuid.h"
#include "window/FaviconView.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <sigc++/connection.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

class FaviconImageCache;

// Adds a new-tab shortcut, or edits or deletes the one in the state's
// `editingShortcut` when the card is shown, with a live preview of the
// site's icon; "Reset Defaults" puts back the default shortcut list.
//
// The form is the card's own and starts afresh on every presentation. The
// preview follows the address: nothing for a blank one, the product logo for
// an internal one, otherwise the cached icon of its host and then whatever a
// lookup answers (the latest answer wins; answers after the card is gone are
// dropped). "Save" saves nothing for a blank address and gives the address
// field the focus; otherwise it stores the shortcut (trimmed address, the
// title as typed or else the address, placed after the current list), closes
// the card and clears `editingShortcut`.
// "Cancel" and a tap on the dim layer only close it.
class ShortcutEditorOverlay : public DimmedCard {
public:
    static constexpr double cardWidth = 400;
    static constexpr double cardPadding = 20;
    static constexpr double cardCornerRadius = 10;
    static constexpr double dimLayerOpacity = 0.45;
    static constexpr double previewSize = 32;

    ShortcutEditorOverlay(AppState& appState, FaviconImageCache& images, TwoWayBinding<bool> isPresented);
    ~ShortcutEditorOverlay() override;

    Gtk::Label& heading() { return heading_; }
    FaviconView& preview() { return preview_; }
    Gtk::Entry& titleField() { return title_; }
    Gtk::Entry& urlField() { return url_; }
    Gtk::Button& saveButton() { return save_; }
    Gtk::Button& cancelButton() { return cancel_; }
    Gtk::Button& deleteButton() { return delete_; }
    Gtk::Button& resetDefaultsButton() { return resetDefaults_; }

    const std::optional<Uuid>& editingID() const { return editingID_; }
    const std::optional<std::string>& previewFavicon() const { return previewFavicon_; }

private:
    void buildLayout();
    void appear();
    void showMode();
    void showPreview();
    void refetchFavicon(std::string_view text);
    void save();
    void deleteCurrent();

    std::optional<Uuid> editingID_;
    std::optional<std::string> previewFavicon_;

    Gtk::Label heading_;
    Gtk::Box identityRow_;
    FaviconView preview_;
    Gtk::Box textColumn_;
    Gtk::Entry title_;
    Gtk::Entry url_;
    Gtk::Box buttons_;
    Gtk::Button save_;
    Gtk::Button cancel_;
    Gtk::Button delete_;
    Gtk::Button resetDefaults_;

    sigc::connection titleChanged_;
    sigc::connection urlChanged_;
    std::vector<sigc::connection> connections_;
    std::shared_ptr<int> life_ = std::make_shared<int>(0);  // pending icon lookups hold it weakly
};

}  // namespace quorelle
