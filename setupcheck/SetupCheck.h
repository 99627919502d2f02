// setup-check: reads a package's setup file with the launcher's own reader and tells its author
// what the window will show, or why the launcher would refuse the file, line by line.
// The entries (one for Windows, one for the host) set up the system behind the seam and the
// output; everything else is here.
#pragma once

#include "launcher/SetupFile.h"
#include "platform/Types.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setupcheck {

constexpr int kExitWindow = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

struct Options {
    std::optional<std::u16string> folder{}; // nothing: the current folder
    std::optional<platform::UINT> codePage{};
    bool help = false;
};

// Nothing and a message when the arguments are wrong.
std::optional<Options> ParseArguments(const std::vector<std::u16string>& arguments,
                                      std::u16string& error);

std::u16string_view HelpText();

// How wide a text is in its label's font, and how wide the label is, in pixels.
struct LabelFit {
    int text = 0;
    int label = 0;
};
using LabelMeasure =
    std::function<std::optional<LabelFit>(launcher::SetupLineKind, const std::u16string&)>;

// Where the file is and how the entry shows paths.
struct Place {
    // Given to the reader; nothing: the current directory.
    std::optional<std::u16string> readerDirectory{};
    // The folder as the user named it (empty: the current one), and the separator to add.
    std::u16string shownFolder{};
    char16_t separator = u'/';
    platform::UINT defaultCodePage = 1252;
    // The launcher's language rule, where the system has a user locale.
    bool japaneseUser = false;
    // Where the widths can be judged; empty elsewhere.
    LabelMeasure measure{};
};

// One line of output at a time, without its line feed.
using LineWriter = std::function<void(std::u16string_view)>;

// Reads the file, writes the report, and gives the exit status. A code page the system does
// not know is a usage error.
int CheckPackage(const Options& options, const Place& place, const LineWriter& out,
                 const LineWriter& err);

} // namespace setupcheck
