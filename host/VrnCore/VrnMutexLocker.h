#pragma once

#include <QMutex>

#if defined(__SANITIZE_THREAD__)
#define VRN_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VRN_THREAD_SANITIZER 1
#endif
#endif

#ifdef VRN_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

// Holds a QMutex for one scope, like QMutexLocker. Qt's own library is not
// built for the thread sanitizer, which therefore cannot see a QMutex taken
// under contention; in a sanitizer build the lock and unlock are announced
// to it here, so that what the mutex guards is not reported as a race.
class VrnMutexLocker
{
public:
    explicit VrnMutexLocker(QMutex* mutex)
        : m_mutex(mutex)
    {
#ifdef VRN_THREAD_SANITIZER
        __tsan_mutex_pre_lock(m_mutex, 0);
#endif
        m_mutex->lock();
#ifdef VRN_THREAD_SANITIZER
        __tsan_mutex_post_lock(m_mutex, 0, 0);
#endif
    }

    ~VrnMutexLocker()
    {
#ifdef VRN_THREAD_SANITIZER
        __tsan_mutex_pre_unlock(m_mutex, 0);
#endif
        m_mutex->unlock();
#ifdef VRN_THREAD_SANITIZER
        __tsan_mutex_post_unlock(m_mutex, 0);
#endif
    }

    VrnMutexLocker(const VrnMutexLocker&) = delete;
    VrnMutexLocker& operator=(const VrnMutexLocker&) = delete;

private:
    QMutex* m_mutex;
};
