#pragma once

// File dialogs that a test answers: each request is kept with its completion,
// answered at once when an automatic answer is set, or later by answer().

#include "state/IFileDialogs.h"

#include <optional>
#include <string>
#include <vector>

namespace quorelle::testing {

class FakeFileDialogs : public IFileDialogs {
public:
    struct Request {
        bool save = false;
        std::string title;
        std::string suggestedName;
        std::vector<FileFilter> filters;
        PathCompletion done;
        bool answered = false;
    };

    void chooseSavePath(const std::string& title, const std::string& suggestedName,
                        const std::vector<FileFilter>& filters, PathCompletion done) override {
        add(Request{true, title, suggestedName, filters, std::move(done)});
    }
    void chooseFileToOpen(const std::string& title, const std::vector<FileFilter>& filters,
                          PathCompletion done) override {
        add(Request{false, title, "", filters, std::move(done)});
    }

    // Answers request `index` (once).
    void answer(std::size_t index, std::optional<std::string> path) {
        auto& request = requests.at(index);
        if (request.answered) return;
        request.answered = true;
        auto done = std::move(request.done);
        done(std::move(path));
    }

    // Set: every new request is answered with it before the call returns.
    std::optional<std::optional<std::string>> answerAtOnce;
    std::vector<Request> requests;

private:
    void add(Request request) {
        requests.push_back(std::move(request));
        if (answerAtOnce) answer(requests.size() - 1, *answerAtOnce);
    }
};

}  // namespace quorelle::testing
