#include "surface/PrintJobs.h"

namespace zel {

PrintJobs::Scope::Scope(PrintJobs& jobs, int caller, const QString& destination,
                        const JobOptions& options)
    : jobs_(jobs),
      caller_(jobs.caller_),
      destination_(jobs.callerDestination_),
      options_(jobs.callerOptions_) {
    jobs_.caller_ = caller;
    jobs_.callerDestination_ = destination;
    jobs_.callerOptions_ = options;
}

PrintJobs::Scope::~Scope() {
    jobs_.caller_ = caller_;
    jobs_.callerDestination_ = destination_;
    jobs_.callerOptions_ = options_;
}

}  // namespace zel
