/* libkestrivane: fetches programmes in the background and streams them to the player through a
 * local HTTP server on 127.0.0.1 while they download.
 *
 * Integers are signed 32-bit, text is NUL-terminated 8-bit text, a Boolean result is one byte
 * (non-zero is success). Results the client ignores are still filled in: 1 done, 0 not. */
#ifndef KESTRIVANE_H
#define KESTRIVANE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KESTRIVANE_EXPORT __attribute__((visibility("default")))

typedef uint8_t KestrivaneBool;

/* Callbacks 1 and 2 are never called by this library; callback 3 neither. Callback 4
 * (task number, percent) is called once, with percent 100, when a task's download completes,
 * on the library's own download thread. */
typedef void (*KestrivaneCallback1)(int32_t, int32_t, int32_t, int32_t);
typedef void (*KestrivaneCallback2)(int32_t, int32_t, int32_t, int32_t);
typedef void (*KestrivaneCallback3)(int32_t, int32_t);
typedef void (*KestrivaneCallback4)(int32_t task, int32_t percent);

/* Starts the download worker and the local server. A second call while running changes only
 * the callbacks. */
KESTRIVANE_EXPORT int32_t Initkestrivane(int32_t clientVersionCode, KestrivaneCallback1 callback1,
                                         KestrivaneCallback2 callback2,
                                         KestrivaneCallback3 callback3,
                                         KestrivaneCallback4 callback4);

/* One bounded request GET <webBaseUrl>[/]login?version=<clientVersionCode>; 1 when the site
 * answered with a 2xx status. */
KESTRIVANE_EXPORT int32_t ClientLoginIn(int32_t clientVersionCode, const char* webBaseUrl);

/* Starts (or reuses, for the same address) the download of `sourceUrl` (http or https) and
 * writes into `out` (1024 bytes) the address to play,
 * "http://127.0.0.1:<port>/<token>/P2P/<task><4-character extension>", ending in a zero byte.
 * `id`, `arg3` and `arg4` are kept for the caller's sake and not used. */
KESTRIVANE_EXPORT KestrivaneBool SetProgramInfo(const char* sourceUrl, int32_t id, int32_t arg3,
                                                int32_t arg4, char* out);

/* Progress of a task: `percent` 0..100 (100 only once complete, and for a programme whose
 * origin never told its length only once the origin has confirmed that length), `downloadedKiB`,
 * `totalKiB`
 * (-1 while unknown). Zero for an unknown task. Any pointer may be null. */
KESTRIVANE_EXPORT KestrivaneBool GetProgInfo(int32_t task, int32_t* percent, int32_t* downloadedKiB,
                                             int32_t* totalKiB);

/* Why a task's download failed: KESTRIVANE_ERROR_NONE while it runs (also while it tries again
 * after a broken connection), once it is complete, and for an unknown task. */
#define KESTRIVANE_ERROR_NONE 0
#define KESTRIVANE_ERROR_DOWNLOAD 1  /* the origin stayed out of reach or refused it */
#define KESTRIVANE_ERROR_DISK_FULL 2 /* the store had no room for the rest */
KESTRIVANE_EXPORT int32_t GetProgError(int32_t task);

/* Stops the server and the downloads and joins every thread of the library. */
KESTRIVANE_EXPORT int32_t UnInitkestrivane(void);

#ifdef __cplusplus
}
#endif

#endif /* KESTRIVANE_H */
