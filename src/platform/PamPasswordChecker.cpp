#include "platform/PamPasswordChecker.h"

#include "store/UserName.h"

#include <security/pam_appl.h>
#include <string.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace quorelle {

namespace {

// The conversation's view of the typed password.
struct ConversationData {
    std::string_view password;
};

void freeResponses(pam_response* responses, int count) {
    for (int i = 0; i < count; ++i) {
        if (char* text = responses[i].resp) {
            explicit_bzero(text, strlen(text));
            std::free(text);
        }
    }
    std::free(responses);
}

// PAM frees what we hand it, so every answer is malloc'ed.
char* mallocCopy(std::string_view text) {
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) return nullptr;
    memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// Answers every hidden prompt with the password, lets information and error
// messages pass, and refuses anything else (a visible prompt asks for
// something we do not have).
int converse(int count, const pam_message** messages, pam_response** out, void* data) {
    if (count <= 0 || !messages || !out || !data) return PAM_CONV_ERR;
    const auto& conversation = *static_cast<const ConversationData*>(data);
    auto* responses = static_cast<pam_response*>(std::calloc(static_cast<std::size_t>(count), sizeof(pam_response)));
    if (!responses) return PAM_BUF_ERR;
    for (int i = 0; i < count; ++i) {
        const int style = messages[i]->msg_style;
        if (style == PAM_TEXT_INFO || style == PAM_ERROR_MSG) continue;
        if (style != PAM_PROMPT_ECHO_OFF) {
            freeResponses(responses, count);
            return PAM_CONV_ERR;
        }
        responses[i].resp = mallocCopy(conversation.password);
        if (!responses[i].resp) {
            freeResponses(responses, count);
            return PAM_BUF_ERR;
        }
    }
    *out = responses;
    return PAM_SUCCESS;
}

// One PAM transaction; ended with the last status when it goes away.
class PamSession {
public:
    PamSession(const std::string& service, const std::string& user, const pam_conv& conversation) {
        status_ = pam_start(service.c_str(), user.c_str(), &conversation, &handle_);
        if (status_ != PAM_SUCCESS) handle_ = nullptr;
    }
    ~PamSession() {
        if (handle_) pam_end(handle_, status_);
    }
    PamSession(const PamSession&) = delete;
    PamSession& operator=(const PamSession&) = delete;

    bool started() const { return handle_ != nullptr; }
    int authenticate() { return status_ = pam_authenticate(handle_, PAM_DISALLOW_NULL_AUTHTOK); }

private:
    pam_handle_t* handle_ = nullptr;
    int status_ = PAM_SUCCESS;
};

}  // namespace

PamPasswordChecker::PamPasswordChecker(std::string service) : service_(std::move(service)) {}

std::optional<std::string> PamPasswordChecker::currentUserName() { return UserName::of(getuid()); }

bool PamPasswordChecker::isAvailable() const {
    const auto user = currentUserName();
    if (!user) return false;
    ConversationData data;
    const pam_conv conversation{&converse, &data};
    return PamSession(service_, *user, conversation).started();
}

PasswordCheckResult PamPasswordChecker::check(std::string_view password) const {
    // A C string ends at the first NUL; a password holding one is not the
    // user's, whatever its first part says.
    if (password.find('\0') != std::string_view::npos) return PasswordCheckResult::rejected;
    const auto user = currentUserName();
    if (!user) return PasswordCheckResult::unavailable;
    ConversationData data{password};
    const pam_conv conversation{&converse, &data};
    PamSession session(service_, *user, conversation);
    if (!session.started()) return PasswordCheckResult::unavailable;
    switch (session.authenticate()) {
    case PAM_SUCCESS:
        return PasswordCheckResult::accepted;
    case PAM_AUTH_ERR:
        return PasswordCheckResult::rejected;
    default:
        return PasswordCheckResult::unavailable;
    }
}

}  // namespace quorelle
