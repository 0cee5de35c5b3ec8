#pragma once

#include <QString>
#include <map>
#include <memory>

#include "files/DescriptorBudget.h"

namespace zel {

// What one client connection may hold, so that it cannot keep the others from the server's
// descriptors: print contexts made by its Create calls (its own, Persistent and Group ones), and
// numbered files open in them. Past either, 67.
class ClientAccounts {
public:
    static constexpr int kMaxContexts = 64;
    static constexpr int kMaxFiles = 1024;

    std::shared_ptr<DescriptorAccount> of(const QString& client) {
        std::shared_ptr<DescriptorAccount>& account = accounts_[client];
        if (!account) account = std::make_shared<DescriptorAccount>(kMaxContexts, kMaxFiles);
        return account;
    }
    // The client left: what it made lives on with its own share of the account.
    void forget(const QString& client) { accounts_.erase(client); }

private:
    std::map<QString, std::shared_ptr<DescriptorAccount>> accounts_;
};

}  // namespace zel
