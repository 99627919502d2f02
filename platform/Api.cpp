#include "platform/Api.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
Api* installed = nullptr;
} // namespace

Api& Os() {
    // Reaching the seam before an implementation is installed is a programming error.
    if (installed == nullptr) {
        std::fputs("platform::Os() called before an implementation was installed\n", stderr);
        std::abort();
    }
    return *installed;
}

void InstallApi(Api* api) { installed = api; }

ScopedApi::ScopedApi(Api& api) : previous_(installed) { installed = &api; }

ScopedApi::~ScopedApi() { installed = previous_; }

} // namespace platform
