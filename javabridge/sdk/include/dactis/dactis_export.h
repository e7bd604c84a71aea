/* The one export macro of the stand-in fingerprint SDK libdactis.so: everything else in
   the library has hidden visibility. */
#ifndef DACTIS_EXPORT_H
#define DACTIS_EXPORT_H

#define DACTIS_API __attribute__((visibility("default")))

#endif
