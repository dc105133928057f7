#include "document/page_icons.h"

#include "ui/icons.h"

QIcon TabImageIcon(int index) {
    return TabImage(index);
}

QIcon TreeImageIcon(int index) {
    return TreeImage(index);
}
