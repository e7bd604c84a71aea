/* libnetlinker.so: the PC as polling master of the terminals on a serial cable network.
   The host opens the port once with the terminals' addresses; a worker thread of the
   library then polls them forever, hands their messages to _LePorta and sends the
   answers given to _EscrevePorta. One port and one worker per process; there is no
   close call. Every function returns its code and never throws. */
#pragma once

#include <stdint.h>

#include "seriallink/seriallink_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the port ("COMn" is /dev/ttyS<n-1>; any other name is a device path) and starts
   polling the count addresses in the order given. 0, or the errno value of the step that
   failed: EINVAL for no port name, no address or more than 32 addresses, EBUSY when the
   link is already open or another program holds the port. */
SERIALLINK_API int32_t _AbrePorta(const char* port, uint16_t count, const uint16_t* addresses);

/* Queues a frame for the terminal at address, to go out as the answer to the message
   last read (waits for the transmit buffer without limit). 0 queued; 1 not queued: the
   link is not open, or length is negative, above 2041, or has no data behind it. */
SERIALLINK_API int32_t _EscrevePorta(uint16_t address, const uint8_t* data, uint8_t command, int16_t length);

/* Waits up to timeoutMs (0: not at all; 0xFFFFFFFF: without limit) for a terminal's
   message and copies its source address, command, data (up to 4084 bytes) and length
   out. 0 delivered; 1 nothing arrived, and the outputs are untouched. */
SERIALLINK_API int32_t _LePorta(uint16_t* address, uint8_t* data, uint8_t* command, int16_t* length,
                                uint32_t timeoutMs);

/* Re-applies the port's line settings. 0, or the errno value (EBADF before _AbrePorta). */
SERIALLINK_API int32_t _AtualizaPorta(void);

/* Kept for hosts that call it; it has no effect on the link. */
SERIALLINK_API void _ResetRede(void);

#ifdef __cplusplus
}
#endif
