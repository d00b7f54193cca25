#include "checksum/verificationrun.h"

namespace quillet::checksum {

class VerificationRun::Progress final : public ChecksumProgress {
public:
    explicit Progress(VerificationRun& run)
        : m_run(run)
    {
    }
    void begin(const QString&) override {}
    void step(const QString&) override {}
    void end() override {}
    void reached(qint64 offset, qint64 length) override
    {
        m_run.m_length.store(length, std::memory_order_relaxed);
        m_run.m_bytesRead.store(offset, std::memory_order_relaxed);
    }
    [[nodiscard]] bool stopRequested() const override { return m_run.stopRequested(); }

private:
    VerificationRun& m_run;
};

bool VerificationRun::run(
    const QStringList& paths, QChar separator,
    const std::function<void(qsizetype item, const NameVerdict& verdict)>& checked)
{
    Progress progress(*this);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        if (stopRequested())
            return false;
        m_bytesRead.store(0, std::memory_order_relaxed);
        m_length.store(0, std::memory_order_relaxed);
        m_item.store(i, std::memory_order_relaxed);
        const NameVerdict verdict = verifyNamedChecksum(paths.at(i), separator, progress);
        if (verdict.kind == NameVerdict::Kind::Stopped)
            return false;
        checked(i, verdict);
    }
    m_item.store(paths.size(), std::memory_order_relaxed);
    return true;
}

VerificationRun::Position VerificationRun::position() const
{
    return {m_item.load(std::memory_order_relaxed), m_bytesRead.load(std::memory_order_relaxed),
            m_length.load(std::memory_order_relaxed)};
}

} // namespace quillet::checksum
