#include "toolkit/platform.h"

const PlatTable& plat() {
    // Filled on the first call, when the window layer first needs a window-system operation.
    static PlatTable table;
    static bool filled = false;
    if (!filled) {
        plat_select(&table);
        filled = true;
    }
    return table;
}
