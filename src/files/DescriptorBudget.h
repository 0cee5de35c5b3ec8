#pragma once

#include <memory>

// The process's file descriptors, shared out so that no client's numbered files or print
// contexts can take those an open job needs to be written, nor those of the process itself.
//
// Numbered files and print contexts draw on one budget: the soft limit on open files less a
// reserve that is never handed out (the bus, the display, fonts, libraries, and the files a job's
// end opens for a moment). Each print context keeps a few descriptors for its job (the spool
// file, its folder, the new job file) from the moment it is made, so a job once begun can always
// be ended and written; numbered files take at most three quarters of the budget, so that new
// contexts find room. An account (one client's) adds maxima of its own. Whatever would pass
// the budget or its account is refused with 67, before the process runs out.
namespace zel {

// Raises the soft limit on open files to the hard one: the server would otherwise refuse
// files and clients long before the system does.
void raiseOpenFileLimit();

// What one client may hold: at most this many print contexts, and numbered files open in them.
class DescriptorAccount {
public:
    DescriptorAccount(int maxContexts, int maxFiles)
        : maxContexts_(maxContexts), maxFiles_(maxFiles) {}
    DescriptorAccount(const DescriptorAccount&) = delete;
    DescriptorAccount& operator=(const DescriptorAccount&) = delete;

private:
    friend class DescriptorShare;
    const int maxContexts_;
    const int maxFiles_;
    int contexts_ = 0;  // under the budget's lock
    int files_ = 0;
};

// Descriptors taken from the budget (and the account, when there is one), given back when the
// share goes.
class DescriptorShare {
public:
    // Never handed out: this many, or a quarter of a smaller limit's descriptors. A print
    // context keeps kPerContext for its job.
    static constexpr int kReserve = 256;
    static constexpr int kPerContext = 4;

    DescriptorShare() = default;
    ~DescriptorShare();
    DescriptorShare(DescriptorShare&& other) noexcept;
    DescriptorShare& operator=(DescriptorShare&& other) noexcept;

    // One numbered file's descriptor; 67 past the budget or the account's files.
    static DescriptorShare forFile(const std::shared_ptr<DescriptorAccount>& account);
    // A print context's descriptors; 67 past the budget or the account's contexts.
    static DescriptorShare forContext(const std::shared_ptr<DescriptorAccount>& account);

    // Gives the account's count back now and the descriptors when the share goes: an ending
    // print context keeps its job's descriptors until it has written it.
    void leaveAccount();

private:
    static DescriptorShare take(const std::shared_ptr<DescriptorAccount>& account, bool context);
    void giveBack();

    int descriptors_ = 0;
    bool context_ = false;
    std::shared_ptr<DescriptorAccount> account_;
};

}  // namespace zel
