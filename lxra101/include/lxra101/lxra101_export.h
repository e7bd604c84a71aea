// Marks the classes and functions that libLxra101.so exports to host programs.
// The library is built with hidden visibility; only what carries LXRA101_API is
// visible to a program that loads it.
#pragma once

#define LXRA101_API __attribute__((visibility("default")))

// Marks the members of an exported class that serve the runtime itself: the class's
// type information is visible to host programs, these members are not.
#define LXRA101_INTERNAL __attribute__((visibility("hidden")))
