// The contract suite on the simulated desktop: a fresh desktop for every case.
#include "Contract.h"
#include "platform/sim/SimDesktop.h"

#include <optional>
#include <string>

namespace {

using platform::sim::SimDesktop;

class SimEnvironment final : public contract::Environment {
public:
    bool Simulated() const override { return true; }

    void Fresh() override {
        api_.reset();
        platform::sim::SimConfig config;
        config.currentDirectory = kFolder;
        config.moduleFileName = kOwnProgram;
        config.networkShares = {kShare};
        desktop_.emplace(config);
        desktop_->CreateHostDirectory(kFolder);
        api_.emplace(*desktop_);
    }

    std::string MakeFile(const std::string& name, const std::string& bytes) override {
        desktop_->CreateHostFile(Current() + u"\\" + Widen(name), bytes);
        const std::u16string folder = Current();
        return std::string(folder.begin(), folder.end()) + "\\" + name; // ASCII folders only
    }

    std::u16string ExitingProgram(platform::DWORD exitCode) override {
        const std::u16string line = std::u16string(kFolder) + u"\\exits.exe";
        platform::sim::ProcessScript script;
        script.exitCode = exitCode;
        desktop_->ScriptProcess(line, script);
        return line;
    }

    std::string MissingFile() override {
        const std::u16string folder = Current();
        return std::string(folder.begin(), folder.end()) + "\\no-such-file";
    }

    std::u16string PlaceProgram(const std::u16string& relative) override {
        const std::u16string path = Current() + u"\\" + relative;
        desktop_->ScriptProcess(path,
                                platform::sim::ProcessScript::Exits(contract::kPlacedExitCode));
        return path;
    }

    std::u16string MakeFolder(const std::u16string& relative) override {
        const std::u16string path = Current() + u"\\" + relative;
        desktop_->CreateHostDirectory(path);
        return path;
    }

    void AddToPath(const std::u16string& folder) override { desktop_->AddPathFolder(folder); }

    std::u16string OwnProgramByName(platform::DWORD exitCode) override {
        desktop_->ScriptProcess(kOwnProgram, platform::sim::ProcessScript::Exits(exitCode));
        const std::string code = std::to_string(exitCode);
        return u"contract.exe --exit " + std::u16string(code.begin(), code.end());
    }

    std::optional<std::u16string> ShareFolder() override {
        const std::u16string folder = std::u16string(kShare) + u"\\Package";
        desktop_->CreateHostDirectory(folder);
        return folder;
    }

    bool EnterFolder(const std::u16string& folder) override {
        desktop_->SetCurrentDirectory(folder);
        return true;
    }

private:
    static constexpr const char16_t* kFolder = u"C:\\Contract";
    static constexpr const char16_t* kShare = u"\\\\localhost\\contract";

    // The current folder as GetCurrentDirectoryW reports it.
    static std::u16string Current() {
        char16_t folder[platform::MAX_PATH] = {};
        const platform::DWORD n = platform::Os().GetCurrentDirectoryW(platform::MAX_PATH, folder);
        std::u16string current(folder, n);
        if (!current.empty() && current.back() == u'\\') {
            current.pop_back();
        }
        return current;
    }
    static constexpr const char16_t* kOwnProgram = u"C:\\Suite\\contract.exe";

    static std::u16string Widen(const std::string& ascii) {
        return std::u16string(ascii.begin(), ascii.end());
    }

    std::optional<SimDesktop> desktop_;
    std::optional<platform::ScopedApi> api_;
};

} // namespace

int main(int argc, char** argv) {
    SimEnvironment environment;
    return contract::RunAll(environment, argc, argv);
}
