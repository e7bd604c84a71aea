// Marks the functions the serial link libraries export to host programs. The libraries
// are built with hidden visibility; only what carries SERIALLINK_API is visible.
#pragma once

#define SERIALLINK_API __attribute__((visibility("default")))
