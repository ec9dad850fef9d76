// The print service's answer to the last job this thread handed it. Qt hands
// a printer's pages to the service (CUPS) as the painter ends, and keeps the
// answer to itself: a queue that refuses the job would pass for printed.
#pragma once

namespace lumera {

// True when the service took the last job, or when there is no such service
// to ask (outside Linux).
bool PrintServiceTookLastJob();

}  // namespace lumera
