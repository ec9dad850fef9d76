#include "app/print/print_service_answer.h"

#ifdef LUMERA_WITH_CUPS
#include <cups/cups.h>
#endif

namespace lumera {

bool PrintServiceTookLastJob() {
#ifdef LUMERA_WITH_CUPS
  // The status of the thread's last request: the job's submission.
  return cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
#else
  return true;
#endif
}

}  // namespace lumera
