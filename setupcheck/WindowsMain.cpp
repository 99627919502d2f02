// setup-check.exe: the real system behind the seam, so the file is opened, read and decoded
// exactly as Setup.exe does it.
#include "setupcheck/SetupCheck.h"

#include "platform/win32/Console.h"
#include "platform/win32/Win32Api.h"
#include "setupcheck/LabelWidths.h"

#include <exception>
#include <string>
#include <vector>

namespace {

using platform::win32::StdStream;
using platform::win32::WriteStd;

int Run(int argc, wchar_t** argv) {
    const auto out = [](std::u16string_view line) {
        WriteStd(StdStream::Output, std::u16string(line) + u"\n");
    };
    const auto err = [](std::u16string_view line) {
        WriteStd(StdStream::Error, std::u16string(line) + u"\n");
    };

    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i) {
        // wchar_t is UTF-16 on Windows.
        const std::wstring_view argument(argv[i]);
        arguments.emplace_back(argument.begin(), argument.end());
    }
    std::u16string error;
    const std::optional<setupcheck::Options> options = setupcheck::ParseArguments(arguments, error);
    if (!options) {
        err(u"setup-check: " + error + u" (see setup-check --help)");
        return setupcheck::kExitUsage;
    }
    if (options->help) {
        WriteStd(StdStream::Output, setupcheck::HelpText());
        return 0;
    }

    platform::win32::Win32Api os;
    platform::ScopedApi installed(os);
    setupcheck::Place place;
    place.readerDirectory = options->folder;
    place.shownFolder = options->folder.value_or(u"");
    place.separator = u'\\';
    place.defaultCodePage = os.GetACP();
    place.japaneseUser = os.GetUserDefaultLCID() == 1041;
    place.measure = setupcheck::WindowLabelMeasure();
    return setupcheck::CheckPackage(*options, place, out, err);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        const std::string what = e.what();
        WriteStd(StdStream::Error,
                 u"setup-check: " + std::u16string(what.begin(), what.end()) + u"\n");
        return setupcheck::kExitError;
    }
}
