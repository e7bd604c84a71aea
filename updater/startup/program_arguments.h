// The process command line: argument 0 is the program, 1 .. ParamCount() follow.
#pragma once

#include <string>
#include <vector>

namespace torvik {

class ProgramArguments {
public:
    ProgramArguments() = default;
    explicit ProgramArguments(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}
    ProgramArguments(int argc, char** argv) : arguments_(argv, argv + argc) {}

    int ParamCount() const { return arguments_.empty() ? 0 : static_cast<int>(arguments_.size()) - 1; }
    // The argument at position index, "" past the last one.
    const std::string& ParamStr(int index) const
    {
        static const std::string none;
        return index >= 0 && index < static_cast<int>(arguments_.size()) ? arguments_[static_cast<size_t>(index)]
                                                                         : none;
    }

private:
    std::vector<std::string> arguments_;
};

}  // namespace torvik
