#include "web/FirstLoadGate.h"

#include <webkit/webkit.h>

#include <utility>

namespace quorelle {

FirstLoadGate::FirstLoadGate(std::function<void()> scheduleRelease) : scheduleRelease_(std::move(scheduleRelease)) {}

FirstLoadGate::~FirstLoadGate() { unwatch(); }

void FirstLoadGate::watch(WebKitWebView* view) {
    if (view == view_) return;
    unwatch();
    view_ = view;
    if (!view_) return;
    g_signal_connect(view_, "load-changed", G_CALLBACK(onLoadChanged), this);
    g_signal_connect(view_, "notify::is-loading", G_CALLBACK(onLoadingChanged), this);
}

void FirstLoadGate::unwatch() {
    held_ = nullptr;
    if (!view_) return;
    g_signal_handlers_disconnect_by_data(view_, this);
    view_ = nullptr;
}

void FirstLoadGate::pass(std::function<void()> load) {
    switch (stage_) {
        case Stage::fresh:
            stage_ = Stage::awaitingFirstStart;
            load();
            return;
        case Stage::awaitingFirstStart:
        case Stage::releasing:
            held_ = std::move(load);
            return;
        case Stage::open:
            load();
            return;
    }
}

void FirstLoadGate::stop() {
    held_ = nullptr;
    stage_ = Stage::open;
}

void FirstLoadGate::release() {
    if (stage_ != Stage::releasing) return;
    stage_ = Stage::open;
    if (auto load = std::exchange(held_, nullptr)) load();
}

// Any report on the first load, its start, its end or its failure (which the
// engine follows with a finish), means the engine has taken its decision.
void FirstLoadGate::onLoadChanged(WebKitWebView*, int, void* self) {
    static_cast<FirstLoadGate*>(self)->firstLoadMovedOn();
}

// A first load refused before it started ends with the view no longer
// loading, and nothing else.
void FirstLoadGate::onLoadingChanged(WebKitWebView* view, GParamSpec*, void* self) {
    if (!webkit_web_view_is_loading(view)) static_cast<FirstLoadGate*>(self)->firstLoadMovedOn();
}

void FirstLoadGate::firstLoadMovedOn() {
    if (stage_ != Stage::awaitingFirstStart) return;
    if (!held_) {
        stage_ = Stage::open;
        return;
    }
    stage_ = Stage::releasing;
    scheduleRelease_();
}

}  // namespace quorelle
