#include "setupcheck/SetupCheck.h"

#include "launcher/Messages.h"
#include "launcher/SetupDiagnosis.h"
#include "launcher/SetupFile.h"
#include "platform/Api.h"
#include "platform/Utf.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

namespace setupcheck {

using launcher::SetupCause;
using launcher::SetupLineKind;
using launcher::SetupStep;
using launcher::SetupWarning;
using launcher::SetupWarningKind;
using platform::Os;
using platform::UINT;

namespace {

constexpr std::u16string_view kHelp = uR"(Usage: setup-check [--code-page N] [PACKAGE_FOLDER]
       setup-check --help

Reads a driver package's setup file exactly as Setup.exe does, with Setup.exe's own
reader, and tells what its window will show or why Setup.exe would refuse the file.

  PACKAGE_FOLDER  the folder that holds the setup file; default: the current folder.
                  Setup.ini is read, or .setup_ini when Setup.ini cannot be opened.
  --code-page N   decode the texts with code page N (932: Japanese, Shift_JIS;
                  1252: Western); default: the system's ANSI code page on Windows,
                  1252 elsewhere. Setup.exe uses the system's ANSI code page.
  --help          show this text.

Output: the file read and the code page, then the three texts the window shows
(Title, Type, and Version with its "Ver." prefix) when it opens, then one line per
problem, in the form build logs and editors understand:
  FILE:LINE: error: CAUSE; WHAT TO WRITE INSTEAD     Setup.exe shows an error message
                                                     and its window does not open
  FILE:LINE: warning: WHAT SURPRISES; WHAT TO DO     the window opens, maybe not as meant
and last a line "Result: ..." that says what Setup.exe does with this file.

On Windows it also warns when a text is wider than its label in Setup.exe's window,
measured with the window's own labels and fonts at the system's density. Elsewhere
that cannot be judged (no real fonts): see the picture scripts/preview makes.

Exit status: 0 the window opens (warnings allowed), 1 Setup.exe shows an error
message instead, 2 wrong usage (unknown option, unknown code page, no such folder).
)";

std::u16string Text(std::string_view ascii) {
    return platform::Utf8ToUtf16(ascii);
}

std::u16string Number(long long value) {
    return Text(std::to_string(value));
}

std::u16string_view KeywordName(SetupLineKind kind) {
    switch (kind) {
    case SetupLineKind::Title:
        return u"$TITLE";
    case SetupLineKind::DriverType:
        return u"$DRV_TYPE";
    case SetupLineKind::DriverVersion:
        return u"$DRV_VERSION";
    case SetupLineKind::End:
    case SetupLineKind::Unrecognised:
        break;
    }
    return u"$END";
}

std::u16string_view Placeholder(SetupLineKind kind) {
    return kind == SetupLineKind::DriverVersion ? u"?.??.??" : u"????????";
}

// The file's bytes as the code page reads them; a byte it does not know shows as U+FFFD.
std::u16string Decode(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int units = Os().MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) {
        return std::u16string(bytes.size(), u'\uFFFD');
    }
    std::u16string text(static_cast<std::size_t>(units), u'\0');
    Os().MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), units);
    return text;
}

bool KnownCodePage(UINT codePage) {
    char16_t wide[2] = {};
    return Os().MultiByteToWideChar(codePage, 0, "A", 1, wide, 2) == 1;
}

std::u16string OpenError(platform::DWORD error) {
    switch (error) {
    case platform::ERROR_FILE_NOT_FOUND:
        return u"not found";
    case platform::ERROR_PATH_NOT_FOUND:
        return u"the folder was not found";
    case platform::ERROR_ACCESS_DENIED:
        return u"access denied";
    case platform::ERROR_SHARING_VIOLATION:
        return u"another program holds it open";
    default:
        return u"system error " + Number(error);
    }
}

std::u16string Upper(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
    }
    return text;
}

// The cause of a failure in plain words, with what to write instead.
std::u16string CauseText(const SetupStep& step, UINT codePage) {
    const std::u16string keyword(KeywordName(step.label));
    const std::u16string detail = Decode(step.detail, codePage);
    switch (step.cause) {
    case SetupCause::Empty:
        return u"the file is empty; write the keyword lines and end them with a line \"$END\"";
    case SetupCause::NoEndMarker:
        return u"the file ends without a line \"$END\"; add \"$END\" as its last line";
    case SetupCause::CtrlZ:
        return u"a Ctrl-Z byte (0x1A) ends the file here for Setup.exe, before \"$END\"; "
               u"remove it";
    case SetupCause::CarriageReturnsOnly:
        return u"the lines end with carriage returns only, so Setup.exe reads the file as one "
               u"long line cut every 127 bytes; save the file with CR LF (Windows) or LF line "
               u"ends";
    case SetupCause::ReadError:
        return u"the system failed to read the file; copy it anew";
    case SetupCause::Utf16:
        return u"the file is UTF-16 text, which Setup.exe cannot read; save it in the "
               u"system's ANSI code page (Shift_JIS for a Japanese package)";
    case SetupCause::OutOfMemory:
        return u"out of memory while reading this line";
    case SetupCause::UnknownKeyword:
        return u"\"" + detail +
               u"\" is not a keyword; a line begins with $TITLE, $DRV_TYPE, $DRV_VERSION or "
               u"$END, or with \";\" for a comment";
    case SetupCause::KeywordCase:
        return u"\"" + detail + u"\" is not a keyword: keywords are case-sensitive; write \"" +
               Upper(detail) + u"\"";
    case SetupCause::TrailByte: {
        const std::u16string trail(
            1, static_cast<char16_t>(step.detail.size() > 1 ? step.detail[1] : '?'));
        return u"the double-byte character \"" + detail +
               u"\" stands outside the quotes: Setup.exe drops its first byte and keeps its "
               u"second as \"" +
               trail +
               u"\", so the line does not begin with a keyword; outside the quotes write ASCII "
               u"only";
    }
    case SetupCause::ZeroByte:
        return u"a zero byte (0x00) ends this line for Setup.exe; remove it";
    case SetupCause::NoQuotes:
        return u"the value of " + keyword + u" is not in double quotes; write " + keyword +
               u" = \"...\"";
    case SetupCause::TypographicQuotes:
        return u"the value of " + keyword + u" is in typographic quotes (" + detail +
               u"), which Setup.exe does not take for quotes; write plain double quotes: " +
               keyword + u" = \"...\"";
    case SetupCause::NoClosingQuote:
        return u"the value of " + keyword + u" has no closing double quote; end the value with \"";
    case SetupCause::SemicolonInQuotes:
        return u"a \";\" inside the quotes starts a comment and cuts the value of " + keyword +
               u" off, closing quote and all; a value cannot hold \";\", write another "
               u"character (such as \",\") instead";
    case SetupCause::PieceCut:
        return u"the line is longer than 127 bytes, and Setup.exe reads 127 bytes at a time, "
               u"so the value of " +
               keyword +
               u" loses its closing quote; shorten the line to at most 127 bytes, blanks "
               u"included";
    case SetupCause::LongLineRest:
        return u"the line is longer than 127 bytes: Setup.exe reads its bytes after the 127th "
               u"as a line of their own, which begins with no keyword; shorten the line to at "
               u"most 127 bytes, blanks included";
    case SetupCause::NotOpened:
    case SetupCause::None:
        break;
    }
    return u"Setup.exe cannot read this line";
}

std::u16string WarningText(const SetupWarning& warning, UINT codePage) {
    const std::u16string keyword(KeywordName(warning.keyword));
    const std::u16string detail = Decode(warning.detail, codePage);
    switch (warning.kind) {
    case SetupWarningKind::Repeated:
        return keyword + u" is given again (first on line " + Number(warning.firstLine) +
               u"); the last one wins, so the window shows this value; remove the line you do "
               u"not mean";
    case SetupWarningKind::KeywordPrefix:
        return u"\"" + detail + u"\" is read as " + keyword +
               u": a keyword matches by its beginning; write \"" + keyword + u"\"";
    case SetupWarningKind::TextAfterValue:
        return u"the text after the closing quote (" + detail +
               u") is ignored; a value cannot hold a double quote";
    case SetupWarningKind::Ampersand:
        return u"the window does not show the \"&\" in \"" + detail +
               u"\" but underlines the character after it; write \"&&\" for one \"&\"";
    case SetupWarningKind::TextAfterEndOnLine:
        return u"the text after $END on its line (" + detail + u") is ignored";
    case SetupWarningKind::TextAfterEnd:
        return u"this line comes after $END and is never read; move it above the $END line";
    case SetupWarningKind::Missing:
        return u"there is no " + keyword + u" line, so the window shows the placeholder \"" +
               std::u16string(Placeholder(warning.keyword)) + u"\"; add " + keyword +
               u" = \"...\" before $END";
    }
    return {};
}

std::u16string Quoted(std::u16string_view text) {
    return u"\"" + std::u16string(text) + u"\"";
}

} // namespace

std::u16string_view HelpText() {
    return kHelp;
}

std::optional<Options> ParseArguments(const std::vector<std::u16string>& arguments,
                                      std::u16string& error) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::u16string& argument = arguments[i];
        if (argument == u"--help" || argument == u"-h" || argument == u"/?") {
            options.help = true;
        } else if (argument == u"--code-page" || argument.starts_with(u"--code-page=")) {
            std::u16string value;
            if (argument == u"--code-page") {
                if (i + 1 == arguments.size()) {
                    error = u"--code-page needs a number";
                    return std::nullopt;
                }
                value = arguments[++i];
            } else {
                value = argument.substr(sizeof("--code-page=") - 1);
            }
            unsigned long number = 0;
            const bool digits = !value.empty() && value.size() <= 5 &&
                                std::all_of(value.begin(), value.end(),
                                            [](char16_t c) { return c >= u'0' && c <= u'9'; });
            for (char16_t c : value) {
                number = number * 10 + static_cast<unsigned long>(c - u'0');
            }
            // 0 would be the system's own code page under another name.
            if (!digits || number == 0 || number > 65535) {
                error = u"--code-page needs a code page number, not \"" + value + u"\"";
                return std::nullopt;
            }
            options.codePage = static_cast<UINT>(number);
        } else if (argument.starts_with(u"-") && argument.size() > 1) {
            error = u"unknown option \"" + argument + u"\"";
            return std::nullopt;
        } else if (options.folder) {
            error = u"one package folder only";
            return std::nullopt;
        } else {
            options.folder = argument;
        }
    }
    return options;
}

int CheckPackage(const Options& options, const Place& place, const LineWriter& out,
                 const LineWriter& err) {
    const UINT codePage = options.codePage.value_or(place.defaultCodePage);
    if (!KnownCodePage(codePage)) {
        err(u"setup-check: code page " + Number(codePage) + u" is not known here");
        return kExitUsage;
    }
    auto path = [&](std::u16string_view name) {
        std::u16string shown = place.shownFolder;
        if (!shown.empty() && shown.back() != u'/' && shown.back() != u'\\') {
            shown += place.separator;
        }
        return shown + std::u16string(name);
    };

    launcher::SetupReadOptions readOptions;
    readOptions.directory = place.readerDirectory;
    readOptions.codePage = codePage;
    launcher::SetupFileDiagnosis diagnosis(codePage);
    readOptions.diagnosis = &diagnosis;
    launcher::SetupFileReader reader(std::move(readOptions));

    const launcher::SetupFileOpening& opening = reader.Opening();
    const std::u16string setupIni = path(u"Setup.ini");
    if (opening.opened < 0) {
        if (opening.errors[0] == platform::ERROR_PATH_NOT_FOUND &&
            opening.errors[1] == platform::ERROR_PATH_NOT_FOUND) {
            err(u"setup-check: no folder " + Quoted(place.shownFolder));
            return kExitUsage;
        }
        out(u"File: none");
        out(u"Code page: " + Number(codePage));
        if (opening.directoryNotInCodePage) {
            out(setupIni +
                u": error: the folder's path cannot be written in the system's ANSI "
                u"code page (" +
                Number(Os().GetACP()) +
                u"), so Setup.exe cannot open a file in it; move the package to a folder whose "
                u"path the code page can write");
        } else {
            out(setupIni + u": error: neither Setup.ini (" + OpenError(opening.errors[0]) +
                u") nor .setup_ini (" + OpenError(opening.errors[1]) +
                u") can be opened; put the setup file, named Setup.ini, in the package folder");
        }
    } else {
        std::u16string line = u"File: " + path(opening.opened == 0 ? u"Setup.ini" : u".setup_ini");
        if (opening.opened == 1 && opening.errors[0] != platform::ERROR_FILE_NOT_FOUND) {
            line += u" (Setup.ini: " + OpenError(opening.errors[0]) + u")";
        }
        out(line);
        out(u"Code page: " + Number(codePage));
    }
    const std::u16string file = path(opening.opened == 1 ? u".setup_ini" : u"Setup.ini");

    std::u16string texts[3] = {u"????????", u"????????", u"?.??.??"};
    int lines[3] = {0, 0, 0};
    std::optional<SetupStep> failure;
    for (bool reading = true; reading;) {
        SetupStep step = reader.Next();
        switch (step.kind) {
        case SetupStep::Kind::Value:
            if (step.label == SetupLineKind::Title) {
                texts[0] = step.value;
                lines[0] = step.line;
            } else if (step.label == SetupLineKind::DriverType) {
                texts[1] = step.value;
                lines[1] = step.line;
            } else {
                texts[2] = u"Ver." + step.value;
                lines[2] = step.line;
            }
            break;
        case SetupStep::Kind::End:
            reading = false;
            break;
        case SetupStep::Kind::Failed:
            failure = std::move(step);
            reading = false;
            break;
        }
    }
    reader.Close();

    if (!failure) {
        out(u"Title: " + texts[0]);
        out(u"Type: " + texts[1]);
        out(u"Version: " + texts[2]);
    }
    // Warnings up to the failure, and the failure, in the order of their lines.
    std::vector<std::pair<int, std::u16string>> warnings;
    for (const SetupWarning& warning : diagnosis.Warnings()) {
        warnings.emplace_back(warning.line, WarningText(warning, codePage));
    }
    if (!failure && place.measure) {
        constexpr SetupLineKind kLabels[] = {SetupLineKind::Title, SetupLineKind::DriverType,
                                             SetupLineKind::DriverVersion};
        constexpr std::u16string_view kNames[] = {u"title", u"driver type", u"version text"};
        try {
            for (int i = 0; i < 3; ++i) {
                const std::optional<LabelFit> fit = place.measure(kLabels[i], texts[i]);
                if (lines[i] != 0 && fit && fit->text > fit->label) {
                    warnings.emplace_back(
                        lines[i], u"the " + std::u16string(kNames[i]) +
                                      u" is wider than its label in Setup.exe's window (" +
                                      Number(fit->text) + u" of " + Number(fit->label) +
                                      u" pixels here), so the window cuts it off at the right; "
                                      u"shorten it");
                }
            }
        } catch (const std::exception& error) {
            err(u"setup-check: the widths of the texts could not be judged: " +
                platform::Utf8ToUtf16(error.what()));
        }
    }
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, text] : warnings) {
        out(file + u":" + Number(line) + u": warning: " + text);
    }
    if (failure && failure->cause != SetupCause::NotOpened) {
        out(file + u":" + Number(failure->line) + u": error: " + CauseText(*failure, codePage));
    }

    if (!failure) {
        out(u"Result: Setup.exe opens its window with these texts");
        return kExitWindow;
    }
    // In the user's language as Setup.exe chooses it.
    const std::u16string_view shown = failure->failure->Text(place.japaneseUser);
    std::u16string flat;
    for (char16_t c : shown) {
        flat += c == u'\n' ? std::u16string_view(u" ") : std::u16string_view(&c, 1);
    }
    out(u"Result: Setup.exe shows the message \"" + flat + u"\" and ends without its window");
    return kExitError;
}

} // namespace setupcheck
