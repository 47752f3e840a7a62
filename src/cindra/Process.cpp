#include "cindra/Process.hpp"

namespace cindra {

namespace {
ProcessState state;
}

ProcessState& process() {
    return state;
}

void resetProcess() {
    state = ProcessState{};
}

} // namespace cindra
