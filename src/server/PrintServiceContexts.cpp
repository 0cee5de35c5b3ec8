// PrintService's print contexts: the one a Create goes to, made for its creator within the
// creator's share; retired once it has no object and no call; waited for until idle.
#include <QTimer>
#include <algorithm>

#include "general/GuiThread.h"
#include "print/PrintContext.h"
#include "server/Introspection.h"
#include "server/ObjectPaths.h"
#include "server/PrintService.h"
#include "surface/PrintJobs.h"
#include "windows/PrintWindows.h"

namespace zel {

void PrintService::runWhenIdle(std::function<void()> action) {
    idleActions_.push_back(std::move(action));
    runIdleActions();
}

bool PrintService::anyContextBusy() const {
    for (const auto& entry : contexts_)
        if (entry.second->queue.busy()) return true;
    return false;
}

void PrintService::runIdleActions() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (anyContextBusy() || anyRetiredBusy()) {
            // Asked again shortly, for as long as something waits for the contexts to be idle.
            if (!idleActions_.empty() || !departed_.empty())
                QTimer::singleShot(20, this, &PrintService::runIdleActions);
            return;
        }
        departed_.clear();
    }
    std::vector<std::function<void()>> actions = std::move(idleActions_);
    idleActions_.clear();
    for (const std::function<void()>& action : actions) action();
}

void PrintService::closeConfirmations() {
    std::vector<Shared> contexts;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& entry : contexts_) contexts.push_back(entry.second);
    }
    // Closing a question ends its wait on its context's thread.
    for (const Shared& shared : contexts) shared->context->windows().closeQuestions();
}

PrintService::Shared PrintService::contextFor(const QString& key, const QString& creator) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (const auto found = contexts_.find(key); found != contexts_.end()) return found->second;
    const std::shared_ptr<DescriptorAccount> account = accounts_.of(creator);
    DescriptorShare descriptors = DescriptorShare::forContext(account);
    Shared& shared = contexts_[key];
    shared = std::make_shared<SharedContext>();
    shared->key = key;
    shared->context = std::make_shared<PrintContext>();
    shared->descriptors = std::move(descriptors);
    shared->context->files().chargeTo(account);
    // A job's events go to the object whose output started it, on its path even after its
    // release (paths are never reused), so that its client learns what became of its job. They
    // are sent from the context's thread, before the reply of the call that ended the job.
    PrintJobs& jobs = shared->context->jobs();
    connect(
        &jobs, &PrintJobs::sheetFinished, this,
        [this](int owner, int32_t sheet) {
            if (owner > 0)
                sendSignal(objectPath(owner), Bus::kEventInterface, QStringLiteral("BladAfgedrukt"),
                           {sheet});
        },
        Qt::DirectConnection);
    connect(
        &jobs, &PrintJobs::jobEnded, this,
        [this](int owner, const EndedJob& job) {
            if (owner <= 0) return;
            sendSignal(objectPath(owner), Bus::kJobsInterface, QStringLiteral("JobEnded"),
                       {job.destination, job.document, job.pages});
            if (job.destination.startsWith(QLatin1String("pdf:"))) return;
            const QString destination = job.destination;
            const int document = job.document.toInt();
            // The follower asks CUPS on a timer of the GUI thread.
            postToGuiThread(&follower_, [this, owner, destination, document] {
                follower_.follow(owner, destination, document);
            });
        },
        Qt::DirectConnection);
    return shared;
}

void PrintService::settle(const Shared& shared) {
    if (shared->objects > 0 || shared->queue.waiting() > 0) return;
    const auto it = contexts_.find(shared->key);
    if (it == contexts_.end() || it->second != shared) return;
    // Its client may create another at once; the job's descriptors stay until it is written.
    shared->descriptors.leaveAccount();
    retired_.push_back(shared);
    contexts_.erase(it);
    postToGuiThread(this, [this] { endRetired(); });
}

bool PrintService::anyRetiredBusy() const {
    for (const Shared& shared : retired_)
        if (shared->queue.busy()) return true;
    return false;
}

void PrintService::endRetired() {
    std::vector<Shared> ending;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        // One whose last call is still unwinding is ended on a later turn.
        const auto idle = std::stable_partition(retired_.begin(), retired_.end(),
                                                [](const Shared& s) { return s->queue.busy(); });
        ending.assign(std::make_move_iterator(idle), std::make_move_iterator(retired_.end()));
        retired_.erase(idle, retired_.end());
        if (!retired_.empty()) QTimer::singleShot(20, this, &PrintService::endRetired);
    }
}

PrintService::Shared PrintService::heldIn(int id) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = objects_.find(id);
    return it == objects_.end() ? Shared() : it->second.shared;
}

}  // namespace zel
