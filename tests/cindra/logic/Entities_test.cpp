#include "cindra/logic/Entities.hpp"

#include "cindra/Process.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using cindra::process;

// A registry replaced by a fresh one (as a fresh process state is made) releases its lights
// before the locations they follow: a light that outlived its location would reach into freed
// memory when it stops following it (the sanitizer build sees that).
TEST(Entities, AFreshRegistryReleasesLightsBeforeTheirLocations) {
    cindra::resetProcess();
    for (int e = 1; e <= 3; ++e) {
        process().entities.createComponent(e, "location");
        process().entities.createComponent(e, "light");
        process().entities.setName(e, "lamp" + std::to_string(e));
    }
    ASSERT_EQ(process().entities.location(2)->onMove.size(), 1u);
    cindra::resetProcess();
    const auto& registry = process().entities;
    EXPECT_TRUE(registry.lightComponents.empty());
    EXPECT_TRUE(registry.locationComponents.empty());
    EXPECT_EQ(registry.getEntityByName("lamp1"), cindra::logic::kNoEntity);
}

} // namespace
