#include "cards/PasswordManagerPanel.h"

#include "cards/CardFocus.h"
#include "model/Text.h"
#include "state/AppState.h"
#include "store/IAuthenticator.h"
#include "store/PasswordGenerator.h"
#include "window/ViewRefresh.h"

#include <gtkmm/listboxrow.h>

#include <optional>
#include <utility>

namespace quorelle {

// The widgets of one list row; rebuilt whenever the list is drawn.
struct PasswordManagerPanel::RowWidgets {
    Gtk::ListBoxRow row;
    Gtk::Box box{Gtk::Orientation::VERTICAL, 4};
    Gtk::Label domain;
    Gtk::Label username;
    std::optional<Gtk::Label> password;
};

PasswordManagerPanel::PasswordManagerPanel(AppState& appState, IAuthenticator& authenticator)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 8), appState_(appState), authenticator_(authenticator) {
    set_name("password-manager-panel");
    set_margin(16);
    buildHeader();
    generatedLabel_.set_name("password-generated");
    generatedLabel_.add_css_class("caption");
    generatedLabel_.set_selectable(true);
    generatedLabel_.set_xalign(0);
    append(generatedLabel_);
    search_.set_name("password-search");
    search_.set_placeholder_text("Search");
    append(search_);
    CardFocus::startIn(*this, search_);
    list_.set_name("password-list");
    list_.set_selection_mode(Gtk::SelectionMode::NONE);
    scroller_.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller_.set_vexpand(true);
    scroller_.set_child(list_);
    append(scroller_);

    refresh_ = std::make_unique<ViewRefresh>(appState_.mainQueue(), [this] { refresh(); });
    connections_.push_back(appState_.passwordItems.signalWillChange().connect([this] { refresh_->schedule(); }));
    connections_.push_back(search_.signal_changed().connect([this] { refresh(); }));
    // What the profile's files hold when the panel first comes on screen.
    connections_.push_back(signal_map().connect([this] {
        if (appeared_) return;
        appeared_ = true;
        appState_.reloadPasswordMetadata();
    }));
    refresh();
}

PasswordManagerPanel::~PasswordManagerPanel() {
    for (auto& connection : connections_) connection.disconnect();
    for (auto& row : rows_) list_.remove(row->row);
}

void PasswordManagerPanel::buildHeader() {
    heading_.add_css_class("title-2");
    headerSpacer_.set_hexpand(true);
    generate_.set_name("password-generate");
    lock_.set_name("password-lock");
    generate_.signal_clicked().connect([this] { generate(); });
    lock_.signal_clicked().connect([this] { toggleLock(); });
    for (Gtk::Widget* item : std::initializer_list<Gtk::Widget*>{&heading_, &headerSpacer_, &generate_, &lock_}) {
        item->set_valign(Gtk::Align::CENTER);
        header_.append(*item);
    }
    append(header_);
}

std::vector<PasswordItem> PasswordManagerPanel::filtered(const std::vector<PasswordItem>& items,
                                                         std::string_view search) {
    if (search.empty()) return items;
    const std::string needle = text::lowercased(search);
    std::vector<PasswordItem> found;
    for (const auto& item : items)
        if (text::contains(text::lowercased(item.domain), needle) ||
            text::contains(text::lowercased(item.username), needle))
            found.push_back(item);
    return found;
}

void PasswordManagerPanel::generate() {
    generated_ = PasswordGenerator::generate();
    showGenerated();
}

void PasswordManagerPanel::toggleLock() {
    if (unlocked_) {
        // Locking never asks anything.
        unlocked_ = false;
        appState_.passwordsUnlocked.set(false);
        refresh();
        return;
    }
    authenticator_.authenticate(std::string(unlockReason), [this, alive = std::weak_ptr<bool>(alive_)](bool ok) {
        if (alive.expired()) return;
        unlocked_ = ok;
        appState_.passwordsUnlocked.set(ok);
        refresh();
    });
}

// ---- drawing ---------------------------------------------------------------------

void PasswordManagerPanel::showGenerated() {
    generatedLabel_.set_text("Generated: " + generated_);
    generatedLabel_.set_visible(!generated_.empty());
}

void PasswordManagerPanel::refresh() {
    lock_.set_label(unlocked_ ? "Lock" : "Unlock");
    showGenerated();
    for (auto& row : rows_) list_.remove(row->row);
    rows_.clear();
    for (const auto& item : filtered(appState_.passwordItems.get(), search_.get_text().raw()))
        list_.append(makeRow(item));
}

Gtk::Widget& PasswordManagerPanel::makeRow(const PasswordItem& item) {
    auto widgets = std::make_unique<RowWidgets>();
    auto& w = *widgets;
    w.domain.set_text(item.domain);
    w.domain.add_css_class("heading");
    w.username.set_text(item.username);
    w.username.add_css_class("caption");
    for (auto* label : {&w.domain, &w.username}) {
        label->set_xalign(0);
        w.box.append(*label);
    }
    if (unlocked_) {
        // Read afresh on every draw; the panel never keeps a secret.
        if (auto secret = appState_.passwordForItem(item)) {
            auto& password = w.password.emplace(*secret);
            password.add_css_class("caption");
            password.add_css_class("monospace");
            password.set_selectable(true);
            password.set_xalign(0);
            w.box.append(password);
        }
    }
    w.box.set_margin(6);
    w.row.set_child(w.box);
    w.row.set_activatable(false);
    rows_.push_back(std::move(widgets));
    return rows_.back()->row;
}

PasswordManagerPanel::Row PasswordManagerPanel::row(std::size_t index) const {
    if (index >= rows_.size()) return {};
    auto& w = *rows_[index];
    return Row{&w.domain, &w.username, w.password ? &*w.password : nullptr};
}

}  // namespace quorelle
