// Errors of the updater: exceptions that carry the message shown to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace torvik {

class UpdaterError : public std::runtime_error {
public:
    explicit UpdaterError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace torvik
