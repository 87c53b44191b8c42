#include "window/ScriptDialogs.h"

#include "window/MessageDialogLook.h"

#include <glibmm/main.h>
#include <gtkmm/entry.h>
#include <gtkmm/messagedialog.h>

namespace quorelle {

ScriptDialogs::ScriptDialogs() = default;

ScriptDialogs::~ScriptDialogs() {
    auto open = std::move(open_);
    for (auto& [id, dialog] : open) {
        dialog.dialog->set_visible(false);
        dialog.answer(std::nullopt);
    }
}

void ScriptDialogs::ask(GtkWidget* page, Kind kind, const std::string& message, const std::string& defaultText,
                        Answer answer) {
    auto dialog = std::make_unique<Gtk::MessageDialog>(message, false, Gtk::MessageType::OTHER,
                                                       Gtk::ButtonsType::NONE, true);
    dialog->set_name("script-dialog");
    dialog->set_title(title);
    dialog->set_resizable(false);
    dialog->add_button(cancelLabel, Gtk::ResponseType::CANCEL);
    dialog->add_button(confirmLabel, Gtk::ResponseType::OK);
    dialog->set_default_response(Gtk::ResponseType::OK);
    if (GtkRoot* root = page ? gtk_widget_get_root(page) : nullptr; GTK_IS_WINDOW(root))
        dialog->set_transient_for(*Glib::wrap(GTK_WINDOW(root)));
    Gtk::Entry* field = nullptr;
    if (kind == Kind::prompt) {
        field = Gtk::make_managed<Gtk::Entry>();
        field->set_text(defaultText);
        field->set_activates_default(true);
        dialog->get_message_area()->append(*field);
    }
    MessageDialogLook::apply(*dialog);
    const unsigned id = nextID_++;
    dialog->signal_response().connect([this, id, field](int response) {
        if (response != static_cast<int>(Gtk::ResponseType::OK)) return finish(id, std::nullopt);
        finish(id, field ? field->get_text().raw() : std::string());
    });
    Gtk::MessageDialog& shown = *dialog;
    open_.emplace(id, Open{std::move(dialog), std::move(answer)});
    shown.present();
    if (field) field->grab_focus();
}

void ScriptDialogs::finish(unsigned id, std::optional<std::string> answer) {
    auto it = open_.find(id);
    if (it == open_.end()) return;
    Open open = std::move(it->second);
    open_.erase(it);
    open.dialog->set_visible(false);
    // The dialog may be in the middle of emitting its response.
    Glib::signal_idle().connect_once([dialog = std::shared_ptr<Gtk::MessageDialog>(std::move(open.dialog))] {});
    open.answer(std::move(answer));
}

}  // namespace quorelle
