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
        desktop_.emplace(config);
        desktop_->CreateHostDirectory(kFolder);
        api_.emplace(*desktop_);
    }

    std::string MakeFile(const std::string& name, const std::string& bytes) override {
        desktop_->CreateHostFile(std::u16string(kFolder) + u"\\" + Widen(name), bytes);
        return std::string(kFolderAnsi) + "\\" + name;
    }

    std::u16string ExitingProgram(platform::DWORD exitCode) override {
        const std::u16string line = std::u16string(kFolder) + u"\\exits.exe";
        platform::sim::ProcessScript script;
        script.exitCode = exitCode;
        desktop_->ScriptProcess(line, script);
        return line;
    }

    std::string MissingFile() override { return std::string(kFolderAnsi) + "\\no-such-file"; }

    std::u16string PlaceProgram(const std::u16string& relative) override {
        const std::u16string path = std::u16string(kFolder) + u"\\" + relative;
        desktop_->ScriptProcess(path,
                                platform::sim::ProcessScript::Exits(contract::kPlacedExitCode));
        return path;
    }

    std::u16string MakeFolder(const std::u16string& relative) override {
        const std::u16string path = std::u16string(kFolder) + u"\\" + relative;
        desktop_->CreateHostDirectory(path);
        return path;
    }

    void AddToPath(const std::u16string& folder) override { desktop_->AddPathFolder(folder); }

    std::u16string OwnProgramByName(platform::DWORD exitCode) override {
        desktop_->ScriptProcess(kOwnProgram, platform::sim::ProcessScript::Exits(exitCode));
        const std::string code = std::to_string(exitCode);
        return u"contract.exe --exit " + std::u16string(code.begin(), code.end());
    }

private:
    static constexpr const char16_t* kFolder = u"C:\\Contract";
    static constexpr const char* kFolderAnsi = "C:\\Contract";
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
