// The rescale arithmetic's table, run by a program of this build with this build's
// floating-point code: the worked examples one by one, and the sweep's digest against the one
// the host computes (tests/resizekit/rescale-sweep.digest, RESCALE_SWEEP_DIGEST here).
#include "RescaleArithmeticTable.h"

#include <cinttypes>
#include <cstdio>

int main() {
    int failures = 0;
    for (const auto& e : rescale_table::kExamples) {
        const int got = rescale_table::Apply(e);
        std::printf("%s: %s: %d (expected %d)\n", got == e.expected ? "ok" : "FAIL", e.what, got,
                    e.expected);
        failures += got != e.expected;
    }
    const rescale_table::Sweep sweep = rescale_table::SweepDigest();
    const std::uint64_t digest = sweep.digest;
    const std::uint64_t host = RESCALE_SWEEP_DIGEST;
    std::printf("%s: sweep of %d results: digest %" PRIu64 ", the host's %" PRIu64 "\n",
                digest == host ? "ok" : "FAIL", sweep.results, digest, host);
    failures += digest != host;
    std::printf("%s (%d-bit build)\n", failures == 0 ? "PASS" : "FAIL",
                static_cast<int>(sizeof(void*) * 8));
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
