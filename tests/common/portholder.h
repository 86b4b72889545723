// Another program holding a serial port: a child process opens it and keeps
// it open until the holder is released or destroyed.
#pragma once

#include <QSerialPort>
#include <QString>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vttest {

struct PortHolder {
    pid_t child = -1;
    bool held = false; // the child has the port open

    explicit PortHolder(const QString &path)
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        child = ::fork();
        if (child == 0) {
            // Ends with the test, and keeps none of its output open: a
            // runner that reads the test's output to its end must not wait
            // on this child.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 1);
                ::dup2(null, 2);
            }
            QSerialPort other(path);
            const char ok = other.open(QIODevice::ReadWrite) ? '1' : '0';
            (void)!::write(ready[1], &ok, 1);
            ::pause();
            ::_exit(0);
        }
        char ok = 0;
        held = child > 0 && ::read(ready[0], &ok, 1) == 1 && ok == '1';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    PortHolder(const PortHolder &) = delete;
    PortHolder &operator=(const PortHolder &) = delete;
    ~PortHolder() { release(); }

    // Ends the child: the port is free again once this returns.
    void release()
    {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            child = -1;
        }
    }
};

} // namespace vttest
