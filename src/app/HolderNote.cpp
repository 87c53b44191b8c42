#include "app/HolderNote.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace quorelle {
namespace {

constexpr std::string_view opening = "quorelle-holder ";
constexpr std::string_view stageNames[] = {"starting", "running", "quitting"};

// The value of " <key>=" at the start of `text`, which moves past it.
std::optional<std::string_view> field(std::string_view& text, std::string_view key, char end) {
    if (!text.starts_with(key) || text.size() <= key.size() || text[key.size()] != '=') return std::nullopt;
    text.remove_prefix(key.size() + 1);
    const auto stop = text.find(end);
    if (stop == std::string_view::npos || stop == 0) return std::nullopt;
    const auto value = text.substr(0, stop);
    text.remove_prefix(stop + 1);
    return value;
}

}  // namespace

std::string HolderNote::text() const {
    return std::string(opening) + "pid=" + std::to_string(pid) + " bus=" + bus.value_or("-") +
           " state=" + std::string(stageNames[static_cast<int>(stage)]) + "\n";
}

std::optional<HolderNote> HolderNote::parse(std::string_view text) {
    if (!text.starts_with(opening)) return std::nullopt;
    text.remove_prefix(opening.size());
    const auto pid = field(text, "pid", ' ');
    const auto bus = pid ? field(text, "bus", ' ') : std::nullopt;
    const auto state = bus ? field(text, "state", '\n') : std::nullopt;
    if (!state || !text.empty()) return std::nullopt;
    HolderNote note;
    const auto stage = std::find(std::begin(stageNames), std::end(stageNames), *state);
    if (stage == std::end(stageNames)) return std::nullopt;
    note.stage = static_cast<Stage>(stage - std::begin(stageNames));
    const auto [end, error] = std::from_chars(pid->data(), pid->data() + pid->size(), note.pid);
    if (error != std::errc() || end != pid->data() + pid->size() || note.pid <= 0) return std::nullopt;
    if (*bus != "-") note.bus = std::string(*bus);
    return note;
}

}  // namespace quorelle
