#include "platform/clock.h"

#include <chrono>
#include <unistd.h>

namespace nv {

SeededRandom::SeededRandom()
{
    std::random_device rd;
    const auto ticks = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq seq{rd(), rd(), static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32),
                      static_cast<unsigned>(::getpid())};
    m_gen.seed(seq);
}

std::uint32_t SeededRandom::below(std::uint32_t bound)
{
    if (bound == 0)
        return 0;
    std::uniform_int_distribution<std::uint32_t> dist(0, bound - 1);
    return dist(m_gen);
}

} // namespace nv
