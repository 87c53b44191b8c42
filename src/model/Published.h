#pragma once

#include <sigc++/signal.h>

#include <utility>

namespace quorelle {

// An observable value. Every assignment is announced to observers before the
// new value is stored, also when it equals the old one; observers must not
// read the value inside the handler (it is still the old one), they mark
// themselves dirty and refresh later.
template <typename T>
class Published {
public:
    explicit Published(T initial = T{}, sigc::signal<void()>* objectWillChange = nullptr)
        : value_(std::move(initial)), objectWillChange_(objectWillChange) {}

    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return value_; }

    void set(T value) {
        announce();
        value_ = std::move(value);
    }

    // One announcement for a change made in place (a field of a record, an
    // append to a list).
    template <typename Fn>
    void modify(Fn&& mutate) {
        announce();
        std::forward<Fn>(mutate)(value_);
    }

    sigc::signal<void()>& signalWillChange() { return willChange_; }

private:
    void announce() {
        willChange_.emit();
        if (objectWillChange_) objectWillChange_->emit();
    }

    T value_;
    sigc::signal<void()> willChange_;
    sigc::signal<void()>* objectWillChange_;
};

}  // namespace quorelle
