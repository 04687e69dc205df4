#pragma once
#include <QByteArray>
#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

// Caps the address space for one scope: a reader that trusts a huge length
// or count from a file then fails to allocate and crashes the test instead
// of quietly getting the memory from a generous overcommit.
class AddressSpaceCap
{
public:
    explicit AddressSpaceCap(qint64 headroom)
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (getrlimit(RLIMIT_AS, &m_old) != 0 || !statm.open(QIODevice::ReadOnly))
            return;
        const qint64 pages = statm.readAll().split(' ').value(0).toLongLong();
        if (pages <= 0)
            return;
        rlimit cap = m_old;
        const rlim_t wanted = rlim_t(pages * sysconf(_SC_PAGESIZE) + headroom);
        if (cap.rlim_cur == RLIM_INFINITY || cap.rlim_cur > wanted)
            cap.rlim_cur = wanted;
        m_active = setrlimit(RLIMIT_AS, &cap) == 0;
    }
    ~AddressSpaceCap()
    {
        if (m_active)
            setrlimit(RLIMIT_AS, &m_old);
    }
    AddressSpaceCap(const AddressSpaceCap &) = delete;
    AddressSpaceCap &operator=(const AddressSpaceCap &) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_old{};
    bool m_active = false;
};
