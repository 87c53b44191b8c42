#pragma once

#include "model/PasswordItem.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/listbox.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

class AppState;
class IAuthenticator;
class ViewRefresh;

// The saved logins of the current profile: a searchable list of sites and
// user names, a password generator, and Unlock, which asks the owner check
// and, when it passes, shows each login's password from the keyring under
// its user name. Lock hides the passwords again at once.
//
// The list follows the state's logins; secrets are read from the keyring
// each time the list is drawn and never kept. Whether passwords show is the
// panel's own and starts locked with every panel.
class PasswordManagerPanel : public Gtk::Box {
public:
    static constexpr std::string_view unlockReason = "View saved passwords";

    // `authenticator` must outlive the panel.
    PasswordManagerPanel(AppState& appState, IAuthenticator& authenticator);
    ~PasswordManagerPanel() override;
    PasswordManagerPanel(const PasswordManagerPanel&) = delete;
    PasswordManagerPanel& operator=(const PasswordManagerPanel&) = delete;

    // The logins whose domain or user name contains `search`, case ignored,
    // in their order; all of them for an empty search.
    static std::vector<PasswordItem> filtered(const std::vector<PasswordItem>& items, std::string_view search);

    void generate();
    // Unlock when locked (after the owner check), lock when unlocked.
    void toggleLock();

    bool unlocked() const { return unlocked_; }
    const std::string& generated() const { return generated_; }

    // Redraws the list from the state at once; changes are otherwise picked
    // up on the main queue.
    void refresh();

    // ---- controls -------------------------------------------------------------
    Gtk::Button& generateButton() { return generate_; }
    Gtk::Button& lockButton() { return lock_; }
    Gtk::Label& generatedLabel() { return generatedLabel_; }
    Gtk::Entry& searchField() { return search_; }
    Gtk::ListBox& list() { return list_; }

    // One list row's parts, for the login at `index` of the filtered list.
    struct Row {
        Gtk::Label* domain = nullptr;
        Gtk::Label* username = nullptr;
        Gtk::Label* password = nullptr;  // nullptr while locked or without a secret
    };
    std::size_t rowCount() const { return rows_.size(); }
    Row row(std::size_t index) const;

private:
    struct RowWidgets;

    void buildHeader();
    Gtk::Widget& makeRow(const PasswordItem& item);
    void showGenerated();

    AppState& appState_;
    IAuthenticator& authenticator_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // the owner check's answer holds it weakly
    bool unlocked_ = false;
    std::string generated_;
    bool appeared_ = false;

    Gtk::Box header_{Gtk::Orientation::HORIZONTAL, 6};
    Gtk::Label heading_{"Passwords"};
    Gtk::Box headerSpacer_;
    Gtk::Button generate_{"Generate"};
    Gtk::Button lock_{"Unlock"};
    Gtk::Label generatedLabel_;
    Gtk::Entry search_;
    Gtk::ScrolledWindow scroller_;
    Gtk::ListBox list_;
    std::vector<std::unique_ptr<RowWidgets>> rows_;

    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
