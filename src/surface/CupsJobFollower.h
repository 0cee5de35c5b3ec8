#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <vector>

namespace zel {

// Follows jobs handed to CUPS until CUPS reports them completed, aborted or canceled, or they
// cannot go on for now (the queue is stopped, the job is held). CUPS is asked every two seconds
// on a thread of its own, so that a frozen scheduler holds up nobody; a job is followed for at
// most ten minutes, after which it is reported where it then was.
class CupsJobFollower : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMilliseconds = 2000;
    static constexpr int LongestMilliseconds = 10 * 60 * 1000;

    explicit CupsJobFollower(QObject* parent = nullptr);

    // owner: the number the caller gets back with the job (0 for nobody).
    void follow(int owner, const QString& queue, int job);
    bool following() const { return !jobs_.empty(); }

Q_SIGNALS:
    // state: completed, aborted or canceled; held (with reason "queue stopped" when that is
    // why); or, when following ended first, the state CUPS last reported. reason: CUPS's words.
    void finished(int owner, const QString& queue, int job, const QString& state,
                  const QString& reason);
    // The last followed job is finished.
    void idle();

private:
    struct Followed {
        int owner;
        QString queue;
        int job;
        QDeadlineTimer until;
        QString lastState;
    };

    void ask();

    std::vector<Followed> jobs_;
    QTimer timer_;
    bool asking_ = false;
};

}  // namespace zel
