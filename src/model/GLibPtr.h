#pragma once

// Owners for what GLib hands out: strings to g_free, errors, boxed values
// with an unref function, and GObject references.

#include <glib-object.h>

#include <memory>
#include <utility>

namespace quorelle {

// Frees with a GLib free or unref function.
template <auto Free>
struct GLibDeleter {
    template <typename T>
    void operator()(T* pointer) const {
        Free(pointer);
    }
};

// Owns a value GLib handed over ("transfer full") that goes with `Free`.
template <typename T, auto Free>
using GLibPtr = std::unique_ptr<T, GLibDeleter<Free>>;

using GCharPtr = GLibPtr<char, g_free>;
using GErrorPtr = GLibPtr<GError, g_error_free>;
using GUriPtr = GLibPtr<GUri, g_uri_unref>;
using GBytesPtr = GLibPtr<GBytes, g_bytes_unref>;

// Owns one reference to a GObject. adopt() takes over a reference the caller
// already holds (a "transfer full" return value); retain() adds one.
template <typename T>
class GObjectPtr {
public:
    GObjectPtr() = default;
    static GObjectPtr adopt(T* object) { return GObjectPtr(object); }
    static GObjectPtr retain(T* object) {
        if (object) g_object_ref(object);
        return GObjectPtr(object);
    }
    // Sinks a floating reference (a new widget) or adds a reference.
    static GObjectPtr sink(T* object) {
        if (object) g_object_ref_sink(object);
        return GObjectPtr(object);
    }

    GObjectPtr(const GObjectPtr& other) : object_(other.object_) {
        if (object_) g_object_ref(object_);
    }
    GObjectPtr(GObjectPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectPtr& operator=(GObjectPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~GObjectPtr() { reset(); }

    void reset() {
        if (object_) g_object_unref(std::exchange(object_, nullptr));
    }
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    explicit GObjectPtr(T* object) : object_(object) {}
    T* object_ = nullptr;
};

// A weak reference to a GObject: get() gives a strong reference, or nothing
// once the object is gone.
template <typename T>
class GWeakPtr {
public:
    GWeakPtr() { g_weak_ref_init(&ref_, nullptr); }
    explicit GWeakPtr(T* object) { g_weak_ref_init(&ref_, object); }
    ~GWeakPtr() { g_weak_ref_clear(&ref_); }
    GWeakPtr(const GWeakPtr&) = delete;
    GWeakPtr& operator=(const GWeakPtr&) = delete;

    void set(T* object) { g_weak_ref_set(&ref_, object); }
    GObjectPtr<T> get() const {
        return GObjectPtr<T>::adopt(static_cast<T*>(g_weak_ref_get(const_cast<GWeakRef*>(&ref_))));
    }

private:
    GWeakRef ref_;
};

}  // namespace quorelle
