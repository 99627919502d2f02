// The contract suite on the simulated desktop: a fresh desktop for every case.
#include "Contract.h"
#include "platform/sim/SimDesktop.h"

#include <optional>

namespace {

using platform::sim::SimDesktop;

class SimEnvironment final : public contract::Environment {
public:
    bool Simulated() const override { return true; }

    void Fresh() override {
        api_.reset();
        desktop_.emplace();
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

private:
    static constexpr const char16_t* kFolder = u"C:\\Contract";
    static constexpr const char* kFolderAnsi = "C:\\Contract";

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
