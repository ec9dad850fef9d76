#include "app/shell/polish_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lumera {

bool InstallPolishTranslation(QCoreApplication& app, QTranslator& translator) {
  if (!translator.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"),
                       QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  return app.installTranslator(&translator);
}

}  // namespace lumera
