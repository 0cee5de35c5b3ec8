#include "surface/PrintJobs.h"

namespace zel {

PrintJobs& PrintJobs::instance() {
    static PrintJobs jobs;
    return jobs;
}

PrintJobs::Scope::Scope(int caller, const QString& destination, const JobOptions& options)
    : caller_(instance().caller_),
      destination_(instance().callerDestination_),
      options_(instance().callerOptions_) {
    instance().caller_ = caller;
    instance().callerDestination_ = destination;
    instance().callerOptions_ = options;
}

PrintJobs::Scope::~Scope() {
    instance().caller_ = caller_;
    instance().callerDestination_ = destination_;
    instance().callerOptions_ = options_;
}

}  // namespace zel
