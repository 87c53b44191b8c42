#pragma once

#include "model/Published.h"

#include <sigc++/signal.h>

#include <functional>

namespace quorelle {

// A value a card reads and writes but does not own: the presenter decides
// where it lives. `get` reads the current value, `set` writes a new one.
// `willChange`, when given, is announced before the value changes from
// elsewhere, so the card can redraw; the card never reads the value inside
// that announcement.
template <typename T>
struct TwoWayBinding {
    std::function<T()> get;
    std::function<void(const T&)> set;
    sigc::signal<void()>* willChange = nullptr;
};

// A binding that reads and writes a published flag straight through.
TwoWayBinding<bool> bindFlag(Published<bool>& flag);

}  // namespace quorelle
