// LXString: the runtime's reference-counted text.
#pragma once

#include "lxra101/lxra101_export.h"

class LXRA101_API LXString {
public:
    // Storage shared between copies: characters, length, capacity and reference count.
    struct TextBlock;

    LXString();
    // Copies share the other string's block; the int argument is not used.
    LXString(const LXString& other, int unused = 0);
    // Holds a copy of text in a new block; a null text gives a string without text.
    LXString(const char* text);
    ~LXString();

    LXString& operator=(const LXString& other);
    LXString& operator=(const char* text);

    // Case-insensitive equality; 0 whenever either side has no text.
    int operator==(const char* text) const;
    int operator==(const LXString& other) const;

    // The characters, or null for a string without text.
    operator const char*() const;

private:
    TextBlock* block_;
    const char* text_;
};
