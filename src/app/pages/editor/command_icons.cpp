#include "app/pages/editor/command_icons.h"

#include <QPixmap>

#include "app/resources/app_resources.h"
#include "app/resources/image_names.h"
#include "core/model/command_catalogue.h"

namespace lumera {

std::vector<QIcon> LoadCommandIcons() {
  RegisterAppResources();
  const QPixmap strip(QString::fromLatin1(kCommandIconsImage));
  std::vector<QIcon> icons;
  icons.reserve(kCatalogueSize);
  for (int index = 0; index < kCatalogueSize; ++index) {
    icons.emplace_back(strip.copy(kCommandIconSize * index, 0, kCommandIconSize,
                                  kCommandIconSize));
  }
  return icons;
}

}  // namespace lumera
