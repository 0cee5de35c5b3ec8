#include "surface/PrintJobs.h"

namespace zel {

PrintJobs::Scope::Scope(PrintJobs& jobs, int caller, const QString& destination)
    : jobs_(jobs), caller_(jobs.caller_), destination_(jobs.callerDestination_) {
    jobs_.caller_ = caller;
    jobs_.callerDestination_ = destination;
}

PrintJobs::Scope::~Scope() {
    jobs_.caller_ = caller_;
    jobs_.callerDestination_ = destination_;
}

}  // namespace zel
