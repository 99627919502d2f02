#include "WinUtil.h"

#include "Output.h"

namespace e2e {

std::wstring FullPath(const std::wstring& path) {
    wchar_t buf[4096];
    DWORD n = GetFullPathNameW(path.c_str(), 4096, buf, nullptr);
    if (n == 0 || n >= 4096)
        Fail(L"cannot resolve the path " + Quote(path));
    std::wstring out(buf, n);
    while (out.size() > 3 && (out.back() == L'\\' || out.back() == L'/'))
        out.pop_back();
    return out;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    Handle owner(file);
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(file, buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    return out;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Fail(L"cannot write " + Quote(path));
    Handle owner(file);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        Fail(L"cannot write " + Quote(path));
}

void RemoveIfThere(const std::wstring& path) {
    if (FileExists(path) && !DeleteFileW(path.c_str()))
        Fail(L"cannot delete " + Quote(path));
}

std::optional<std::wstring> TryText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return std::nullopt;
    text.resize(copied < text.size() ? copied : 0);
    return text;
}

std::wstring Text(HWND window) {
    std::optional<std::wstring> text = TryText(window);
    if (!text)
        Fail(IsWindow(window) ? L"a window does not answer WM_GETTEXT" : L"a window vanished");
    return *text;
}

std::wstring ClassOf(HWND window) {
    wchar_t cls[256] = L"";
    GetClassNameW(window, cls, 256);
    return cls;
}

Rect RectIn(HWND window, HWND reference) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::wstring Show(const Rect& r) {
    return L"(" + Num(r.left) + L"," + Num(r.top) + L"," + Num(r.width) + L"x" + Num(r.height) +
           L")";
}

namespace {

struct ChildSearch {
    HWND parent;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetParent(window) == search->parent)
        search->found->push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    ChildSearch search{parent, &found};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    return found;
}

} // namespace e2e
