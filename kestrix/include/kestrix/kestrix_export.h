// Marks the functions that libKestrixDLL.so exports to host programs. The library is
// built with hidden visibility; only what carries KESTRIX_API is visible to a program
// that loads it.
#pragma once

#define KESTRIX_API __attribute__((visibility("default")))
