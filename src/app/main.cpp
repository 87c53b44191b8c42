// Quorelle's entry point. The browser window is still being built; until it
// lands this opens a small window that says so.
#include <gtkmm/application.h>
#include <gtkmm/applicationwindow.h>
#include <gtkmm/box.h>
#include <gtkmm/label.h>

namespace {

class PlaceholderWindow : public Gtk::ApplicationWindow {
public:
    PlaceholderWindow() {
        set_title("Quorelle");
        set_default_size(900, 700);
        set_size_request(800, 600);
        box_.set_valign(Gtk::Align::CENTER);
        box_.set_spacing(12);
        title_.set_markup("<span size='xx-large' weight='bold'>Quorelle</span>");
        note_.set_text("The browser window is not built yet: this build has the browser's data model only.");
        note_.set_wrap(true);
        box_.append(title_);
        box_.append(note_);
        set_child(box_);
    }

private:
    Gtk::Box box_{Gtk::Orientation::VERTICAL};
    Gtk::Label title_;
    Gtk::Label note_;
};

}  // namespace

int main(int argc, char* argv[]) {
    auto app = Gtk::Application::create("io.github.quorelle.Quorelle");
    return app->make_window_and_run<PlaceholderWindow>(argc, argv);
}
