// The message table of the runtime's error codes.
#pragma once

#include <span>

namespace lxra {

struct ErrorMessage {
    long code;
    const char* text;
};

// Every row of the table, in its published order.
std::span<const ErrorMessage> ErrorMessageTable();

// The message of the first row with this code, or null when the code has none.
const char* FindErrorMessage(long code);

}  // namespace lxra
