#include <gtest/gtest.h>

#include "netlib/network_binding.h"

namespace qrv {
namespace {

// This program stands beside a ready fake library, so the default load finds it there.
TEST(ProgramFolderLoad, FindsTheLibraryBesideTheProgram) {
    NetworkBinding binding;
    EXPECT_TRUE(LoadNetworkLibrary(binding));
    EXPECT_NE(binding.GetNetMove, nullptr);
    ReleaseNetworkLibrary(binding);
    EXPECT_EQ(binding.Library, nullptr);
}

}  // namespace
}  // namespace qrv
