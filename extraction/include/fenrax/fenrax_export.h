/* Marks the functions that libFenrax.so exports to host programs. The library is built
   with hidden visibility; only what carries FENRAX_API is visible to a program that
   loads it. */
#ifndef FENRAX_FENRAX_EXPORT_H
#define FENRAX_FENRAX_EXPORT_H

#define FENRAX_API __attribute__((visibility("default")))

#endif
