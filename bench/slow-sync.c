// Preloaded into a benchmark (LD_PRELOAD), makes every fsync and fdatasync
// take SLOW_SYNC_MS (default 50) milliseconds more: a busy hard disk, an SD
// card or a network home folder.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <time.h>

static void wait_a_while(void)
{
    const char *ms = getenv("SLOW_SYNC_MS");
    const long millis = ms ? atol(ms) : 50;
    struct timespec pause = {millis / 1000, (millis % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

int fsync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    wait_a_while();
    return real(fd);
}

int fdatasync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fdatasync");
    wait_a_while();
    return real(fd);
}
