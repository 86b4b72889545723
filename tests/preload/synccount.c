/* Counts the disk syncs of a process: preloaded (LD_PRELOAD), it appends one
   byte to the file named by $VT_SYNC_LOG at every fsync, fdatasync, syncfs,
   sync_file_range and sync, then does the call. A test reads the file's size. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

static void note(void)
{
    const char *path = getenv("VT_SYNC_LOG");
    if (!path)
        return;
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    ssize_t n = write(fd, "s", 1);
    (void)n;
    close(fd);
}

#define FORWARD(name, ret, params, args)                        \
    ret name params                                             \
    {                                                           \
        static ret(*real) params;                               \
        if (!real)                                              \
            *(void **)(&real) = dlsym(RTLD_NEXT, #name);        \
        note();                                                 \
        return real args;                                       \
    }

FORWARD(fsync, int, (int fd), (fd))
FORWARD(fdatasync, int, (int fd), (fd))
FORWARD(syncfs, int, (int fd), (fd))
FORWARD(sync_file_range, int, (int fd, off_t offset, off_t nbytes, unsigned int flags), (fd, offset, nbytes, flags))

void sync(void)
{
    static void (*real)(void);
    if (!real)
        *(void **)(&real) = dlsym(RTLD_NEXT, "sync");
    note();
    real();
}
