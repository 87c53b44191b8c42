#include "window/CreateProfilePresenter.h"

#include "window/CreateProfileSheet.h"

namespace quorelle {

CreateProfilePresenter::CreateProfilePresenter(std::shared_ptr<AppState> appState, std::function<Gtk::Widget*()> anchor)
    : appState_(std::move(appState)), anchor_(std::move(anchor)) {}

CreateProfilePresenter::~CreateProfilePresenter() {
    if (sheet_) sheet_->set_visible(false);
}

void CreateProfilePresenter::setShown(bool show) {
    if (show == shown_) return;
    shown_ = show;
    if (!show) {
        if (sheet_) sheet_->set_visible(false);
        return;
    }
    sheet_ = std::make_unique<CreateProfileSheet>(appState_, [this](bool presented) { setShown(presented); });
    sheet_->presentOver(anchor_());
}

}  // namespace quorelle
