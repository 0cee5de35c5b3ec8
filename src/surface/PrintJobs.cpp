#include "surface/PrintJobs.h"

namespace zel {

PrintJobs& PrintJobs::instance() {
    static PrintJobs jobs;
    return jobs;
}

PrintJobs::Scope::Scope(int caller, const QString& destination)
    : caller_(instance().caller_), destination_(instance().callerDestination_) {
    instance().caller_ = caller;
    instance().callerDestination_ = destination;
}

PrintJobs::Scope::~Scope() {
    instance().caller_ = caller_;
    instance().callerDestination_ = destination_;
}

}  // namespace zel
