#include "printing/engine/TReportJob.h"
// Being built.
TReportJob::~TReportJob() = default;
