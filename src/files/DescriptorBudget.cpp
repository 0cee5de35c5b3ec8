#include "files/DescriptorBudget.h"

#include <sys/resource.h>

#include <QString>
#include <algorithm>
#include <climits>
#include <mutex>

#include "variant/VbError.h"

namespace zel {

namespace {

std::mutex budgetLock;
int handedOut = 0;  // under budgetLock

// The soft limit on open files, read at each take: the server raises it at its start.
int openFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return INT_MAX;
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, INT_MAX));
}

VbError tooManyFiles(const QString& why) {
    return VbError(VbErr::TooManyFiles,
                   VbError::standardText(VbErr::TooManyFiles) + QStringLiteral(": ") + why);
}

}  // namespace

void raiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

DescriptorShare::~DescriptorShare() {
    giveBack();
}

DescriptorShare::DescriptorShare(DescriptorShare&& other) noexcept
    : descriptors_(other.descriptors_),
      context_(other.context_),
      account_(std::move(other.account_)) {
    other.descriptors_ = 0;
}

DescriptorShare& DescriptorShare::operator=(DescriptorShare&& other) noexcept {
    if (this == &other) return *this;
    giveBack();
    descriptors_ = other.descriptors_;
    context_ = other.context_;
    account_ = std::move(other.account_);
    other.descriptors_ = 0;
    return *this;
}

DescriptorShare DescriptorShare::forFile(const std::shared_ptr<DescriptorAccount>& account) {
    return take(account, false);
}

DescriptorShare DescriptorShare::forContext(const std::shared_ptr<DescriptorAccount>& account) {
    return take(account, true);
}

DescriptorShare DescriptorShare::take(const std::shared_ptr<DescriptorAccount>& account,
                                      bool context) {
    const int descriptors = context ? kPerContext : 1;
    const std::lock_guard<std::mutex> locked(budgetLock);
    const int limit = openFileLimit();
    const int budget = limit - std::min(kReserve, limit / 4);
    // Numbered files leave a quarter of the budget to new print contexts, so that clients can
    // still begin reports while others hold every file they may.
    if (handedOut + descriptors > (context ? budget : budget - budget / 4))
        throw tooManyFiles(
            QStringLiteral("the server keeps its last descriptors for the open jobs"));
    if (account) {
        if (context && account->contexts_ >= account->maxContexts_)
            throw tooManyFiles(QStringLiteral("a client opens at most %1 print contexts")
                                   .arg(account->maxContexts_));
        if (!context && account->files_ >= account->maxFiles_)
            throw tooManyFiles(
                QStringLiteral("a client's print contexts hold at most %1 open files")
                    .arg(account->maxFiles_));
        (context ? account->contexts_ : account->files_) += 1;
    }
    handedOut += descriptors;
    DescriptorShare share;
    share.descriptors_ = descriptors;
    share.context_ = context;
    share.account_ = account;
    return share;
}

void DescriptorShare::giveBack() {
    if (descriptors_ == 0) return;
    const std::lock_guard<std::mutex> locked(budgetLock);
    handedOut -= descriptors_;
    if (account_) (context_ ? account_->contexts_ : account_->files_) -= 1;
    descriptors_ = 0;
    account_.reset();
}

void DescriptorShare::leaveAccount() {
    const std::lock_guard<std::mutex> locked(budgetLock);
    if (account_) (context_ ? account_->contexts_ : account_->files_) -= 1;
    account_.reset();
}

}  // namespace zel
