#include "surface/CupsJobFollower.h"

#include <algorithm>
#include <memory>

#include "surface/BoundedCall.h"
#include "surface/CupsQueue.h"

namespace zel {

CupsJobFollower::CupsJobFollower(QObject* parent) : QObject(parent) {
    timer_.setInterval(IntervalMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &CupsJobFollower::ask);
}

void CupsJobFollower::follow(int owner, const QString& queue, int job) {
    jobs_.push_back({owner, queue, job, QDeadlineTimer(LongestMilliseconds), {}});
    if (!timer_.isActive()) timer_.start();
    // The first answer comes at once: a stopped queue is known without waiting.
    if (!asking_) QTimer::singleShot(0, this, &CupsJobFollower::ask);
}

void CupsJobFollower::ask() {
    if (asking_ || jobs_.empty()) return;
    asking_ = true;
    std::vector<int> ids;
    std::vector<QString> queues;
    for (const Followed& followed : jobs_) {
        ids.push_back(followed.job);
        queues.push_back(followed.queue);
    }
    auto statuses = std::make_shared<std::vector<cups::JobStatus>>();
    runInBackground(
        [ids, queues, statuses] {
            for (size_t i = 0; i < ids.size(); ++i)
                statuses->push_back(cups::jobStatus(queues[i], ids[i]));
        },
        this,
        [this, ids, statuses](std::exception_ptr) {
            asking_ = false;
            struct Outcome {
                Followed job;
                QString state, reason;
            };
            std::vector<Outcome> outcomes;
            std::vector<Followed> still;
            for (Followed& followed : jobs_) {
                const size_t at =
                    size_t(std::find(ids.begin(), ids.end(), followed.job) - ids.begin());
                if (at >= statuses->size()) {
                    still.push_back(followed);  // came in while CUPS was asked
                    continue;
                }
                const cups::JobStatus& status = (*statuses)[at];
                if (!status.state.isEmpty()) followed.lastState = status.state;
                if (status.ended())
                    outcomes.push_back({followed, status.state, status.reason});
                else if (status.queueStopped)
                    outcomes.push_back(
                        {followed, QStringLiteral("held"), QStringLiteral("queue stopped")});
                else if (status.state == QLatin1String("held") ||
                         status.state == QLatin1String("stopped"))
                    outcomes.push_back({followed, QStringLiteral("held"), status.reason});
                else if (followed.until.hasExpired())
                    outcomes.push_back(
                        {followed,
                         followed.lastState.isEmpty() ? QStringLiteral("unknown")
                                                      : followed.lastState,
                         QStringLiteral("not finished after %1 minutes: no longer followed")
                             .arg(LongestMilliseconds / 60000)});
                else
                    still.push_back(followed);
            }
            jobs_ = std::move(still);
            if (jobs_.empty()) timer_.stop();
            // Told after the list is settled: a receiver may follow another job or end.
            for (const Outcome& outcome : outcomes)
                Q_EMIT finished(outcome.job.owner, outcome.job.queue, outcome.job.job,
                                outcome.state, outcome.reason);
            if (!outcomes.empty() && jobs_.empty()) Q_EMIT idle();
        });
}

}  // namespace zel
