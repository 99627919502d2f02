// Device contexts, fonts, brushes and icons: accounted, checked, and what painting reaches.
#include "SimFixture.h"

#include <cstring>

namespace simtest {
namespace {

using GdiTest = SimTest;

LOGFONTW Font(LONG height, const char16_t* face = u"Tahoma") {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    std::memcpy(font.lfFaceName, face,
                (std::char_traits<char16_t>::length(face) + 1) * sizeof(char16_t));
    return font;
}

TEST_F(GdiTest, AnObjectSelectedIntoADcCannotBeDeleted) {
    HWND top = CreateTopLevel();
    HDC dc = Desk().GetDC(top);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(Desk().GetDeviceCaps(dc, LOGPIXELSY), 96);
    LOGFONTW lf = Font(-11);
    HFONT font = Desk().CreateFontIndirectW(&lf);
    HGDIOBJ stock = Desk().SelectObject(dc, font);
    ASSERT_NE(stock, nullptr);
    EXPECT_FALSE(Desk().DeleteObject(font));
    EXPECT_EQ(Desk().Ledger().Faults().at(0).kind, sim::FaultKind::DeleteWhileSelected);
    EXPECT_EQ(Desk().SelectObject(dc, stock), font);
    EXPECT_TRUE(Desk().DeleteObject(font));
    EXPECT_EQ(Desk().ReleaseDC(top, dc), 1);

    EXPECT_EQ(Desk().ReleaseDC(top, dc), 0);
    EXPECT_FALSE(Desk().DeleteObject(font));
    ASSERT_EQ(Desk().Ledger().Faults().size(), 3u);
    EXPECT_EQ(Desk().Ledger().Faults()[1].kind, sim::FaultKind::DoubleRelease);
    EXPECT_EQ(Desk().Ledger().Faults()[2].kind, sim::FaultKind::DoubleRelease);
    EXPECT_EQ(Desk().Ledger().Outstanding().size(), 1u); // the window
}

TEST_F(GdiTest, TheFontAWindowWasGivenCanBeRead) {
    sim::SimConfig config;
    config.dpiX = config.dpiY = 144;
    Start(config);
    HWND top = CreateTopLevel();
    HWND label = CreateChild(top, u"STATIC", 1);
    HWND plain = CreateChild(top, u"SimTest", 2);
    LOGFONTW lf = Font(-24, u"MS Gothic");
    lf.lfCharSet = SHIFTJIS_CHARSET;
    HFONT font = Desk().CreateFontIndirectW(&lf);
    Desk().SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    Desk().SendMessageW(plain, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    for (HWND h : {label, plain}) {
        auto seen = Desk().FontOf(h);
        ASSERT_TRUE(seen.has_value());
        EXPECT_EQ(seen->lfHeight, -24);
        EXPECT_EQ(seen->lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_EQ(std::u16string(seen->lfFaceName), u"MS Gothic");
    }
    // Only the built-in class keeps it.
    EXPECT_EQ(Desk().SendMessageW(label, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    EXPECT_EQ(Desk().SendMessageW(plain, WM_GETFONT, 0, 0), 0);
    HDC screen = Desk().GetDC(nullptr);
    EXPECT_EQ(Desk().GetDeviceCaps(screen, LOGPIXELSX), 144);
    Desk().ReleaseDC(nullptr, screen);
    Desk().DestroyWindow(top);
    Desk().DeleteObject(font);
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
}

TEST_F(GdiTest, DrawTextMeasuresHalfTheFontHeightPerCharacter) {
    struct Case {
        const char16_t* text;
        LONG height; // 0: the stock font
        UINT format;
        RECT expected;
    };
    const Case cases[] = {
        {u"Hello", -16, DT_SINGLELINE, Rect(0, 0, 40, 16)},
        {u"&Install", -16, DT_SINGLELINE, Rect(0, 0, 56, 16)},
        {u"&Install", -16, DT_SINGLELINE | DT_NOPREFIX, Rect(0, 0, 64, 16)},
        {u"ab\ncdef", 20, DT_LEFT, Rect(0, 0, 40, 40)},
        {u"abcd", 0, DT_LEFT, Rect(0, 0, 32, 16)},
    };
    HDC dc = Desk().GetDC(nullptr);
    for (const Case& c : cases) {
        HFONT font = nullptr;
        if (c.height != 0) {
            LOGFONTW lf = Font(c.height);
            font = Desk().CreateFontIndirectW(&lf);
            Desk().SelectObject(dc, font);
        }
        RECT r = Rect(0, 0, 0, 0);
        int height = Desk().DrawTextW(dc, c.text, -1, &r, c.format | DT_CALCRECT);
        EXPECT_EQ(Edges(r), Edges(c.expected)) << std::string(c.text, c.text + 4);
        EXPECT_EQ(height, c.expected.bottom);
        if (font != nullptr) {
            Desk().ReleaseDC(nullptr, dc);
            Desk().DeleteObject(font);
            dc = Desk().GetDC(nullptr);
        }
    }
    Desk().ReleaseDC(nullptr, dc);
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
    EXPECT_TRUE(Desk().Ledger().Faults().empty());
}

TEST_F(GdiTest, ControlsPaintThroughTheirParentWhenTheLoopRuns) {
    LOGFONTW lf = Font(-13);
    HFONT font = Desk().CreateFontIndirectW(&lf);
    HBRUSH background = Desk().CreateSolidBrush(RGB(1, 2, 3));
    std::vector<DRAWITEMSTRUCT> drawn;
    CurrentBehaviour() = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_CTLCOLORSTATIC) {
            return reinterpret_cast<LRESULT>(background);
        }
        if (m == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
            return TRUE;
        }
        return std::nullopt;
    };
    HWND top = CreateTopLevel(kOverlappedWindow | WS_VISIBLE);
    HWND label = CreateChild(top, u"STATIC", 1, WS_VISIBLE);
    Desk().SetWindowTextW(label, u"Label");
    Desk().SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HWND button = CreateChild(top, u"BUTTON", 2, WS_VISIBLE | BS_OWNERDRAW);
    Desk().SetFocus(button);
    RunLoop();

    bool filled = false;
    bool texted = false;
    for (const auto& op : Desk().PaintOps()) {
        if (op.window == label && op.kind == sim::PaintOp::Kind::FillRect) {
            filled = op.brushColor == RGB(1, 2, 3);
        }
        if (op.window == label && op.kind == sim::PaintOp::Kind::DrawText) {
            texted = op.text == u"Label" && op.font.has_value() && op.font->lfHeight == -13;
        }
    }
    EXPECT_TRUE(filled);
    EXPECT_TRUE(texted);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().CtlType, ODT_BUTTON);
    EXPECT_EQ(drawn.back().CtlID, 2u);
    EXPECT_EQ(drawn.back().hwndItem, button);
    EXPECT_NE(drawn.back().itemState & ODS_FOCUS, 0u);
    EXPECT_FALSE(Desk().NeedsPaint(label));
    EXPECT_TRUE(Desk().Ledger().Outstanding(sim::HandleKind::PaintDC).empty());
    Desk().DestroyWindow(top);
    Desk().DeleteObject(font);
    Desk().DeleteObject(background);
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
    EXPECT_TRUE(Desk().Ledger().Faults().empty());
}

TEST_F(GdiTest, IconsAreValidatedAndAccounted) {
    std::vector<BYTE> ico = MakeIconFile(16);
    Desk().AddIconGroup(1, ico);
    HINSTANCE module = Desk().GetModuleHandleW(nullptr);
    HANDLE loaded =
        Desk().LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Desk().Ledger().Outstanding(sim::HandleKind::Icon).size(), 1u);
    EXPECT_TRUE(Desk().DestroyIcon(static_cast<HICON>(loaded)));
    EXPECT_FALSE(Desk().DestroyIcon(static_cast<HICON>(loaded)));

    // Shared icons are the system's: the same handle each time, nothing to release.
    HANDLE shared = Desk().LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_SHARED);
    EXPECT_EQ(Desk().LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_SHARED), shared);
    EXPECT_TRUE(Desk().Ledger().Outstanding(sim::HandleKind::Icon).empty());
    EXPECT_EQ(Desk().LoadImageW(module, MAKEINTRESOURCEW(2), IMAGE_ICON, 0, 0, 0), nullptr);

    const BYTE* image = ico.data() + 22;
    const DWORD size = static_cast<DWORD>(ico.size() - 22);
    HICON made =
        Desk().CreateIconFromResourceEx(image, size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(Desk().CreateIconFromResourceEx(image, size - 10, TRUE, 0x00030000, 0, 0, 0),
              nullptr);
    std::vector<BYTE> broken(image, image + size);
    broken[12] = 2; // two planes
    EXPECT_EQ(Desk().CreateIconFromResourceEx(broken.data(), size, TRUE, 0x00030000, 0, 0, 0),
              nullptr);
    HDC dc = Desk().GetDC(nullptr);
    EXPECT_TRUE(Desk().DrawIconEx(dc, 0, 0, made, 0, 0, 0, nullptr, DI_NORMAL));
    Desk().ReleaseDC(nullptr, dc);
    EXPECT_TRUE(Desk().DestroyIcon(made));

    const auto& faults = Desk().Ledger().Faults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].kind, sim::FaultKind::DoubleRelease);
    EXPECT_TRUE(Desk().Ledger().Outstanding().empty());
}

} // namespace
} // namespace simtest
