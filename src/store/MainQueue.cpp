#include "store/MainQueue.h"

#include <glib.h>

namespace quorelle {

MainQueue::MainQueue(GMainContext* context)
    : context_(context ? g_main_context_ref(context) : g_main_context_ref(g_main_context_default())) {}

MainQueue::~MainQueue() {
    std::lock_guard lock(mutex_);
    if (source_) {
        g_source_destroy(source_);
        g_source_unref(source_);
    }
    g_main_context_unref(context_);
}

void MainQueue::post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    work_.push_back(std::move(work));
    if (source_) return;
    source_ = g_idle_source_new();
    g_source_set_priority(source_, G_PRIORITY_DEFAULT);
    g_source_set_callback(source_, &MainQueue::onIdle, this, nullptr);
    g_source_set_name(source_, "quorelle-main-queue");
    g_source_attach(source_, context_);
}

std::deque<std::function<void()>> MainQueue::takeAll() {
    std::lock_guard lock(mutex_);
    std::deque<std::function<void()>> batch;
    batch.swap(work_);
    return batch;
}

int MainQueue::onIdle(void* data) {
    auto* self = static_cast<MainQueue*>(data);
    {
        std::lock_guard lock(self->mutex_);
        g_source_unref(self->source_);
        self->source_ = nullptr;
    }
    self->drain();
    return G_SOURCE_REMOVE;
}

void MainQueue::drain() {
    auto batch = takeAll();
    for (auto& work : batch) work();
}

std::size_t MainQueue::pending() const {
    std::lock_guard lock(mutex_);
    return work_.size();
}

}  // namespace quorelle
