// The contract suite on Windows (under Wine in the end-to-end stage), through the real
// implementation of the seam. "--exit N" makes this program the process that ends with N.
#include "Contract.h"
#include "platform/win32/Win32Api.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

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
        char16_t self[platform::MAX_PATH] = {};
        platform::Os().GetModuleFileNameW(nullptr, self, platform::MAX_PATH);
        const std::string code = std::to_string(exitCode);
        std::u16string line;
        line.reserve(platform::MAX_PATH + 16);
        line.append(u"\"").append(self).append(u"\" --exit ");
        line.append(code.begin(), code.end());
        return line;
    }

    std::string MissingFile() override { return Folder() + "\\no-such-file"; }

private:
    // The current folder in the ANSI code page (the harness runs this in an ASCII-named one).
    static std::string Folder() {
        char16_t wide[platform::MAX_PATH] = {};
        const platform::DWORD n = platform::Os().GetCurrentDirectoryW(platform::MAX_PATH, wide);
        char ansi[platform::MAX_PATH * 2] = {};
        platform::Os().WideCharToMultiByte(platform::CP_ACP, 0, wide, static_cast<int>(n), ansi,
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
    platform::win32::Win32Api os;
    platform::ScopedApi api(os);
    WindowsEnvironment environment;
    return contract::RunAll(environment, argc, argv);
}
