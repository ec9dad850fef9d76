// What every program that shows the main window does around it: the
// program's name, icon and Polish standard texts, and the window centred on
// its screen.
#pragma once

class QApplication;
class QTranslator;
class QWidget;

namespace lumera {

// `translator` holds the Polish texts and must live as long as `app`.
void SetUpApplication(QApplication& app, QTranslator& translator);

// Shows `window` centred on its screen.
void ShowCentred(QWidget& window);

}  // namespace lumera
