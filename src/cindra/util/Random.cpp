#include "cindra/util/Random.hpp"

namespace cindra::util {

Random& Random::shared() {
    static Random instance;
    return instance;
}

} // namespace cindra::util
