// Fuzz target: arbitrary bytes as the package's Setup.ini, read on the simulated desktop.
// Each input is read three times: once on a Japanese system, once on a Western one where a heap
// allocation and the reading of the file's tail fail, so the failure paths are fuzzed too, and
// once as setup-check reads it, working out causes and warnings and reading on past "$END".
// Whatever the bytes, the reader must not crash, must report at most one failure, must close the
// file exactly once and must free what it allocated.
#include "launcher/SetupDiagnosis.h"
#include "launcher/SetupFile.h"
#include "platform/sim/SimDesktop.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace {

using platform::sim::HandleKind;
using platform::sim::SimConfig;
using platform::sim::SimDesktop;

constexpr std::u16string_view kDirectory = u"C:\\Packages\\Demo";
constexpr std::u16string_view kSetupIni = u"C:\\Packages\\Demo\\Setup.ini";

[[noreturn]] void Fail(const char* what, const SimDesktop* desktop = nullptr) {
    std::fprintf(stderr, "setup_file_fuzz: %s\n", what);
    if (desktop != nullptr) {
        std::fprintf(stderr, "%s\n", desktop->Ledger().Report().c_str());
    }
    std::abort();
}

// Reads the way the main window does, and checks what each step gives.
void ReadAll(bool diagnose) {
    launcher::SetupFileDiagnosis diagnosis(platform::Os().GetACP());
    launcher::SetupFileReader reader(
        launcher::SetupReadOptions{.diagnosis = diagnose ? &diagnosis : nullptr});
    for (;;) {
        const launcher::SetupStep step = reader.Next();
        switch (step.kind) {
        case launcher::SetupStep::Kind::Value:
            // A value lies inside one piece of at most 127 bytes.
            if (step.value.size() > 125) {
                Fail("value longer than a piece");
            }
            break;
        case launcher::SetupStep::Kind::End:
            return;
        case launcher::SetupStep::Kind::Failed:
            if (step.failure == nullptr) {
                Fail("a failure without its message");
            }
            // A diagnosing reader names a cause for every failure it meets while reading.
            if (diagnose != (step.cause != launcher::SetupCause::None)) {
                Fail("a failure's cause is missing, or given without diagnosing");
            }
            // A finished reader stays finished: no second, different failure.
            if (const launcher::SetupStep again = reader.Next();
                again.kind != step.kind || again.failure != step.failure) {
                Fail("the reader went on after a failure");
            }
            return;
        }
    }
}

const std::filesystem::path& DriveRoot() {
    static const std::filesystem::path root = [] {
        std::error_code error;
        std::filesystem::path path = std::filesystem::temp_directory_path(error);
        if (error) {
            Fail("no temporary folder");
        }
        path /= "setup_file_fuzz-" + std::to_string(static_cast<long long>(::getpid()));
        std::filesystem::create_directories(path, error);
        if (error) {
            Fail("cannot create the drive folder");
        }
        return path;
    }();
    return root;
}

void ReadOnce(std::string_view bytes, platform::UINT codePage, int failingAlloc,
              std::uint64_t readableBytes, bool diagnose = false) {
    SimConfig config;
    config.driveRoot = DriveRoot();
    config.currentDirectory = std::u16string(kDirectory);
    config.ansiCodePage = codePage;
    config.userLcid = codePage == 932 ? 1041 : 1033;
    SimDesktop desktop(config);
    desktop.CreateHostFile(kSetupIni, bytes);
    if (failingAlloc >= 0) {
        desktop.FailHeapAlloc([failingAlloc](const platform::sim::HeapAllocRequest& request) {
            return request.index == failingAlloc;
        });
    }
    if (readableBytes < bytes.size()) {
        desktop.FailReadAfter(kSetupIni, readableBytes);
    }

    {
        platform::ScopedApi installed(desktop);
        ReadAll(diagnose);
    }

    const auto& ledger = desktop.Ledger();
    if (!ledger.Faults().empty()) {
        Fail("a handle or block was released wrongly", &desktop);
    }
    if (!ledger.Outstanding().empty()) {
        Fail("something was left open", &desktop);
    }
    if (ledger.AcquiredCount(HandleKind::File) != 1 ||
        ledger.ReleasedCount(HandleKind::File) != 1) {
        Fail("the file was not opened and closed exactly once", &desktop);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadOnce(bytes, 932, -1, UINT64_MAX);
    ReadOnce(bytes, 1252, static_cast<int>(size % 7), size - size / 4);
    ReadOnce(bytes, 932, -1, UINT64_MAX, true);
    return 0;
}
