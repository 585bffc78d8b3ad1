#include "gui/ExtrasResources.h"

#include <QtGlobal>

void InitExtrasResources()
{
    Q_INIT_RESOURCE(images);
}
