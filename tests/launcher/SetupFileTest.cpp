// Reading the setup description file while the main window is constructed: what the labels
// show, the one message (if any), whether the window closes as soon as it is shown, and that
// the file is closed exactly once, after the message has been dismissed.
#include "LauncherTestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace launcher_test {
namespace {

using platform::MB_ICONEXCLAMATION;

const Box kOpenFailed{u"Can not open the setup file ('Setup.ini' or '.setup_ini')", u"ERROR",
                      MB_ICONEXCLAMATION};
const Box kReadFailed{u"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u306E\u8AAD\u307F\u8FBC\u307F"
                      u"\u306B\u5931\u6557\u3057\u307E\u3057\u305F.",
                      u"\u30A8\u30E9\u30FC", MB_ICONEXCLAMATION};
const Box kOutOfMemory{u"failed to read a setup file\n(out of memory)", u"ERROR",
                       MB_ICONEXCLAMATION};
const Box kContentError{u"Error of setup file(.ini) contents", u"ERROR", MB_ICONEXCLAMATION};

constexpr char16_t kNoTitle[] = u"????????";
constexpr char16_t kNoType[] = u"????????";
constexpr char16_t kNoVersion[] = u"?.??.??";

struct File {
    std::u16string name{};
    std::string bytes{};
};

struct SetupFileCase {
    const char* name{};
    std::vector<File> files{};
    // Labels after construction.
    std::u16string title = kNoTitle;
    std::u16string type = kNoType;
    std::u16string version = kNoVersion;
    std::optional<Box> message{};
    bool closeOnShow = false;
    // The desktop beyond the files.
    platform::LCID locale = 1033;
    platform::UINT codePage = 1252;
    std::u16string directory = std::u16string(kPackage);
    std::function<void(SimDesktop&)> arrange{};
};

void PrintTo(const SetupFileCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Long(char c, std::size_t count) {
    return std::string(count, c);
}

// A literal with its zero bytes kept.
template <std::size_t N> std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

// "ドライバ　セットアップ" in Shift_JIS, with an ideographic space in the middle.
const std::string kShiftJisTitle =
    "\x83\x68\x83\x89\x83\x43\x83\x6F\x81\x40\x83\x5A\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76";

const SetupFileCase kCases[] = {
    {.name = "OrdinaryFileWithCarriageReturns",
     .files = {{u"Setup.ini", std::string(kGoodSetupIni)}},
     .title = u"Example Driver",
     .type = u"TYPE-3",
     .version = u"Ver.2.08.28"},
    {.name = "EmptyFile",
     .files = {{u"Setup.ini", ""}},
     .message = kReadFailed,
     .closeOnShow = true},
    {.name = "OnlyTheEndMarker", .files = {{u"Setup.ini", "$END\n"}}},
    {.name = "ValuesWithoutEndMarker",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n$DRV_TYPE=\"K\"\n$DRV_VERSION=\"1.0\"\n"}},
     .title = u"T",
     .type = u"K",
     .version = u"Ver.1.0",
     .message = kReadFailed,
     .closeOnShow = true},
    {.name = "EndMarkerWithoutLineFeed",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n$END"}},
     .title = u"T"},
    {.name = "MalformedLinesAfterEndAreNotRead",
     .files = {{u"Setup.ini", "$ENDING anything \"here\n$title\ngarbage;\n\x1A\x01"}}},
    {.name = "LowerCaseKeyword",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n$drv_type=\"K\"\n$END\n"}},
     .title = u"T",
     .message = kContentError,
     .closeOnShow = true},
    {.name = "BlanksAndTabsInsideKeyword",
     .files = {{u"Setup.ini", " $ TI\tTLE =\t\"a  b\tc\" trailing\n$E N D\n"}},
     .title = u"a  b\tc"},
    {.name = "ValueDirectlyAfterKeyword",
     .files = {{u"Setup.ini", "$DRV_TYPE\"K\"\n$TITLEXYZ:\"T\"\n$END\n"}},
     .title = u"T",
     .type = u"K"},
    {.name = "ShiftJisValueOnJapaneseSystem",
     .files = {{u"Setup.ini", "$TITLE=\"" + kShiftJisTitle + "\"\n$END\n"}},
     .title = u"\u30C9\u30E9\u30A4\u30D0\u3000\u30BB\u30C3\u30C8\u30A2\u30C3\u30D7",
     .locale = 1041,
     .codePage = 932},
    // The same bytes where the code page is Western: converted as that code page says.
    {.name = "ShiftJisValueOnWesternSystem",
     .files = {{u"Setup.ini", "$DRV_TYPE=\"\x83\x5E\x83\x43\x83\x76\"\n$END\n"}},
     .type = u"\u0192^\u0192C\u0192v"},
    {.name = "Utf8ByteOrderMark",
     .files = {{u"Setup.ini", "\xEF\xBB\xBF$TITLE=\"T\"\n$END\n"}},
     .title = u"T"},
    // A full-width space in Shift_JIS is 0x81 0x40: outside quotes the first byte is dropped,
    // the second is '@' and stays. Between the keyword and the quote it does no harm; before
    // the keyword, or alone on a line, it leaves a line that begins with no keyword.
    {.name = "FullWidthSpaceBetweenKeywordAndValue",
     .files = {{u"Setup.ini", "$TITLE\x81\x40=\x81\x40\"T\"\x81\x40\n$END\n"}},
     .title = u"T"},
    {.name = "FullWidthSpaceBeforeKeyword",
     .files = {{u"Setup.ini", "\x81\x40$TITLE=\"T\"\n$END\n"}},
     .message = kContentError,
     .closeOnShow = true},
    {.name = "FullWidthSpaceAloneOnLine",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n\x81\x40\n$END\n"}},
     .title = u"T",
     .message = kContentError,
     .closeOnShow = true},
    // UTF-16: the zero byte after the first character ends the piece, so the first line reads
    // as "$" alone. A piece that begins after a line feed begins with a zero byte and reads as
    // empty, so a file whose first line is a comment never reaches a keyword.
    {.name = "Utf16WithByteOrderMark",
     .files = {{u"Setup.ini",
                Bytes("\xFF\xFE$\0T\0I\0T\0L\0E\0=\0\"\0T\0\"\0\r\0\n\0$\0E\0N\0D\0\r\0\n\0")}},
     .message = kContentError,
     .closeOnShow = true},
    {.name = "Utf16BeginningWithComment",
     .files = {{u"Setup.ini", Bytes("\xFF\xFE;\0c\0\r\0\n\0$\0E\0N\0D\0\r\0\n\0")}},
     .message = kReadFailed,
     .closeOnShow = true},
    {.name = "SemicolonInsideValue",
     .files = {{u"Setup.ini", "$TITLE=\"a;b\"\n$END\n"}},
     .message = kContentError,
     .closeOnShow = true},
    {.name = "CommentAfterValue",
     .files = {{u"Setup.ini", "$TITLE=\"T\" ; the title\n; a comment line\n$END ; done\n"}},
     .title = u"T"},
    // 8 bytes of keyword, '=' and quote, 118 of value and the closing quote: 127 bytes, and
    // the line feed comes as a piece of its own.
    {.name = "ClosingQuoteAtByte127",
     .files = {{u"Setup.ini", "$TITLE=\"" + Long('x', 118) + "\"\n$END\n"}},
     .title = std::u16string(118, u'x')},
    {.name = "ClosingQuoteBeyondByte127",
     .files = {{u"Setup.ini", "$TITLE=\"" + Long('x', 119) + "\"\n$END\n"}},
     .message = kContentError,
     .closeOnShow = true},
    {.name = "CommentLongerThan127Bytes",
     .files = {{u"Setup.ini", ";" + Long('c', 130) + "\n$END\n"}},
     .message = kContentError,
     .closeOnShow = true},
    {.name = "LongCommentWhoseRestIsBlank",
     .files = {{u"Setup.ini", ";" + Long('c', 126) + Long(' ', 40) + "\n$END\n"}}},
    // One long line: only the piece's start is seen, and the end marker never is.
    {.name = "CarriageReturnsAsOnlyLineEnds",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\r$DRV_TYPE=\"K\"\r$END\r"}},
     .title = u"T",
     .message = kReadFailed,
     .closeOnShow = true},
    {.name = "CarriageReturnsDroppedInsideValues",
     .files = {{u"Setup.ini", "$TITLE=\"a\rb\"\r\r\n$END\n"}},
     .title = u"ab"},
    {.name = "CtrlZBeforeEndMarker",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n\x1A$END\n"}},
     .title = u"T",
     .message = kReadFailed,
     .closeOnShow = true},
    {.name = "ZeroByteEndsThePiece",
     .files = {{u"Setup.ini", Bytes("$TITLE=\"T\0\"\n$END\n")}},
     .message = kContentError,
     .closeOnShow = true},
    {.name = "BothFilesPresent",
     .files = {{u"Setup.ini", "$TITLE=\"first\"\n$END\n"},
               {u".setup_ini", "$TITLE=\"second\"\n$END\n"}},
     .title = u"first"},
    {.name = "OnlySecondName",
     .files = {{u".SETUP_INI", "$TITLE=\"second\"\n$END\n"}},
     .title = u"second"},
    {.name = "SetupIniLocked",
     .files = {{u"Setup.ini", "$TITLE=\"first\"\n$END\n"},
               {u".setup_ini", "$TITLE=\"second\"\n$END\n"}},
     .title = u"second",
     .arrange = [](SimDesktop& desktop) { desktop.LockPath(InPackage(u"Setup.ini")); }},
    {.name = "NeitherFile", .message = kOpenFailed, .closeOnShow = true},
    {.name = "BothLocked",
     .files = {{u"Setup.ini", "$END\n"}, {u".setup_ini", "$END\n"}},
     .message = kOpenFailed,
     .closeOnShow = true,
     .arrange =
         [](SimDesktop& desktop) {
             desktop.LockPath(InPackage(u"Setup.ini"));
             desktop.LockPath(InPackage(u".setup_ini"));
         }},
    // The code page cannot name the directory: the file is as good as missing.
    {.name = "DirectoryOutsideCodePage",
     .files = {{u"Setup.ini", "$END\n"}},
     .message = kOpenFailed,
     .closeOnShow = true,
     .directory = u"C:\\\u041F\u0430\u043A\u0435\u0442"},
    // Where the system's ANSI code page is UTF-8, every directory can be named.
    {.name = "DirectoryOnUtf8CodePage",
     .files = {{u"Setup.ini", "$TITLE=\"\xD0\x9F\xD0\xB0\xD0\xBA\xD0\xB5\xD1\x82\"\n$END\n"}},
     .title = u"\u041F\u0430\u043A\u0435\u0442",
     .codePage = 65001,
     .directory = u"C:\\\u041F\u0430\u043A\u0435\u0442"},
    {.name = "DirectoryInsideJapaneseCodePage",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n$END\n"}},
     .title = u"T",
     .locale = 1041,
     .codePage = 932,
     .directory = u"C:\\\u30C9\u30E9\u30A4\u30D0"},
    {.name = "DriveRoot",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n$END\n"}},
     .title = u"T",
     .directory = u"C:\\"},
    {.name = "RepeatedKeyword",
     .files = {{u"Setup.ini", "$TITLE=\"1\"\n$DRV_VERSION=\"1\"\n$TITLE=\"2\"\n$END\n"}},
     .title = u"2",
     .version = u"Ver.1"},
    {.name = "EmptyValues",
     .files = {{u"Setup.ini", "$TITLE=\"\"\n$DRV_TYPE=\"\"\n$DRV_VERSION=\"\"\n$END\n"}},
     .title = u"",
     .type = u"",
     .version = u"Ver."},
    {.name = "ValueLineWithOneQuote",
     .files = {{u"Setup.ini", "$DRV_VERSION=\"1.0\n$END\n"}},
     .message = kContentError,
     .closeOnShow = true},
    {.name = "ReadErrorBeforeEndMarker",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n$DRV_TYPE=\"K\"\n$END\n"}},
     .title = u"T",
     .message = kReadFailed,
     .closeOnShow = true,
     .arrange = [](SimDesktop& desktop) { desktop.FailReadAfter(InPackage(u"Setup.ini"), 14); }},
    // The first line is compacted, the second finds no scratch memory.
    {.name = "OutOfMemoryOnSecondLine",
     .files = {{u"Setup.ini", "$TITLE=\"T\"\n$DRV_TYPE=\"K\"\n$END\n"}},
     .title = u"T",
     .message = kOutOfMemory,
     .closeOnShow = true,
     .arrange =
         [](SimDesktop& desktop) {
             desktop.FailHeapAlloc(
                 [](const platform::sim::HeapAllocRequest& request) { return request.index >= 1; });
         }},
};

class SetupFileTest : public LauncherTest, public ::testing::WithParamInterface<SetupFileCase> {};

TEST_P(SetupFileTest, LabelsMessageAndCloseOnShow) {
    const SetupFileCase& c = GetParam();
    SimConfig config = Config(c.locale, c.codePage);
    config.currentDirectory = c.directory;
    Start(config);
    for (const File& file : c.files) {
        Desktop().CreateHostFile(
            c.directory + (c.directory.ends_with(u'\\') ? u"" : u"\\") + file.name, file.bytes);
    }
    if (c.arrange) {
        c.arrange(Desktop());
    }
    // The file must still be open while its message is up.
    std::vector<int> filesOpenAtBox;
    Desktop().OnMessageBox([&](const platform::sim::MessageBoxRecord&) {
        filesOpenAtBox.push_back(OutstandingFiles());
        return 0;
    });

    App().Initialize();
    App().SetMainFormOnTaskBar(true);
    App().CreateForm(MainForm);

    EXPECT_EQ(Shown(MainForm->LabelTitle), c.title);
    EXPECT_EQ(Shown(MainForm->LabelType), c.type);
    EXPECT_EQ(Shown(MainForm->LabelVersion), c.version);
    const std::vector<Box> boxes = BoxesOf(Desktop());
    if (c.message) {
        EXPECT_EQ(boxes, std::vector<Box>{*c.message});
    } else {
        EXPECT_EQ(boxes, std::vector<Box>{});
    }
    // The rest of construction happens whatever the file held.
    EXPECT_EQ(Desktop().TextOf(MainForm->Handle()), u"Setup (1.0.3)");

    const auto& ledger = Desktop().Ledger();
    const bool opened = ledger.AcquiredCount(HandleKind::File) > 0;
    EXPECT_EQ(ledger.AcquiredCount(HandleKind::File), opened ? 1 : 0);
    EXPECT_EQ(ledger.ReleasedCount(HandleKind::File), opened ? 1 : 0);
    EXPECT_EQ(OutstandingFiles(), 0);
    EXPECT_EQ(filesOpenAtBox, c.message ? std::vector<int>{opened ? 1 : 0} : std::vector<int>{});
    EXPECT_TRUE(ledger.Outstanding(HandleKind::HeapBlock).empty()) << ledger.Report();

    // A window marked to close does so when first shown, and the loop ends before the user
    // could act; otherwise it waits until no user action is left.
    App().Run();
    EXPECT_EQ(!Desktop().IdleExhausted(), c.closeOnShow);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupFileTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The reader on its own: values one at a time, and after a failure the same failure again with
// the file still open, until the reader goes.
using SetupFileReaderTest = LauncherTest;

TEST_F(SetupFileReaderTest, GivesValuesThenHoldsTheFailureWithTheFileOpen) {
    Start();
    WriteFile(u"Setup.ini", "$TITLE=\"T\"\n$DRV_TYPE=\"K\"\nnonsense\n$END\n");
    using Kind = launcher::SetupStep::Kind;
    {
        launcher::SetupFileReader reader;
        launcher::SetupStep step = reader.Next();
        EXPECT_EQ(step.kind, Kind::Value);
        EXPECT_EQ(step.label, launcher::SetupLineKind::Title);
        EXPECT_EQ(step.value, u"T");
        step = reader.Next();
        EXPECT_EQ(step.label, launcher::SetupLineKind::DriverType);
        EXPECT_EQ(step.value, u"K");
        for (int again = 0; again < 2; ++again) {
            step = reader.Next();
            EXPECT_EQ(step.kind, Kind::Failed);
            EXPECT_EQ(step.failure, &launcher::MsgSetupFileContentError);
            EXPECT_EQ(OutstandingFiles(), 1);
        }
    }
    EXPECT_EQ(OutstandingFiles(), 0);
}

TEST_F(SetupFileReaderTest, ClosesTheFileAtTheEndMarker) {
    Start();
    WriteFile(u"Setup.ini", "$END\n$TITLE=\"never read\"\n");
    launcher::SetupFileReader reader;
    EXPECT_EQ(reader.Next().kind, launcher::SetupStep::Kind::End);
    EXPECT_EQ(OutstandingFiles(), 0);
    EXPECT_EQ(reader.Next().kind, launcher::SetupStep::Kind::End);
}

} // namespace
} // namespace launcher_test
