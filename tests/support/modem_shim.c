/* A stand-in for the modem lines and the parallel port that this machine's devices lack,
 * loaded into a child process with LD_PRELOAD, so that tests run the program's real line
 * code down to the system call and read back what reached the device.
 *
 * MODEMSHIM_LOG       file that every recorded change is appended to, one line each:
 *                       "<monotonic ns> S<n> dtr=<0|1> rts=<0|1> <cause>"
 *                       "<monotonic ns> P<n> <control byte>"
 * MODEMSHIM_SERIAL    device paths (colon-separated) that behave as serial ports with
 *                     modem lines (pseudo-terminals refuse DTR and RTS on their own)
 * MODEMSHIM_PARPORT   device paths that behave as ppdev parallel ports (any file)
 * MODEMSHIM_SPEED     the speed each serial port was left at before (default 9600);
 *                     0 is a port last closed at zero speed (B0)
 * MODEMSHIM_PASS      "1": serial ioctls go on to the real device and are timed as it
 *                     answers (a real UART such as /dev/ttyS0)
 *
 * The serial ports behave as Linux's serial core does: opening raises DTR and RTS unless
 * the port's speed is zero, a speed set from zero raises them, zero speed drops them,
 * and closing drops them when HUPCL is set. Records are written with write(2) at once,
 * so a child that is killed leaves every change it made in the log.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#define MAX_FDS 1024
#define MAX_DEVICES 8

enum kind { NONE = 0, SERIAL = 1, PARPORT = 2 };

struct device {
    char path[256];
    int kind;
    int lines;        /* TIOCM_DTR | TIOCM_RTS */
    speed_t speed;    /* kept across openings, as the kernel keeps a port's termios */
    tcflag_t cflag;
};

static struct device devices[MAX_DEVICES];
static int device_count = -1;
static signed char fd_device[MAX_FDS]; /* device index + 1, 0 for none */
static int log_fd = -1;
static int pass_through;

static int (*real_open)(const char*, int, ...);
static int (*real_open64)(const char*, int, ...);
static int (*real_close)(int);
static int (*real_ioctl)(int, unsigned long, ...);
static int (*real_tcsetattr)(int, int, const struct termios*);

static void add_devices(const char* list, int kind, speed_t speed) {
    if (list == NULL) {
        return;
    }
    const char* p = list;
    while (*p != '\0' && device_count < MAX_DEVICES) {
        const char* end = strchr(p, ':');
        size_t n = end != NULL ? (size_t)(end - p) : strlen(p);
        if (n > 0 && n < sizeof devices[0].path) {
            struct device* d = &devices[device_count++];
            memcpy(d->path, p, n);
            d->path[n] = '\0';
            d->kind = kind;
            d->lines = 0;
            d->speed = speed;
            d->cflag = HUPCL;
        }
        p += n;
        if (*p == ':') {
            ++p;
        }
    }
}

static void init(void) {
    if (device_count >= 0) {
        return;
    }
    real_open = dlsym(RTLD_NEXT, "open");
    real_open64 = dlsym(RTLD_NEXT, "open64");
    real_close = dlsym(RTLD_NEXT, "close");
    real_ioctl = dlsym(RTLD_NEXT, "ioctl");
    real_tcsetattr = dlsym(RTLD_NEXT, "tcsetattr");
    device_count = 0;
    const char* speed = getenv("MODEMSHIM_SPEED");
    const speed_t initial = speed != NULL && atoi(speed) == 0 ? B0 : B9600;
    add_devices(getenv("MODEMSHIM_SERIAL"), SERIAL, initial);
    add_devices(getenv("MODEMSHIM_PARPORT"), PARPORT, B0);
    const char* pass = getenv("MODEMSHIM_PASS");
    pass_through = pass != NULL && pass[0] == '1';
    const char* log = getenv("MODEMSHIM_LOG");
    if (log != NULL) {
        log_fd = real_open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
}

static long long now_ns(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

static void record(const char* text) {
    if (log_fd >= 0) {
        (void)write(log_fd, text, strlen(text));
    }
}

static void record_lines(int index, const char* cause, long long when) {
    char line[160];
    const struct device* d = &devices[index];
    snprintf(line, sizeof line, "%lld S%d dtr=%d rts=%d %s\n", when, index,
             (d->lines & TIOCM_DTR) != 0, (d->lines & TIOCM_RTS) != 0, cause);
    record(line);
}

static void set_lines(int index, int lines, const char* cause, long long when) {
    struct device* d = &devices[index];
    if (d->lines != lines) {
        d->lines = lines;
        record_lines(index, cause, when);
    }
}

static int device_of_path(const char* path) {
    for (int i = 0; path != NULL && i < device_count; ++i) {
        if (strcmp(devices[i].path, path) == 0) {
            return i;
        }
    }
    return -1;
}

static int device_of_fd(int fd) {
    return fd >= 0 && fd < MAX_FDS ? fd_device[fd] - 1 : -1;
}

static int opened(int fd, const char* path) {
    const int index = device_of_path(path);
    if (fd < 0 || fd >= MAX_FDS || index < 0) {
        return fd;
    }
    fd_device[fd] = (signed char)(index + 1);
    struct device* d = &devices[index];
    if (d->kind == SERIAL && d->speed != B0) {
        set_lines(index, d->lines | TIOCM_DTR | TIOCM_RTS, "open", now_ns());
    }
    return fd;
}

static int open_with(int (*fn)(const char*, int, ...), const char* path, int flags, va_list ap) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        mode = va_arg(ap, mode_t);
    }
    return opened(fn(path, flags, mode), path);
}

int open(const char* path, int flags, ...) {
    init();
    va_list ap;
    va_start(ap, flags);
    const int fd = open_with(real_open, path, flags, ap);
    va_end(ap);
    return fd;
}

int open64(const char* path, int flags, ...) {
    init();
    va_list ap;
    va_start(ap, flags);
    const int fd = open_with(real_open64 != NULL ? real_open64 : real_open, path, flags, ap);
    va_end(ap);
    return fd;
}

int close(int fd) {
    init();
    const int index = device_of_fd(fd);
    if (index >= 0) {
        fd_device[fd] = 0;
        struct device* d = &devices[index];
        if (d->kind == SERIAL && (d->cflag & HUPCL) != 0) {
            set_lines(index, 0, "close", now_ns());
        }
    }
    return real_close(fd);
}

int tcsetattr(int fd, int action, const struct termios* tio) {
    init();
    const int index = device_of_fd(fd);
    if (index >= 0 && devices[index].kind == SERIAL && tio != NULL) {
        struct device* d = &devices[index];
        const speed_t speed = cfgetospeed(tio);
        if (d->speed != B0 && speed == B0) {
            set_lines(index, 0, "speed-zero", now_ns());
        } else if (d->speed == B0 && speed != B0) {
            const int raised = (tio->c_cflag & CRTSCTS) != 0 ? TIOCM_DTR : TIOCM_DTR | TIOCM_RTS;
            set_lines(index, d->lines | raised, "speed-set", now_ns());
        }
        d->speed = speed;
        d->cflag = tio->c_cflag;
    }
    return real_tcsetattr(fd, action, tio);
}

int ioctl(int fd, unsigned long request, ...) {
    init();
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    const int index = device_of_fd(fd);
    if (index < 0) {
        return real_ioctl(fd, request, arg);
    }
    struct device* d = &devices[index];
    if (d->kind == PARPORT) {
        if (request == PPWCONTROL) {
            char line[96];
            snprintf(line, sizeof line, "%lld P%d %d\n", now_ns(), index, *(unsigned char*)arg);
            record(line);
            return 0;
        }
        if (request == PPCLAIM || request == PPRELEASE) {
            return 0;
        }
        return real_ioctl(fd, request, arg);
    }
    if (request != TIOCMBIS && request != TIOCMBIC && request != TIOCMSET && request != TIOCMGET) {
        const int result = real_ioctl(fd, request, arg);
        return pass_through || result == 0 || errno != ENOTTY ? result : 0;
    }
    if (request == TIOCMGET) {
        *(int*)arg = d->lines;
        return 0;
    }
    int result = 0;
    if (pass_through) {
        result = real_ioctl(fd, request, arg);
        if (result != 0) {
            return result;
        }
    }
    const long long when = now_ns();
    const int bits = *(int*)arg & (TIOCM_DTR | TIOCM_RTS);
    const int lines = request == TIOCMBIS   ? d->lines | bits
                      : request == TIOCMBIC ? d->lines & ~bits
                                            : bits;
    set_lines(index, lines, "ioctl", when);
    return result;
}
