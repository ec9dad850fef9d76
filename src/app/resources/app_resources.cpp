#include "app/resources/app_resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE declares the generated function where it is used; that
// function lives in the global namespace, so this must too (a named or
// unnamed namespace would declare a different, undefined function).
static void InitLumeraResources() { Q_INIT_RESOURCE(lumera); }

namespace lumera {

void RegisterAppResources() {
  static const bool registered = [] {
    InitLumeraResources();
    return true;
  }();
  (void)registered;
}

}  // namespace lumera
