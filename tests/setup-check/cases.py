# setup-check's table of causes: the bytes of a package's files, the arguments, and the exit
# status and output lines expected of them, written out in full. run-cases.py runs it against
# one build of setup-check (the host's, or a Windows one under Wine).
#
# Every case checks the folder "pkg"; paths in the expected lines use "/" (the Windows build's
# "\" is turned into "/" before comparing). "--code-page 1252" is given unless a case says
# otherwise, so that both builds decode alike.

F = "pkg/Setup.ini"
READ_FAILED = ("Result: Setup.exe shows the message "
               "\"\u8a2d\u5b9a\u30d5\u30a1\u30a4\u30eb\u306e\u8aad\u307f\u8fbc\u307f\u306b"
               "\u5931\u6557\u3057\u307e\u3057\u305f.\" and ends without its window")
CONTENT_ERROR = ("Result: Setup.exe shows the message \"Error of setup file(.ini) contents\" "
                 "and ends without its window")
OPEN_FAILED = ("Result: Setup.exe shows the message \"Can not open the setup file "
               "('Setup.ini' or '.setup_ini')\" and ends without its window")
WINDOW = "Result: Setup.exe opens its window with these texts"
HEAD = ["File: " + F, "Code page: 1252"]


def texts(title, kind, version):
    return ["Title: " + title, "Type: " + kind, "Version: " + version]


CASES = [
    # ---- The window opens -------------------------------------------------------------------
    dict(name="ordinary file with CR LF and a comment",
         files={"Setup.ini": b'; Example\r\n$TITLE = "Example Driver"\r\n$DRV_TYPE="TYPE-3"\r\n'
                             b'$DRV_VERSION="2.08.28"\r\n$END\r\n'},
         status=0,
         out=HEAD + texts("Example Driver", "TYPE-3", "Ver.2.08.28") + [WINDOW]),
    dict(name="UTF-8 byte order mark is dropped",
         files={"Setup.ini": b'\xef\xbb\xbf$TITLE="T"\n$DRV_TYPE="K"\n$DRV_VERSION=""\n$END'},
         status=0,
         out=HEAD + texts("T", "K", "Ver.") + [WINDOW]),
    dict(name="Shift_JIS title decoded with code page 932",
         args=["--code-page", "932"],
         files={"Setup.ini": b'$TITLE="\x83h\x83\x89\x83C\x83o"\n$DRV_TYPE="K"\n'
                             b'$DRV_VERSION="1"\n$END\n'},
         status=0,
         out=["File: " + F, "Code page: 932"]
         + texts("\u30c9\u30e9\u30a4\u30d0", "K", "Ver.1") + [WINDOW]),
    dict(name="only .setup_ini",
         files={".setup_ini": b'$TITLE="second"\n$DRV_TYPE="K"\n$DRV_VERSION="1"\n$END\n'},
         status=0,
         out=["File: pkg/.setup_ini", "Code page: 1252"] + texts("second", "K", "Ver.1")
         + [WINDOW]),
    dict(name="Setup.ini wins over .setup_ini",
         files={"Setup.ini": b'$TITLE="first"\n$DRV_TYPE="K"\n$DRV_VERSION="1"\n$END\n',
                ".setup_ini": b'$TITLE="second"\n$END\n'},
         status=0,
         out=HEAD + texts("first", "K", "Ver.1") + [WINDOW]),
    # 8 bytes before the value, 118 of it and the closing quote: 127 bytes in one piece.
    dict(name="closing quote at byte 127",
         files={"Setup.ini": b'$TITLE="' + b"x" * 118 + b'"\n$DRV_TYPE="K"\n$DRV_VERSION="1"\n'
                             b'$END\n'},
         status=0,
         out=HEAD + texts("x" * 118, "K", "Ver.1") + [WINDOW],
         out_windows=HEAD + texts("x" * 118, "K", "Ver.1") + [
             F + ":1: warning: the title is wider than its label in Setup.exe's window (1652 of"
                 " 265 pixels here), so the window cuts it off at the right; shorten it",
             WINDOW]),

    # ---- Warnings: the window opens, maybe not as meant -----------------------------------
    dict(name="repeated keyword, keyword by its beginning, text after value, after $END, missing",
         files={"Setup.ini": b'$TITLE="One"\n$TITLEX="Two"\n$DRV_VERSION="1.0" beta\n$END\n'
                             b'\n; a comment\n$DRV_TYPE="late"\n'},
         status=0,
         out=HEAD + texts("Two", "????????", "Ver.1.0") + [
             F + ':2: warning: "$TITLEX" is read as $TITLE: a keyword matches by its beginning;'
                 ' write "$TITLE"',
             F + ":2: warning: $TITLE is given again (first on line 1); the last one wins, so the"
                 " window shows this value; remove the line you do not mean",
             F + ":3: warning: the text after the closing quote (beta) is ignored; a value"
                 " cannot hold a double quote",
             F + ':4: warning: there is no $DRV_TYPE line, so the window shows the placeholder'
                 ' "????????"; add $DRV_TYPE = "..." before $END',
             F + ":7: warning: this line comes after $END and is never read; move it above the"
                 " $END line",
             WINDOW]),
    # "&&" shows one "&"; a lone one, also the last character, is a shortcut mark.
    dict(name="a lone ampersand in a value",
         files={"Setup.ini": b'$TITLE="R&D Tools"\n$DRV_TYPE="A&&B"\n$DRV_VERSION="1&"\n$END\n'},
         status=0,
         out=HEAD + texts("R&D Tools", "A&&B", "Ver.1&") + [
             F + ':1: warning: the window does not show the "&" in "R&D Tools" but underlines the'
                 ' character after it; write "&&" for one "&"',
             F + ':3: warning: the window does not show the "&" in "1&" but underlines the'
                 ' character after it; write "&&" for one "&"',
             WINDOW]),
    # 576 pixels in the title's font (Times New Roman, bold italic, 27 pixels; Liberation Serif,
    # its metric twin, under Wine) at 96 dpi; the label is 265 wide. Judged on Windows only.
    dict(name="title wider than its label",
         files={"Setup.ini": b'$TITLE="WWWWWWWWWWWWWWWWWWWWWWWW"\r\n$DRV_TYPE="K"\r\n'
                             b'$DRV_VERSION="1.0"\r\n$END\r\n'},
         status=0,
         out=HEAD + texts("W" * 24, "K", "Ver.1.0") + [WINDOW],
         out_windows=HEAD + texts("W" * 24, "K", "Ver.1.0") + [
             F + ":1: warning: the title is wider than its label in Setup.exe's window (576 of"
                 " 265 pixels here), so the window cuts it off at the right; shorten it",
             WINDOW]),
    dict(name="$END by its beginning, and no values at all",
         files={"Setup.ini": b'$ENDE\n'},
         status=0,
         out=HEAD + texts("????????", "????????", "?.??.??") + [
             F + ':1: warning: "$ENDE" is read as $END: a keyword matches by its beginning;'
                 ' write "$END"',
             F + ':1: warning: there is no $TITLE line, so the window shows the placeholder'
                 ' "????????"; add $TITLE = "..." before $END',
             F + ':1: warning: there is no $DRV_TYPE line, so the window shows the placeholder'
                 ' "????????"; add $DRV_TYPE = "..." before $END',
             F + ':1: warning: there is no $DRV_VERSION line, so the window shows the'
                 ' placeholder "?.??.??"; add $DRV_VERSION = "..." before $END',
             WINDOW]),
    dict(name="text after $END on its line",
         files={"Setup.ini": b'$TITLE="T"\n$DRV_TYPE="K"\n$DRV_VERSION="1"\n$END.\n'},
         status=0,
         out=HEAD + texts("T", "K", "Ver.1") + [
             F + ":4: warning: the text after $END on its line (.) is ignored", WINDOW]),

    # ---- Errors: Setup.exe shows a message instead of its window --------------------------
    dict(name="neither file",
         files={},
         status=1,
         out=["File: none", "Code page: 1252",
              F + ": error: neither Setup.ini (not found) nor .setup_ini (not found) can be"
                  " opened; put the setup file, named Setup.ini, in the package folder",
              OPEN_FAILED]),
    dict(name="empty file",
         files={"Setup.ini": b""},
         status=1,
         out=HEAD + [F + ':1: error: the file is empty; write the keyword lines and end them'
                         ' with a line "$END"', READ_FAILED]),
    dict(name="no $END",
         files={"Setup.ini": b'$TITLE="T"\n$DRV_TYPE="K"\n$DRV_VERSION="1"\n'},
         status=1,
         out=HEAD + [F + ':3: error: the file ends without a line "$END"; add "$END" as its'
                         ' last line', READ_FAILED]),
    dict(name="keyword in lower case",
         files={"Setup.ini": b'$TITLE="T"\n$drv_type="K"\n$END\n'},
         status=1,
         out=HEAD + [F + ':2: error: "$drv_type" is not a keyword: keywords are'
                         ' case-sensitive; write "$DRV_TYPE"', CONTENT_ERROR]),
    dict(name="unknown keyword after a blank line",
         files={"Setup.ini": b'$TITLE="T"\n\n$VERSION="1.0"\n$END\n'},
         status=1,
         out=HEAD + [F + ':3: error: "$VERSION" is not a keyword; a line begins with $TITLE,'
                         ' $DRV_TYPE, $DRV_VERSION or $END, or with ";" for a comment',
                     CONTENT_ERROR]),
    dict(name="value without quotes",
         files={"Setup.ini": b'$DRV_VERSION=1.0\n$END\n'},
         status=1,
         out=HEAD + [F + ':1: error: the value of $DRV_VERSION is not in double quotes; write'
                         ' $DRV_VERSION = "..."', CONTENT_ERROR]),
    dict(name="value in typographic quotes",
         files={"Setup.ini": b'$TITLE=\x93Driver\x94\n$END\n'},
         status=1,
         out=HEAD + [F + ':1: error: the value of $TITLE is in typographic quotes (\u201c),'
                         ' which Setup.exe does not take for quotes; write plain double quotes:'
                         ' $TITLE = "..."', CONTENT_ERROR]),
    dict(name="closing quote missing",
         files={"Setup.ini": b'$TITLE="T"\n$DRV_VERSION="1.0\n$END\n'},
         status=1,
         out=HEAD + [F + ':2: error: the value of $DRV_VERSION has no closing double quote;'
                         ' end the value with "', CONTENT_ERROR]),
    dict(name="semicolon inside quotes",
         files={"Setup.ini": b'$TITLE="a;b"\n$END\n'},
         status=1,
         out=HEAD + [F + ':1: error: a ";" inside the quotes starts a comment and cuts the'
                         ' value of $TITLE off, closing quote and all; a value cannot hold ";",'
                         ' write another character (such as ",") instead', CONTENT_ERROR]),
    # A full-width space in Shift_JIS is 0x81 0x40: outside quotes its first byte is dropped
    # and its second stays as "@".
    dict(name="double-byte character before the keyword, code page 932",
         args=["--code-page", "932"],
         files={"Setup.ini": b'$TITLE="T"\n\x81\x40$DRV_TYPE="K"\n$END\n'},
         status=1,
         out=["File: " + F, "Code page: 932",
              F + ':2: error: the double-byte character "\u3000" stands outside the quotes:'
                  ' Setup.exe drops its first byte and keeps its second as "@", so the line'
                  ' does not begin with a keyword; outside the quotes write ASCII only',
              CONTENT_ERROR]),
    # The same bytes where the code page has no double-byte characters.
    dict(name="the same bytes, code page 1252",
         files={"Setup.ini": b'$TITLE="T"\n\x81\x40$DRV_TYPE="K"\n$END\n'},
         status=1,
         out=HEAD + [F + ':2: error: "@" is not a keyword; a line begins with $TITLE,'
                         ' $DRV_TYPE, $DRV_VERSION or $END, or with ";" for a comment',
                     CONTENT_ERROR]),
    dict(name="UTF-16 with byte order mark",
         files={"Setup.ini": '$TITLE="T"\r\n$END\r\n'.encode("utf-16")},
         status=1,
         out=HEAD + [F + ":1: error: the file is UTF-16 text, which Setup.exe cannot read;"
                         " save it in the system's ANSI code page (Shift_JIS for a Japanese"
                         " package)", CONTENT_ERROR]),
    # Its pieces after the first begin with a zero byte and read as empty: the data ends.
    dict(name="UTF-16 beginning with a comment",
         files={"Setup.ini": '; c\r\n$END\r\n'.encode("utf-16-le")},
         status=1,
         out=HEAD + [F + ":1: error: the file is UTF-16 text, which Setup.exe cannot read;"
                         " save it in the system's ANSI code page (Shift_JIS for a Japanese"
                         " package)", READ_FAILED]),
    dict(name="closing quote beyond byte 127",
         files={"Setup.ini": b'$TITLE="' + b"x" * 119 + b'"\n$END\n'},
         status=1,
         out=HEAD + [F + ":1: error: the line is longer than 127 bytes, and Setup.exe reads 127"
                         " bytes at a time, so the value of $TITLE loses its closing quote;"
                         " shorten the line to at most 127 bytes, blanks included",
                     CONTENT_ERROR]),
    dict(name="comment longer than 127 bytes",
         files={"Setup.ini": b'$TITLE="T"\n;' + b"c" * 130 + b'\n$END\n'},
         status=1,
         out=HEAD + [F + ":2: error: the line is longer than 127 bytes: Setup.exe reads its"
                         " bytes after the 127th as a line of their own, which begins with no"
                         " keyword; shorten the line to at most 127 bytes, blanks included",
                     CONTENT_ERROR]),
    # The first piece is a title line with the rest of the file after its closing quote.
    dict(name="carriage returns as the only line ends",
         files={"Setup.ini": b'$TITLE="T"\r$DRV_TYPE="K"\r$END\r'},
         status=1,
         out=HEAD + [F + ':1: warning: the text after the closing quote ($DRV_TYPE="K"$END) is'
                         ' ignored; a value cannot hold a double quote',
                     F + ":1: error: the lines end with carriage returns only, so Setup.exe"
                         " reads the file as one long line cut every 127 bytes; save the file"
                         " with CR LF (Windows) or LF line ends", READ_FAILED]),
    dict(name="Ctrl-Z before $END",
         files={"Setup.ini": b'$TITLE="T"\n$DRV_TYPE="K"\n\x1a$END\n'},
         status=1,
         out=HEAD + [F + ':3: error: a Ctrl-Z byte (0x1A) ends the file here for Setup.exe,'
                         ' before "$END"; remove it', READ_FAILED]),
    dict(name="zero byte inside a value",
         files={"Setup.ini": b'$TITLE="T\x00"\n$END\n'},
         status=1,
         out=HEAD + [F + ":1: error: a zero byte (0x00) ends this line for Setup.exe; remove"
                         " it", CONTENT_ERROR]),

    # ---- Usage --------------------------------------------------------------------------------
    dict(name="help", args=["--help"], files={}, status=0,
         out_head=["Usage: setup-check [--code-page N] [PACKAGE_FOLDER]",
                   "       setup-check --help"]),
    dict(name="code page not a number",
         args=["--code-page", "sjis"], files={}, status=2,
         err=['setup-check: --code-page needs a code page number, not "sjis" (see setup-check'
              ' --help)']),
    dict(name="code page unknown", args=["--code-page", "7"], files={}, status=2,
         err=["setup-check: code page 7 is not known here"]),
    dict(name="unknown option", args=["--verbose"], files={}, status=2,
         err=['setup-check: unknown option "--verbose" (see setup-check --help)']),
    dict(name="no such folder", folder="missing", files={}, status=2,
         err=['setup-check: no folder "missing"']),
]
