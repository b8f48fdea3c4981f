// The owner thread's check: silent on the owner, fatal anywhere else, and
// the owner can be handed over.
#include <gtest/gtest.h>

#include <thread>

#include "platform/owner_thread.h"

namespace vimbrel::platform {
namespace {

bool OwnerOnAnotherThread(const OwnerThread& owner) {
    bool isOwner = true;
    std::thread([&] { isOwner = owner.IsOwner(); }).join();
    return isOwner;
}

TEST(OwnerThread, OwnerPassesAndRebindHandsItOver) {
    OwnerThread owner;
    EXPECT_TRUE(owner.IsOwner());
    owner.Check("the constructing thread");
    EXPECT_FALSE(OwnerOnAnotherThread(owner));

    std::thread([&] {
        owner.Rebind();
        owner.Check("the new owner");
    }).join();
    EXPECT_FALSE(owner.IsOwner());
    owner.Rebind();
    EXPECT_TRUE(owner.IsOwner());
}

TEST(OwnerThreadDeathTest, AnotherThreadsCheckAbortsNamingWhat) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    const OwnerThread owner;
    EXPECT_DEATH(std::thread([&] { owner.Check("Frobnicate"); }).join(),
                 "Frobnicate called on a thread that does not own it");
}

}  // namespace
}  // namespace vimbrel::platform
