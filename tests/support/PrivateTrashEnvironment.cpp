// SPDX-License-Identifier: GPL-3.0-or-later
// A private home trash for a whole test program: its passes keep the files they replace in the Trash, which must
// never be the user's own. Programs started by the tests (quillmere-sync) inherit it.
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>

#include <memory>

namespace quillmere::test {
namespace {

class PrivateTrashEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { trash_ = std::make_unique<PrivateHomeTrash>(); }
    void TearDown() override { trash_.reset(); }

private:
    std::unique_ptr<PrivateHomeTrash> trash_;
};

[[maybe_unused]] ::testing::Environment* const kRegistered =
    ::testing::AddGlobalTestEnvironment(new PrivateTrashEnvironment);

} // namespace
} // namespace quillmere::test
