#include "lxra101/lx_error.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "core/ascii_case.h"
#include "core/error_messages.h"
#include "core/text_buffer.h"

namespace {

constexpr size_t kMaxDetailName = 31;

struct Detail {
    char name[kMaxDetailName + 1];
    char* text;  // owned copy, or null
    int32_t value;
};

// Getters and setters alike create a missing detail, so every lookup goes through here.
// Names longer than 31 characters are cut to 31, for storing and for matching.
Detail* FindOrAddDetail(PtrArray& details, const char* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    for (long i = 0; i < details.GetSize(); ++i) {
        auto* detail = static_cast<Detail*>(details.GetAt(i));
        if (lxra::EqualIgnoringCase(detail->name, name, kMaxDetailName)) {
            return detail;
        }
    }
    auto* detail = new (std::nothrow) Detail{};
    if (detail == nullptr) {
        return nullptr;
    }
    std::strncpy(detail->name, name, kMaxDetailName);
    if (details.Add(detail) < 0) {
        delete detail;
        return nullptr;
    }
    return detail;
}

char* CopyText(const char* text)
{
    if (text == nullptr) {
        return nullptr;
    }
    const size_t size = std::strlen(text) + 1;
    char* copy = new (std::nothrow) char[size];
    if (copy != nullptr) {
        std::memcpy(copy, text, size);
    }
    return copy;
}

}  // namespace

LXError::LXError(long code) : code_(code) {}

LXError::~LXError()
{
    for (long i = 0; i < details_.GetSize(); ++i) {
        auto* detail = static_cast<Detail*>(details_.GetAt(i));
        delete[] detail->text;
        delete detail;
    }
}

long LXError::GetCode()
{
    return code_;
}

const char* LXError::GetStrDetail(const char* name)
{
    const Detail* detail = FindOrAddDetail(details_, name);
    return detail != nullptr ? detail->text : nullptr;
}

long LXError::GetIntDetail(const char* name)
{
    const Detail* detail = FindOrAddDetail(details_, name);
    return detail != nullptr ? detail->value : 0;
}

void LXError::SetStrDetail(const char* name, const char* value)
{
    Detail* detail = FindOrAddDetail(details_, name);
    if (detail == nullptr) {
        return;
    }
    char* copy = CopyText(value);
    delete[] detail->text;
    detail->text = copy;
}

void LXError::SetIntDetail(const char* name, long value)
{
    Detail* detail = FindOrAddDetail(details_, name);
    if (detail != nullptr) {
        detail->value = static_cast<int32_t>(value);
    }
}

const char* LXError::GetDetails(char* buf, unsigned size)
{
    if (buf == nullptr || size == 0) {
        return lxra::NoRoomResult();
    }
    buf[0] = '\0';
    size_t used = 0;
    char number[16];
    for (long i = 0; i < details_.GetSize(); ++i) {
        const auto* detail = static_cast<const Detail*>(details_.GetAt(i));
        const char* value = detail->text;
        if (value == nullptr) {
            std::snprintf(number, sizeof number, "%ld", static_cast<long>(detail->value));
            value = number;
        }
        const size_t nameLength = std::strlen(detail->name);
        const size_t valueLength = std::strlen(value);
        // The 3 covers ", " and "="; stopping here keeps the terminator inside buf.
        if (used + nameLength + valueLength + 3 >= size) {
            break;
        }
        if (i > 0) {
            std::memcpy(buf + used, ", ", 2);
            used += 2;
        }
        std::memcpy(buf + used, detail->name, nameLength);
        used += nameLength;
        buf[used++] = '=';
        std::memcpy(buf + used, value, valueLength);
        used += valueLength;
        buf[used] = '\0';
    }
    return buf;
}

const char* LXError::GetDescription(char* buf, int size)
{
    const char* message = lxra::FindErrorMessage(code_);
    return lxra::CopyTruncated(buf, size, message != nullptr ? message : "");
}
