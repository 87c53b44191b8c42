#include "cards/TwoWayBinding.h"

namespace quorelle {

TwoWayBinding<bool> bindFlag(Published<bool>& flag) {
    return {[&flag] { return flag.get(); }, [&flag](const bool& value) { flag.set(value); },
            &flag.signalWillChange()};
}

}  // namespace quorelle
