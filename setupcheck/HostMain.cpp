// setup-check for an author's Linux build: the package folder becomes drive C: of the
// simulated desktop, whose files are the real files, and the reader runs there as it does in
// Setup.exe. Paths and texts are UTF-8.
#include "setupcheck/SetupCheck.h"

#include "platform/Utf.h"
#include "platform/sim/SimDesktop.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void WriteLine(std::FILE* stream, std::u16string_view line) {
    const std::string bytes = platform::Utf16ToUtf8(line) + "\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

int Run(int argc, char** argv) {
    const auto out = [](std::u16string_view line) { WriteLine(stdout, line); };
    const auto err = [](std::u16string_view line) { WriteLine(stderr, line); };

    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(platform::Utf8ToUtf16(argv[i]));
    }
    std::u16string error;
    const std::optional<setupcheck::Options> options = setupcheck::ParseArguments(arguments, error);
    if (!options) {
        err(u"setup-check: " + error + u" (see setup-check --help)");
        return setupcheck::kExitUsage;
    }
    if (options->help) {
        const std::string help = platform::Utf16ToUtf8(setupcheck::HelpText());
        std::fwrite(help.data(), 1, help.size(), stdout);
        return 0;
    }

    const std::string folder = options->folder ? platform::Utf16ToUtf8(*options->folder) : ".";
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        err(u"setup-check: no folder \"" + platform::Utf8ToUtf16(folder) + u"\"");
        return setupcheck::kExitUsage;
    }
    // The folder is the drive's root and the current directory, so the reader looks for the
    // file exactly where and as Setup.exe would: "Setup.ini", else ".setup_ini", names matched
    // whatever their case.
    platform::sim::SimConfig config;
    config.driveRoot = std::filesystem::absolute(folder, ec);
    config.currentDirectory = u"C:\\";
    config.ansiCodePage = options->codePage.value_or(1252);
    platform::sim::SimDesktop desktop(config);
    platform::ScopedApi installed(desktop);

    setupcheck::Place place;
    place.shownFolder = options->folder.value_or(u"");
    place.separator = u'/';
    place.defaultCodePage = 1252;
    return setupcheck::CheckPackage(*options, place, out, err);
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "setup-check: %s\n", e.what());
        return setupcheck::kExitError;
    }
}
