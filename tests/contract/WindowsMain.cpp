// The contract suite on Windows (under Wine in the end-to-end stage), through the real
// implementation of the seam. "--exit N" makes this program the process that ends with N; a copy
// of it under another name ends at once with kPlacedExitCode.
#include "Contract.h"
#include "platform/win32/Win32Api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

// After the seam's headers, whose constants its macros would rename.
#include <windows.h>

namespace {

class WindowsEnvironment final : public contract::Environment {
public:
    bool Simulated() const override { return false; }
    void Fresh() override {}

    std::string MakeFile(const std::string& name, const std::string& bytes) override {
        const std::string path = Folder() + "\\" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::u16string ExitingProgram(platform::DWORD exitCode) override {
        char16_t self[MAX_PATH] = {};
        platform::Os().GetModuleFileNameW(nullptr, self, MAX_PATH);
        const std::string code = std::to_string(exitCode);
        std::u16string line;
        line.reserve(MAX_PATH + 16);
        line.append(u"\"").append(self).append(u"\" --exit ");
        line.append(code.begin(), code.end());
        return line;
    }

    std::string MissingFile() override { return Folder() + "\\no-such-file"; }

    std::u16string PlaceProgram(const std::u16string& relative) override {
        const std::u16string path = CurrentFolder() + u"\\" + relative;
        MakeFolders(path.substr(0, path.find_last_of(u'\\')));
        if (!CopyFileW(Wide(Self()), Wide(path), FALSE)) {
            std::printf("    cannot copy the program to %s\n", contract::Show(path).c_str());
        }
        return path;
    }

    std::u16string MakeFolder(const std::u16string& relative) override {
        const std::u16string path = CurrentFolder() + u"\\" + relative;
        MakeFolders(path);
        return path;
    }

    void AddToPath(const std::u16string& folder) override {
        wchar_t old[32768] = {};
        const DWORD length = GetEnvironmentVariableW(L"PATH", old, 32768);
        std::wstring path(old, length < 32768 ? length : 0);
        path.append(L";").append(Wide(folder));
        SetEnvironmentVariableW(L"PATH", path.c_str());
    }

    std::u16string OwnProgramByName(platform::DWORD exitCode) override {
        const std::u16string self = Self();
        const std::string code = std::to_string(exitCode);
        return self.substr(self.find_last_of(u'\\') + 1) + u" --exit " +
               std::u16string(code.begin(), code.end());
    }

    // The share the harness made (run-program.sh --share), named by E2E_SHARE.
    std::optional<std::u16string> ShareFolder() override {
        wchar_t share[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableW(L"E2E_SHARE", share, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            return std::nullopt;
        }
        const std::u16string folder =
            reinterpret_cast<const char16_t*>(share) + std::u16string(u"\\Package");
        CreateDirectoryW(Wide(folder), nullptr);
        return folder;
    }

    bool EnterFolder(const std::u16string& folder) override {
        return SetCurrentDirectoryW(Wide(folder)) != FALSE;
    }

    // Read directly: main asks before the seam is in place.
    static std::u16string Self() {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        return reinterpret_cast<const char16_t*>(self);
    }

private:
    static const wchar_t* Wide(const std::u16string& text) {
        return reinterpret_cast<const wchar_t*>(text.c_str());
    }

    static std::u16string CurrentFolder() {
        char16_t wide[MAX_PATH] = {};
        const platform::DWORD n = platform::Os().GetCurrentDirectoryW(MAX_PATH, wide);
        std::u16string folder(wide, n);
        if (!folder.empty() && folder.back() == u'\\') {
            folder.pop_back();
        }
        return folder;
    }

    // Every missing folder of the path, outermost first.
    static void MakeFolders(const std::u16string& path) {
        for (std::size_t at = path.find(u'\\', 3);; at = path.find(u'\\', at + 1)) {
            CreateDirectoryW(Wide(path.substr(0, at)), nullptr);
            if (at == std::u16string::npos) {
                break;
            }
        }
    }

    // The current folder in the ANSI code page (the harness runs this in an ASCII-named one).
    static std::string Folder() {
        char16_t wide[MAX_PATH] = {};
        const platform::DWORD n = platform::Os().GetCurrentDirectoryW(MAX_PATH, wide);
        char ansi[MAX_PATH * 2] = {};
        platform::Os().WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(n), ansi,
                                           sizeof ansi - 1, nullptr, nullptr);
        std::string folder(ansi);
        if (!folder.empty() && folder.back() == '\\') {
            folder.pop_back();
        }
        return folder;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--exit") == 0) {
        return std::atoi(argv[2]);
    }
    const std::u16string self = WindowsEnvironment::Self();
    if (self.substr(self.find_last_of(u'\\') + 1) != u"contract.exe") {
        return static_cast<int>(contract::kPlacedExitCode);
    }
    platform::win32::Win32Api os;
    platform::ScopedApi api(os);
    WindowsEnvironment environment;
    return contract::RunAll(environment, argc, argv);
}
