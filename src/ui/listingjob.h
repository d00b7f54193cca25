#pragma once

#include "rename/confirmationlisting.h"
#include "rename/precheck.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace quillet::ui {

// The targets, the listing and the check of one press of the rename button. A large batch is
// listed and checked on a thread of its own, so the window answers while a million entries are
// looked at on disk; the results come back on the window's thread, the listing first (it is
// ready long before the check). A small one is done at once, where a thread costs more than it
// saves. Deleting the job drops what it has not told yet and stops the check's look-ups.
class ListingJob final : public QObject {
public:
    using Listed = std::function<void(const QStringList& targets,
                                      std::shared_ptr<const rename::ConfirmationListing> listing)>;
    using Checked = std::function<void(const rename::PrecheckReport& report)>;

    // Batches up to this many entries are listed and checked at once.
    static constexpr qsizetype kListedAtOnce = 2'000;

    ListingJob(QStringList sources, QString names, QChar separator, Listed listed, Checked checked,
               QObject* parent = nullptr);
    ~ListingJob() override;

    // Runs on a thread for a large batch; tells both results before returning for a small one.
    void start();
    [[nodiscard]] bool isDone() const { return m_done; }

private:
    void run(const std::function<void(std::function<void()>)>& tell);

    QStringList m_sources;
    QString m_names;
    QChar m_separator;
    Listed m_listed;
    Checked m_checked;
    QThread* m_thread = nullptr;
    std::shared_ptr<std::atomic_bool> m_stop = std::make_shared<std::atomic_bool>(false);
    bool m_done = false;
};

} // namespace quillet::ui
