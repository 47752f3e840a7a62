#include "cindra/util/GridPos.hpp"

#include <fmt/format.h>

namespace cindra::util {

std::string GridPos::toString() const {
    return fmt::format("({},{})", x, y);
}

} // namespace cindra::util
