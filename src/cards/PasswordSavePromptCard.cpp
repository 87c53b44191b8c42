#include "cards/PasswordSavePromptCard.h"

#include "cards/PromptCardShape.h"
#include "state/AppState.h"
#include "window/ViewRefresh.h"

#include <utility>

namespace quorelle {

PasswordSavePromptCard::PasswordSavePromptCard(AppState& appState, PasswordSavePrompt prompt)
    : appState_(appState), prompt_(std::move(prompt)) {
    set_name("password-save-prompt");
    PromptCardShape::shape(*this, width, true);
    title_.add_css_class("heading");
    message_.add_css_class("dim-label");
    message_.set_wrap(true);
    message_.set_justify(Gtk::Justification::CENTER);
    message_.set_max_width_chars(40);
    PromptCardShape::shapeButtonColumn(buttons_);
    save_.set_name("password-save");
    notNow_.set_name("password-not-now");
    never_.set_name("password-never");
    save_.signal_clicked().connect([this] { save(); });
    notNow_.signal_clicked().connect([this] { notNow(); });
    never_.signal_clicked().connect([this] { never(); });
    for (auto* button : {&save_, &notNow_, &never_}) buttons_.append(*button);
    append(title_);
    append(message_);
    append(buttons_);
    PromptCardShape::makeDefault(*this, save_);

    refresh_ = std::make_unique<ViewRefresh>(appState_.mainQueue(), [this] { followPrompt(); });
    promptConnection_ =
        appState_.showPasswordSavePrompt.signalWillChange().connect([this] { refresh_->schedule(); });
}

PasswordSavePromptCard::~PasswordSavePromptCard() { promptConnection_.disconnect(); }

PasswordSavePromptCard::CardFactory PasswordSavePromptCard::cardFactory() {
    return [](AppState& state) -> std::unique_ptr<Gtk::Widget> {
        const auto& prompt = state.showPasswordSavePrompt.get();
        if (!prompt) return nullptr;
        return std::make_unique<PasswordSavePromptCard>(state, *prompt);
    };
}

PasswordItem PasswordSavePromptCard::makeItem(const PasswordSavePrompt& prompt) {
    PasswordItem item;
    item.id = Uuid::random();
    item.websiteURL = prompt.url();
    item.domain = prompt.domain();
    item.username = prompt.username();
    item.email.clear();
    item.notes.clear();
    item.createdAt = Date::now();
    item.modifiedAt = Date::now();
    return item;
}

void PasswordSavePromptCard::save() {
    // A refused keyring store is reported by the state itself; the card
    // closes either way.
    appState_.savePasswordItem(makeItem(prompt_), prompt_.password());
    appState_.showPasswordSavePrompt.set(std::nullopt);
}

void PasswordSavePromptCard::notNow() { appState_.showPasswordSavePrompt.set(std::nullopt); }

void PasswordSavePromptCard::never() {
    appState_.profileData.modify(
        [&](ProfileData& data) { data.settings.neverSavePasswordDomains.push_back(prompt_.domain()); });
    appState_.showPasswordSavePrompt.set(std::nullopt);
    appState_.persist();
}

void PasswordSavePromptCard::followPrompt() {
    if (const auto& prompt = appState_.showPasswordSavePrompt.get()) prompt_ = *prompt;
}

}  // namespace quorelle
