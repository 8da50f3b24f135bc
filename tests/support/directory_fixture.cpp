#include "directory_fixture.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

NoFreeDescriptors::NoFreeDescriptors()
{
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0)
        return;
    const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (probe < 0)
        return;
    ::close(probe);
    m_soft = lim.rlim_cur;
    // The lowest free descriptor is at the limit: the next open fails.
    lim.rlim_cur = rlim_t(probe);
    m_set = setrlimit(RLIMIT_NOFILE, &lim) == 0;
}

NoFreeDescriptors::~NoFreeDescriptors()
{
    if (!m_set)
        return;
    rlimit lim{};
    getrlimit(RLIMIT_NOFILE, &lim);
    lim.rlim_cur = rlim_t(m_soft);
    setrlimit(RLIMIT_NOFILE, &lim);
}
