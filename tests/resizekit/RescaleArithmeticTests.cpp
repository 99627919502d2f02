// The host's run of the rescale arithmetic's table; the Windows builds run it too (tests/e2e).
#include "RescaleArithmeticTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace {

TEST(RescaleArithmetic, WorkedExamples) {
    for (const auto& e : rescale_table::kExamples) {
        EXPECT_EQ(rescale_table::Apply(e), e.expected) << e.what;
    }
}

TEST(RescaleArithmetic, SweepAgreesWithTheDigestTheWindowsBuildsCheck) {
    std::ifstream file(RESCALE_SWEEP_DIGEST_FILE);
    std::string digest;
    ASSERT_TRUE(std::getline(file, digest)) << RESCALE_SWEEP_DIGEST_FILE;
    EXPECT_EQ(std::to_string(rescale_table::SweepDigest().digest), digest)
        << "the file holds what the Windows builds compare against";
}

} // namespace
