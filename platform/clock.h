#pragma once
#include <QDateTime>
#include <cstdint>
#include <random>

namespace nv {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0; // local time
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime t) : m_now(std::move(t)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &t) { m_now = t; }
    void advanceSecs(qint64 s) { m_now = m_now.addSecs(s); }

private:
    QDateTime m_now;
};

// Uniform draws; seeded once per process (no reseeding from the clock per call).
class Random {
public:
    virtual ~Random() = default;
    virtual std::uint32_t below(std::uint32_t bound) = 0; // 0 <= r < bound
};

class SeededRandom final : public Random {
public:
    SeededRandom(); // from std::random_device, the pid and the clock
    explicit SeededRandom(std::uint64_t seed) : m_gen(seed) {}
    std::uint32_t below(std::uint32_t bound) override;

private:
    std::mt19937_64 m_gen;
};

} // namespace nv
