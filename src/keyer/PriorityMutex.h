// A mutex with priority inheritance: while the window thread holds a lock the real-time
// keying thread waits for, the window thread runs at the keying thread's priority, so
// other programs cannot delay an edge by preempting the lock holder.
#pragma once

#include <pthread.h>

namespace ditlog {

class PriorityMutex {
public:
    PriorityMutex() {
        pthread_mutexattr_t attr;
        pthread_mutexattr_init(&attr);
        pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_INHERIT);
        pthread_mutex_init(&m_mutex, &attr);
        pthread_mutexattr_destroy(&attr);
    }
    ~PriorityMutex() { pthread_mutex_destroy(&m_mutex); }
    PriorityMutex(const PriorityMutex&) = delete;
    PriorityMutex& operator=(const PriorityMutex&) = delete;

    void lock() { pthread_mutex_lock(&m_mutex); }
    void unlock() { pthread_mutex_unlock(&m_mutex); }
    bool try_lock() { return pthread_mutex_trylock(&m_mutex) == 0; }

private:
    pthread_mutex_t m_mutex;
};

} // namespace ditlog
