// Qt's own texts (standard buttons, file dialogs) in Polish, like every other
// text of the program.
#pragma once

class QCoreApplication;
class QTranslator;

namespace lumera {

// Loads Qt's Polish base translation into `translator` and installs it;
// false when the translation is not installed on this system (Qt's
// English texts stay then).
bool InstallPolishTranslation(QCoreApplication& app, QTranslator& translator);

}  // namespace lumera
