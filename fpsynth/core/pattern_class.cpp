#include <string_view>

#include "fpsynth/fingerprint.h"

namespace fpsynth {

std::string_view PatternClassName(PatternClass patternClass)
{
    switch (patternClass) {
        case PatternClass::Arch:
            return "arch";
        case PatternClass::TentedArch:
            return "tented-arch";
        case PatternClass::LeftLoop:
            return "left-loop";
        case PatternClass::RightLoop:
            return "right-loop";
        case PatternClass::Whorl:
            return "whorl";
    }
    return "arch";
}

std::optional<PatternClass> PatternClassFromName(std::string_view name)
{
    for (const PatternClass patternClass : kPatternClasses) {
        if (PatternClassName(patternClass) == name) {
            return patternClass;
        }
    }
    return std::nullopt;
}

}  // namespace fpsynth
