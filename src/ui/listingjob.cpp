#include "ui/listingjob.h"

#include "rename/itemlookup.h"
#include "rename/prefetchedlookup.h"
#include "rename/targets.h"

#include <QThread>

namespace quillet::ui {

ListingJob::ListingJob(QStringList sources, QString names, QChar separator, Listed listed,
                       Checked checked, QObject* parent)
    : QObject(parent)
    , m_sources(std::move(sources))
    , m_names(std::move(names))
    , m_separator(separator)
    , m_listed(std::move(listed))
    , m_checked(std::move(checked))
{
}

ListingJob::~ListingJob()
{
    if (!m_thread)
        return;
    // Look-ups after the stop find nothing, so the check runs out without the disk.
    m_stop->store(true);
    m_thread->wait();
    delete m_thread;
}

void ListingJob::start()
{
    if (m_sources.size() <= kListedAtOnce) {
        run([](const std::function<void()>& told) { told(); });
        return;
    }
    // What the thread tells is queued to this object: deleted first, it is never told.
    m_thread = QThread::create([this] {
        run([this](std::function<void()> told) {
            QMetaObject::invokeMethod(this, std::move(told), Qt::QueuedConnection);
        });
    });
    m_thread->start();
}

void ListingJob::run(const std::function<void(std::function<void()>)>& tell)
{
    ListingJob* self = this;
    const QStringList targets = rename::BuildTargetList(m_sources, m_names, m_separator);
    auto listing = std::make_shared<const rename::ConfirmationListing>(
        m_sources, targets, m_separator, rename::namedLineCount(m_names, m_sources.size()));
    tell([self, targets, listing] { self->m_listed(targets, listing); });

    const std::shared_ptr<std::atomic_bool> stop = m_stop;
    const rename::ItemLookup lookUp = [stop](const QString& path, rename::LookUp how) {
        return stop->load(std::memory_order_relaxed) ? std::nullopt : rename::lookUpItem(path, how);
    };
    // What the run would meet, told before it starts; it changes nothing about the run.
    rename::PrefetchedLookup prefetched(targets, lookUp);
    const rename::PrecheckFindings findings =
        rename::precheckBatch(m_sources, targets, m_names, m_separator, prefetched.lookUp());
    if (stop->load())
        return;
    rename::PrecheckReport report =
        rename::precheckReport(findings, m_sources, targets, m_separator);
    tell([self, report = std::move(report)] {
        self->m_done = true;
        self->m_checked(report);
    });
}

} // namespace quillet::ui
