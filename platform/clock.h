#pragma once
// The source of "today". The program asks a Clock for the current date so that tests can run
// on any day (2 March 2007, for instance) without touching the system clock.

#include <QDate>
#include <QDateTime>

namespace mz {

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDate today() const override { return QDate::currentDate(); }
};

class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDate day) : m_day(day) {}
    QDate today() const override { return m_day; }
    void setToday(QDate day) { m_day = day; }

private:
    QDate m_day;
};

} // namespace mz
