#pragma once

#include <functional>
#include <memory>

namespace Gtk {
class Widget;
}

namespace quorelle {

class AppState;
class CreateProfileSheet;

// Shows the create-profile sheet over a widget of a menu: a fresh sheet for
// each presentation, so its field starts empty; the sheet reports its own
// dismissal back here. A sheet still up goes away with the presenter.
class CreateProfilePresenter {
public:
    CreateProfilePresenter(std::shared_ptr<AppState> appState, std::function<Gtk::Widget*()> anchor);
    ~CreateProfilePresenter();
    CreateProfilePresenter(const CreateProfilePresenter&) = delete;
    CreateProfilePresenter& operator=(const CreateProfilePresenter&) = delete;

    bool isShown() const { return shown_; }
    void setShown(bool show);
    CreateProfileSheet* sheet() const { return sheet_.get(); }

private:
    std::shared_ptr<AppState> appState_;
    std::function<Gtk::Widget*()> anchor_;
    bool shown_ = false;
    std::unique_ptr<CreateProfileSheet> sheet_;
};

}  // namespace quorelle
