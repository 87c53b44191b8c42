#include "cards/PasswordUpdatePromptCard.h"

#include "cards/PromptCardShape.h"
#include "state/AppState.h"
#include "window/ViewRefresh.h"

#include <utility>

namespace quorelle {

PasswordUpdatePromptCard::PasswordUpdatePromptCard(AppState& appState, PasswordUpdatePrompt prompt)
    : appState_(appState), prompt_(std::move(prompt)) {
    set_name("password-update-prompt");
    PromptCardShape::shape(*this, width, false);
    title_.add_css_class("heading");
    PromptCardShape::shapeButtonColumn(buttons_);
    update_.set_name("password-update");
    ignore_.set_name("password-ignore");
    update_.signal_clicked().connect([this] { update(); });
    ignore_.signal_clicked().connect([this] { ignore(); });
    buttons_.append(update_);
    buttons_.append(ignore_);
    append(title_);
    append(buttons_);
    PromptCardShape::makeDefault(*this, update_);

    refresh_ = std::make_unique<ViewRefresh>(appState_.mainQueue(), [this] { followPrompt(); });
    promptConnection_ =
        appState_.showPasswordUpdatePrompt.signalWillChange().connect([this] { refresh_->schedule(); });
}

PasswordUpdatePromptCard::~PasswordUpdatePromptCard() { promptConnection_.disconnect(); }

PasswordUpdatePromptCard::CardFactory PasswordUpdatePromptCard::cardFactory() {
    return [](AppState& state) -> std::unique_ptr<Gtk::Widget> {
        const auto& prompt = state.showPasswordUpdatePrompt.get();
        if (!prompt) return nullptr;
        return std::make_unique<PasswordUpdatePromptCard>(state, *prompt);
    };
}

void PasswordUpdatePromptCard::update() {
    // The login keeps its id and dates, so its secret and record are replaced.
    appState_.savePasswordItem(prompt_.item(), prompt_.newPassword());
    appState_.showPasswordUpdatePrompt.set(std::nullopt);
}

void PasswordUpdatePromptCard::ignore() { appState_.showPasswordUpdatePrompt.set(std::nullopt); }

void PasswordUpdatePromptCard::followPrompt() {
    if (const auto& prompt = appState_.showPasswordUpdatePrompt.get()) prompt_ = *prompt;
}

}  // namespace quorelle
