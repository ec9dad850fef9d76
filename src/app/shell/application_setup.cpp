#include "app/shell/application_setup.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>

#include "app/resources/app_resources.h"
#include "app/resources/image_names.h"
#include "app/shell/polish_translation.h"

namespace lumera {

void SetUpApplication(QApplication& app, QTranslator& translator) {
  app.setApplicationName(QStringLiteral("lumera"));
  RegisterAppResources();
  app.setWindowIcon(QIcon(QString::fromLatin1(kProgramIconImage)));
  InstallPolishTranslation(app, translator);
}

void ShowCentred(QWidget& window) {
  if (const QScreen* screen = window.screen()) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
  }
  window.show();
}

}  // namespace lumera
